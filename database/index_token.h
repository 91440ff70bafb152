#pragma once
// The index text QueryRows hands out (answer column 1) is a token: the provider keeps it in the
// host's code page 1251 and gives it back as the start of its next call. A value that code page
// cannot hold would come back with '?' in it and find another row, so such a value travels in a
// reversible form made only of characters the code page holds:
//   ¤¤        the escape character ¤ (U+00A4) itself
//   ¤HEX;     a character the code page lacks, or U+0000, by its code point (¤4E2D; for 中)
//   ¤xHH;     a byte that is not part of well-formed UTF-8
// A value without those characters is its own token, so plain index texts are unchanged.

#include <optional>
#include <string>
#include <string_view>

namespace rowlark::database {

// The token of an index value (UTF-8).
std::string EncodeIndexToken(std::string_view value);

// The value a token stands for; none when text holds a ¤ that starts no escape above.
std::optional<std::string> DecodeIndexToken(std::string_view text);

// True when every character of utf8 reaches the host's code page as itself (no U+0000, nothing
// the code page lacks, well-formed).
bool FitsCodePage(std::string_view utf8);

}  // namespace rowlark::database
