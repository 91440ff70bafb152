#pragma once
// Names as the import writes them into a database: UTF-8 (a table's field and tag names and its key
// expressions come in its code page, file names as the file system holds them) and in small letters
// in any alphabet, as FoxPro, which ignores their letter case, lets them be written.

#include <string>
#include <string_view>

namespace import_tool {

// Whether bytes are well-formed UTF-8.
bool IsUtf8(std::string_view bytes);

// The name in small letters (Unicode's case mapping, independent of the locale).
std::string LowerName(std::string_view utf8);

}  // namespace import_tool
