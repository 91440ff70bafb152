#pragma once
// A module's text as the language reads it: on disk UTF-8 or the host's own code page 1251, CP1251
// inside (one byte per character, so columns count characters). A text with a UTF-8 byte-order
// mark, or one that is well-formed UTF-8 (plain ASCII among them), is UTF-8; any other is CP1251
// already. In a UTF-8 text, a character CP1251 cannot hold is a syntax error at its place.

#include <string>
#include <string_view>

namespace script {

// Throws SyntaxError naming the line and column of the first character that has no CP1251 byte.
std::string SourceToHostText(std::string_view file_text);

}  // namespace script
