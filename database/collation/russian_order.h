#pragma once
// The Russian dictionary order of texts, as ICU's "ru" collation gives it at its default strength:
// letters first without regard to case, Ё with Е (and accents) at the second level, case only to
// break the remaining ties, and the bytes of the UTF-8 texts last, so that only equal texts compare
// equal (a total order, as the server's deterministic collation rowlark_ru ends its ties too).
// Ill-formed UTF-8 compares as ICU reads it (each bad sequence as U+FFFD) before the byte tie.
//
// Index tags ordered so, their filter bounds, and the SQLite collation that serves them
// (sqlite_russian_order.h) all use the one comparison here.

#include <string>
#include <string_view>

struct UCollator;

namespace rowlark::collation {

// The collation's name in SQLite and on the server (rowlark.sql): never a built-in name, so a
// writer without it fails ("no such collation sequence") instead of writing another order.
inline constexpr const char* kRussianCollation = "rowlark_ru";

// A new ICU collator for the order; nullptr when ICU cannot give the "ru" rules. Close with ucol_close.
UCollator* OpenRussianCollator();

// Negative, zero or positive as a sorts before, with or after b, by collator (OpenRussianCollator's).
int CompareRussian(const UCollator* collator, std::string_view a, std::string_view b);

// The same with a collator of the calling thread's own. Throws std::runtime_error when ICU has no "ru" rules.
int CompareRussian(std::string_view a, std::string_view b);

// The lower bound a typed text means in this order: its lower-case form with е for ё where that
// sorts before the text itself, so that "Жук" keeps the row "жук" and "ёлка" the row "елка".
std::string RussianLowerBound(std::string_view text);

// The least text above every text that begins with prefix in this order (its letters, whatever
// their case and Ё/Е): prefix and U+FFFF, which ICU sorts after every character.
// "value <= B or begins with B" is "value < RussianPrefixAbove(B)".
std::string RussianPrefixAbove(std::string_view prefix);

}  // namespace rowlark::collation
