#include "database/index_token.h"

#include <charconv>
#include <cstdint>

#include "text/cp1251_literal.h"

namespace rowlark::database {

namespace {

constexpr std::string_view kEscape = "\xC2\xA4";  // ¤ in UTF-8
constexpr char32_t kEscapePoint = 0xA4;
constexpr char32_t kMaxPoint = 0x10FFFF;

// A character that reaches the host as itself and stands for itself in a token.
bool Travels(char32_t point) {
    return point != 0 && point != cp1251::detail::kIllFormed && point != kEscapePoint &&
           cp1251::detail::ByteFor(point) >= 0;
}

void AppendHex(std::string& out, std::uint32_t number) {
    char digits[8];
    const auto written = std::to_chars(digits, digits + sizeof digits, number, 16);
    for (const char* p = digits; p != written.ptr; ++p)
        out += static_cast<char>(*p >= 'a' ? *p - 'a' + 'A' : *p);
}

// Reads HEX; at text[at] (upper-case digits only, so every value has one spelling); none when
// it is not there or too large.
std::optional<std::uint32_t> ReadHexThenSemicolon(std::string_view text, std::size_t& at, std::uint32_t limit) {
    const std::size_t end = text.find(';', at);
    if (end == std::string_view::npos || end == at) return std::nullopt;
    for (std::size_t i = at; i < end; ++i)
        if (!((text[i] >= '0' && text[i] <= '9') || (text[i] >= 'A' && text[i] <= 'F'))) return std::nullopt;
    std::uint32_t number = 0;
    const auto read = std::from_chars(text.data() + at, text.data() + end, number, 16);
    if (read.ec != std::errc() || read.ptr != text.data() + end || number > limit) return std::nullopt;
    at = end + 1;
    return number;
}

}  // namespace

std::string EncodeIndexToken(std::string_view value) {
    std::string token;
    token.reserve(value.size());
    std::size_t i = 0;
    while (i < value.size()) {
        const std::size_t begin = i;
        const char32_t point = cp1251::detail::DecodeUtf8(value.data(), value.size(), i);
        if (Travels(point)) {
            token.append(value.substr(begin, i - begin));
        } else if (point == kEscapePoint) {
            token.append(kEscape).append(kEscape);
        } else if (point == cp1251::detail::kIllFormed) {
            for (std::size_t b = begin; b < i; ++b) {
                token.append(kEscape).append("x");
                const auto byte = static_cast<unsigned char>(value[b]);
                if (byte < 0x10) token += '0';
                AppendHex(token, byte);
                token += ';';
            }
        } else {
            token.append(kEscape);
            AppendHex(token, static_cast<std::uint32_t>(point));
            token += ';';
        }
    }
    return token;
}

std::optional<std::string> DecodeIndexToken(std::string_view text) {
    std::string value;
    value.reserve(text.size());
    std::size_t at = 0;
    for (std::size_t escape; (escape = text.find(kEscape, at)) != std::string_view::npos;) {
        value.append(text.substr(at, escape - at));
        at = escape + kEscape.size();
        if (text.substr(at, kEscape.size()) == kEscape) {
            value.append(kEscape);
            at += kEscape.size();
        } else if (at < text.size() && text[at] == 'x') {
            ++at;
            const auto byte = ReadHexThenSemicolon(text, at, 0xFF);
            if (!byte) return std::nullopt;
            value += static_cast<char>(*byte);
        } else {
            const auto point = ReadHexThenSemicolon(text, at, kMaxPoint);
            if (!point || (*point >= 0xD800 && *point <= 0xDFFF)) return std::nullopt;
            cp1251::detail::AppendUtf8(value, static_cast<char32_t>(*point));
        }
    }
    value.append(text.substr(at));
    return value;
}

bool FitsCodePage(std::string_view utf8) {
    for (std::size_t i = 0; i < utf8.size();) {
        const char32_t point = cp1251::detail::DecodeUtf8(utf8.data(), utf8.size(), i);
        if (point == 0 || point == cp1251::detail::kIllFormed || cp1251::detail::ByteFor(point) < 0) return false;
    }
    return true;
}

}  // namespace rowlark::database
