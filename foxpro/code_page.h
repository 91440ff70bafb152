#pragma once
// Code pages of FoxPro and dBase tables: the header's code page mark (byte 29) and the
// conversion of a table's texts to UTF-8 (glibc's iconv). A byte the code page leaves
// undefined becomes U+FFFD, so a text always converts and its length in characters holds.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace rowlark::foxpro {

// The Windows/DOS code page number a mark stands for; none for 0 (no mark) or an unknown mark.
std::optional<int> CodePageOfMark(std::uint8_t mark);

// True when the reader can convert that code page.
bool IsSupportedCodePage(int code_page);

// Converts texts of one code page to UTF-8. Not copyable; one converter per reader.
class TextDecoder {
public:
    // Throws std::invalid_argument for a code page the reader cannot convert.
    explicit TextDecoder(int code_page);
    ~TextDecoder();
    TextDecoder(const TextDecoder&) = delete;
    TextDecoder& operator=(const TextDecoder&) = delete;

    int CodePage() const { return code_page_; }
    std::string ToUtf8(std::string_view bytes);

private:
    int code_page_;
    void* converter_;  // iconv_t
};

}  // namespace rowlark::foxpro
