#include "platform/text/cp1251.h"

namespace cp1251 {

std::optional<std::string> TryFromUtf8(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        if (b < 0x80) {  // fast path for ASCII
            out.push_back(static_cast<char>(b));
            ++i;
            continue;
        }
        const char32_t cp = detail::DecodeUtf8(utf8.data(), utf8.size(), i);
        const int byte = cp == detail::kIllFormed ? -1 : detail::ByteFor(cp);
        if (byte < 0) return std::nullopt;
        out.push_back(static_cast<char>(byte));
    }
    return out;
}

std::string FromUtf8(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        const char32_t cp = detail::DecodeUtf8(utf8.data(), utf8.size(), i);
        const int byte = cp == detail::kIllFormed ? -1 : detail::ByteFor(cp);
        out.push_back(byte < 0 ? '?' : static_cast<char>(byte));
    }
    return out;
}

std::string ToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size() * 2);
    for (const char c : text) {
        const auto b = static_cast<unsigned char>(c);
        const char32_t cp = b < 0x80 ? b : detail::kHighHalf[b - 0x80];
        detail::AppendUtf8(out, cp);
    }
    return out;
}

}  // namespace cp1251
