#include "platform/oledb/text_out.h"

#include <cstdint>
#include <cstring>

#include "platform/runtime/module.h"
#include "platform/text/cp1251.h"

namespace oledb_backend {

namespace {

// Every character code page 1251 holds lies below U+2200; the table gives its byte, 0 for none.
constexpr char32_t kTableSize = 0x2200;

struct ReverseTable {
    unsigned char byte[kTableSize] = {};
    // The two-byte sequences D0 80..D1 BF (U+0400..U+047F, every Cyrillic letter of the code page),
    // by ((lead & 1) << 6) | (second & 0x3F): one look-up for each letter of Russian text.
    unsigned char cyrillic[128] = {};
    ReverseTable() {
        for (char32_t cp = 1; cp < 0x80; ++cp) byte[cp] = static_cast<unsigned char>(cp);
        for (int b = 0x80; b <= 0xFF; ++b) byte[cp1251::detail::kHighHalf[b - 0x80]] = static_cast<unsigned char>(b);
        for (char32_t cp = 0x400; cp < 0x480; ++cp) cyrillic[cp - 0x400] = byte[cp];
    }
};

// Built on first use, so conversions are safe even during another library's start-up.
const ReverseTable& Reverse() {
    static const ReverseTable table;
    return table;
}

}  // namespace

std::size_t ToCp1251(std::string_view utf8, char* out, bool& exact) {
    const ReverseTable& reverse = Reverse();
    const char* const start = out;
    const auto* s = reinterpret_cast<const unsigned char*>(utf8.data());
    const std::size_t n = utf8.size();
    std::size_t i = 0;
    while (i < n) {
        const unsigned char b = s[i];
        if (b < 0x80) {
            // Codes, numbers and the blanks between words are ASCII: a stretch of it is copied
            // eight bytes at a time, then byte by byte up to the next other character.
            constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;
            std::uint64_t word;
            while (i + 8 <= n && (std::memcpy(&word, s + i, 8), (word & kHighBits) == 0)) {
                std::memcpy(out, s + i, 8);
                out += 8;
                i += 8;
            }
            while (i < n && s[i] < 0x80) *out++ = static_cast<char>(s[i++]);
            continue;
        }
        // A Cyrillic letter: lead D0 or D1 and one continuation byte.
        if ((b & 0xFE) == 0xD0 && i + 1 < n && (s[i + 1] & 0xC0) == 0x80) {
            const unsigned char byte = reverse.cyrillic[((b & 1) << 6) | (s[i + 1] & 0x3F)];
            if (byte != 0) {
                *out++ = static_cast<char>(byte);
                i += 2;
                continue;
            }
        }
        // Everything else through the one decoder, which gives kIllFormed (no table entry) for
        // ill-formed UTF-8.
        const char32_t cp = cp1251::detail::DecodeUtf8(utf8.data(), n, i);
        const unsigned char byte = cp < kTableSize ? reverse.byte[cp] : 0;
        if (byte == 0) exact = false;
        *out++ = byte == 0 ? '?' : static_cast<char>(byte);
    }
    return static_cast<std::size_t>(out - start);
}

bool AppendCp1251(std::string_view utf8, std::string& out) {
    const std::size_t at = out.size();
    out.resize(at + utf8.size());
    bool exact = true;
    out.resize(at + ToCp1251(utf8, out.data() + at, exact));
    return exact;
}

void WarnTextReplaced() {
    static constexpr cp1251::Literal kWarning{
        "Текст из базы данных содержит символы, которых нет в кодировке Windows-1251; "
        "они показаны знаком «?»"};
    GetBkEndUI()->DoMessageLine(kWarning.c_str(), kReplacedTextMarker);
}

std::string ToDatabaseText(std::string_view cp1251_text) { return cp1251::ToUtf8(cp1251_text); }

}  // namespace oledb_backend
