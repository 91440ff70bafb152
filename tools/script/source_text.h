#pragma once
// A module's text as the language reads it: UTF-8 on disk, CP1251 inside (one byte per character,
// so columns count characters). A character CP1251 cannot hold is a syntax error at its place.

#include <string>
#include <string_view>

namespace script {

// Throws SyntaxError naming the line and column of the first character that has no CP1251 byte.
std::string SourceToHostText(std::string_view utf8);

}  // namespace script
