#pragma once
// Text made safe to give a terminal, and measured in the columns it takes there. Data and names
// come from users' tables: a carriage return, backspace or escape in them would move the cursor or
// drive the terminal, and a direction mark would reorder what follows. Every such character gets a
// visible stand-in one column wide:
//   C0 controls and DEL    the Control Pictures: ␀ ␁ … ␛ … ␟ and ␡ (the control can be read off)
//   C1 controls, direction marks, embeddings, overrides and isolates, line and paragraph separators,
//   other invisible format controls that act on their neighbours, characters the terminal has no
//   width for, and each byte that is not part of well-formed UTF-8          U+FFFD �
// Everything else stays as it is and takes its true width: two columns for wide East Asian
// characters and emoji, none for combining marks and zero-width characters.

#include <cstddef>
#include <string>
#include <string_view>

namespace terminal_text {

// The text with stand-ins, as well-formed UTF-8. Applying it again changes nothing.
std::string Showable(std::string_view utf8);
// The same for a text in the host's code page (CP1251).
std::string ShowableFromCp1251(std::string_view cp1251_text);

// The columns the text takes on a terminal once Showable (its stand-ins count one column each).
std::size_t Width(std::string_view utf8);

enum class Align { kLeft, kRight };
// Exactly width columns: cut with an ellipsis when longer (a wide character that would cross the
// edge goes too), padded with blanks on the right (kLeft) or the left (kRight). Stand-ins applied.
std::string Fit(std::string_view utf8, std::size_t width, Align align = Align::kLeft);
// At most width columns, cut without a mark and not padded (a line of the screen). Stand-ins applied.
std::string Cut(std::string_view utf8, std::size_t width);

}  // namespace terminal_text
