#pragma once
// Database texts (UTF-8) on their way to the host (CP1251).
// A character that code page 1251 cannot hold, or a malformed byte sequence, becomes '?':
// the host cannot show it, and the row must still be served. So that this is never silent,
// whoever converts remembers that it happened and writes one warning line per execution to the
// host's message window (WarnTextReplaced).

#include <cstddef>
#include <string>
#include <string_view>

namespace oledb_backend {

// Writes the CP1251 form of utf8 to out, which has room for utf8.size() bytes (never more is
// needed); answers the number written. exact becomes false when a character was replaced.
std::size_t ToCp1251(std::string_view utf8, char* out, bool& exact);
// Appends the CP1251 form of utf8 to out; false when some character was replaced by '?'.
bool AppendCp1251(std::string_view utf8, std::string& out);

// The warning line: marker kReplacedTextMarker, text in CP1251.
inline constexpr int kReplacedTextMarker = 2;
void WarnTextReplaced();

// The statement text the host sent (CP1251) in the database's encoding.
std::string ToDatabaseText(std::string_view cp1251_text);

}  // namespace oledb_backend
