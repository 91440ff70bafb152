#include "tools/grid/line_prompt.h"

#include <utility>

#include "text/cp1251_literal.h"

namespace grid_tool {

namespace {

constexpr int kEnter = '\r';  // the terminal runs without newline translation
constexpr int kNewline = '\n';
constexpr int kEscape = 27;
constexpr int kDelete = 127;
constexpr int kCtrlH = 8;

}  // namespace

void PopCharacter(std::string& utf8) {
    while (!utf8.empty() && (static_cast<unsigned char>(utf8.back()) & 0xC0) == 0x80) utf8.pop_back();
    if (!utf8.empty()) utf8.pop_back();
}

void LinePrompt::Ask(std::string label, std::string answer) {
    active_ = true;
    label_ = std::move(label);
    answer_ = std::move(answer);
}

LinePrompt::Outcome LinePrompt::Edit(int character) {
    if (character == kEnter || character == kNewline) {
        active_ = false;
        return Outcome::Accepted;
    }
    if (character == kEscape) {
        active_ = false;
        return Outcome::Cancelled;
    }
    if (character == kDelete || character == kCtrlH) PopCharacter(answer_);
    else if (character >= 0x20) cp1251::detail::AppendUtf8(answer_, static_cast<char32_t>(character));
    return Outcome::Editing;
}

}  // namespace grid_tool
