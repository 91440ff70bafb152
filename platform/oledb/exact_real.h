#pragma once
// The exact double of a decimal text, for a key that must reach the database as the very double it
// was written from. SQLite's own text-to-REAL reading is not always the nearest double (nor is an
// integer text beyond 2^53 the double it was written for), so such a key is read here instead.

#include <optional>
#include <string_view>

namespace oledb_backend {

// The nearest double of text when it is a plain decimal number as the host writes one: an optional
// "-", digits, optionally "." and digits, optionally "e" or "E", a sign and digits; nothing else,
// no blanks. None for any other text and for a number beyond the doubles' range either way (one
// that would read as an infinity or as zero though it is not zero).
std::optional<double> ExactReal(std::string_view text);

}  // namespace oledb_backend
