#include "tools/script/source_text.h"

#include <algorithm>

#include "platform/text/cp1251.h"
#include "tools/script/russian.h"
#include "tools/script/script_error.h"

namespace script {

std::string SourceToHostText(std::string_view utf8) {
    if (utf8.substr(0, 3) == "\xEF\xBB\xBF") utf8.remove_prefix(3);  // a byte-order mark some editors write
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
