#include "platform/oledb/text_out.h"

#include "platform/runtime/module.h"
#include "platform/text/cp1251.h"

namespace oledb_backend {

bool AppendCp1251(std::string_view utf8, std::string& out) {
    bool exact = true;
    std::size_t i = 0;
    const std::size_t n = utf8.size();
    while (i < n) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        if (b < 0x80) {
            out.push_back(static_cast<char>(b));
            ++i;
            continue;
        }
        const char32_t cp = cp1251::detail::DecodeUtf8(utf8.data(), n, i);
        const int byte = cp == 0xFFFFFFFF ? -1 : cp1251::detail::ByteFor(cp);
        if (byte < 0) exact = false;
        out.push_back(byte < 0 ? '?' : static_cast<char>(byte));
    }
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
