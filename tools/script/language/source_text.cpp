#include "tools/script/language/source_text.h"

#include <algorithm>

#include "platform/text/cp1251.h"
#include "tools/script/bridge/russian.h"
#include "tools/script/bridge/script_error.h"

namespace script {

namespace {

bool IsWellFormedUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();)
        if (cp1251::detail::DecodeUtf8(text.data(), text.size(), i) == cp1251::detail::kIllFormed) return false;
    return true;
}

}  // namespace

std::string SourceToHostText(std::string_view file_text) {
    std::string_view utf8 = file_text;
    if (utf8.substr(0, 3) == "\xEF\xBB\xBF") {
        utf8.remove_prefix(3);  // a byte-order mark some editors write
    } else if (!IsWellFormedUtf8(utf8)) {
        return std::string(file_text);  // the host's own code page
    }
    if (auto text = cp1251::TryFromUtf8(utf8)) return *text;
    // Find the place: convert line by line, then character by character within the bad line.
    // Lines end as the lexer ends them: LF, CR-LF or a lone CR.
    int line = 1;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = std::min(utf8.find_first_of("\r\n", start), utf8.size());
        const std::string_view row = utf8.substr(start, end - start);
        if (!cp1251::TryFromUtf8(row)) {
            int column = 1;
            std::size_t i = 0;
            while (i < row.size()) {
                std::size_t next = i + 1;
                while (next < row.size() && (static_cast<unsigned char>(row[next]) & 0xC0) == 0x80) ++next;
                if (!cp1251::TryFromUtf8(row.substr(i, next - i))) break;
                i = next;
                ++column;
            }
            throw SyntaxError{{std::string(RU("Символ не может быть представлен в кодировке 1251")),
                               "a character that code page 1251 cannot hold"},
                              line, column};
        }
        if (end >= utf8.size()) break;
        start = utf8.compare(end, 2, "\r\n") == 0 ? end + 2 : end + 1;
        ++line;
    }
    throw SyntaxError{{std::string(RU("Символ не может быть представлен в кодировке 1251")),
                       "a character that code page 1251 cannot hold"},
                      line, 1};
}

}  // namespace script
