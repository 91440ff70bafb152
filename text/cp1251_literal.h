#pragma once
// Compile-time CP1251 literals: the system's own Russian texts are written readably in UTF-8 sources
// and become code page 1251 bytes while compiling, as the real module's compiler would take CP1251
// sources. Header-only, a build-time tool that the module and its platform may both use.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace cp1251 {

namespace detail {

// Unicode code point of each CP1251 byte 0x80..0xFF; the unassigned 0x98 maps to U+0098 as Windows does.
inline constexpr char16_t kHighHalf[128] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,
};

// The CP1251 byte for a code point, or -1 when the code page cannot hold it.
constexpr int ByteFor(char32_t cp) {
    if (cp < 0x80) return static_cast<int>(cp);
    if (cp >= 0x0410 && cp <= 0x044F) return static_cast<int>(cp - 0x0410 + 0xC0);  // А..я
    for (int i = 0; i < 128; ++i)
        if (kHighHalf[i] != 0 && kHighHalf[i] == cp) return 0x80 + i;
    return -1;
}

// Marks an ill-formed sequence: no Unicode scalar value has this code.
inline constexpr char32_t kIllFormed = 0xFFFFFFFF;

// Decodes one UTF-8 sequence at s[i] and advances i past it. Only well-formed UTF-8 gives a
// character: an overlong form (C0 A7 is not an apostrophe), a surrogate (U+D800..U+DFFF), a code
// beyond U+10FFFF, a truncated sequence or a stray continuation byte gives kIllFormed, having
// consumed the lead byte and the continuation bytes that were still valid (one replacement each).
constexpr char32_t DecodeUtf8(const char* s, std::size_t n, std::size_t& i) {
    const auto b0 = static_cast<unsigned char>(s[i++]);
    if (b0 < 0x80) return b0;
    int extra = 0;
    char32_t cp = 0;
    unsigned char low = 0x80, high = 0xBF;  // the allowed range of the next byte
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        extra = 1;
        cp = b0 & 0x1F;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        extra = 2;
        cp = b0 & 0x0F;
        if (b0 == 0xE0) low = 0xA0;   // below: overlong
        if (b0 == 0xED) high = 0x9F;  // above: surrogates
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        extra = 3;
        cp = b0 & 0x07;
        if (b0 == 0xF0) low = 0x90;   // below: overlong
        if (b0 == 0xF4) high = 0x8F;  // above: beyond U+10FFFF
    } else {
        return kIllFormed;  // a continuation byte, C0, C1 or F5..FF
    }
    for (int k = 0; k < extra; ++k) {
        if (i >= n) return kIllFormed;
        const auto b = static_cast<unsigned char>(s[i]);
        if (b < low || b > high) return kIllFormed;
        cp = (cp << 6) | (b & 0x3F);
        ++i;
        low = 0x80;
        high = 0xBF;
    }
    return cp;
}

// Appends the UTF-8 form of a code point (up to U+10FFFF).
inline void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

}  // namespace detail

// A UTF-8 string literal turned into CP1251 at compile time:
//   static constexpr cp1251::Literal kText{"Неверный индекс поля"};  kText.c_str()
// A literal holding a character that CP1251 lacks does not compile.
template <std::size_t N>
class Literal {
public:
    constexpr Literal(const char (&utf8)[N]) : bytes_{} {  // NOLINT: implicit by design
        std::size_t i = 0;
        while (i < N - 1) {
            const char32_t cp = detail::DecodeUtf8(utf8, N - 1, i);
            const int b = cp == detail::kIllFormed ? -1 : detail::ByteFor(cp);
            if (b < 0) throw "character not in code page 1251";  // a compile error in constant evaluation
            bytes_[size_++] = static_cast<char>(b);
        }
        bytes_[size_] = '\0';
    }
    constexpr const char* c_str() const { return bytes_; }
    constexpr std::size_t size() const { return size_; }
    constexpr std::string_view view() const { return {bytes_, size_}; }
    std::string str() const { return std::string(bytes_, size_); }
    operator std::string_view() const { return view(); }

private:
    char bytes_[N];
    std::size_t size_ = 0;
};

}  // namespace cp1251
