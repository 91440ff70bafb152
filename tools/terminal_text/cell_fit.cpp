#include "tools/terminal_text/cell_fit.h"

#include "platform/text/cp1251.h"

namespace terminal_text {

namespace {

bool IsDigit(char32_t c) { return c >= U'0' && c <= U'9'; }

// The marks between digits that numbers, dates and times are written with.
bool IsValueMark(char32_t c) {
    switch (c) {
        case U'.': case U',': case U':': case U'/': case U'-': case U'+': case U'\'': case U'T': case U' ':
        case 0x00A0:  // no-break space, a grouping blank
        case 0x2009:  // thin space
        case 0x202F:  // narrow no-break space
            return true;
        default:
            return false;
    }
}

}  // namespace

bool ReadsAsValue(std::string_view utf8) {
    std::size_t i = 0;
    bool first = true;
    bool after_mark = false;
    bool any_digit = false;
    while (i < utf8.size()) {
        const char32_t c = cp1251::detail::DecodeUtf8(utf8.data(), utf8.size(), i);
        if (first && (c == U'-' || c == U'+' || c == 0x2212)) {  // a sign, the minus sign U+2212 too
            first = false;
            after_mark = true;
            continue;
        }
        first = false;
        if (IsDigit(c)) {
            any_digit = true;
            after_mark = false;
        } else if (IsValueMark(c) && any_digit && !after_mark) {
            after_mark = true;
        } else {
            return false;
        }
    }
    return any_digit && !after_mark;
}

std::string FitCell(std::string_view utf8, std::size_t width, Align align) {
    if (Width(utf8) > width && ReadsAsValue(utf8)) return std::string(width, '#');
    return Fit(utf8, width, align);
}

}  // namespace terminal_text
