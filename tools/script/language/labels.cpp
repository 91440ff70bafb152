#include "tools/script/language/labels.h"

#include <algorithm>

#include "tools/script/bridge/host_text.h"
#include "tools/script/bridge/russian.h"
#include "tools/script/bridge/script_error.h"

namespace script {

namespace {

[[noreturn]] void Fail(const Token& at, std::string_view russian, const std::string& english) {
    const std::string name = " (~" + at.text + ")";
    throw SyntaxError{{std::string(russian) + name, english + name}, at.line, at.column};
}

}  // namespace

void LabelScope::Define(const Token& label, Stmt& stmt) {
    const auto [place, added] = labels_.emplace(FoldName(label.text), Place{next_label_, open_.back()});
    if (!added) Fail(label, RU("Метка с таким именем уже определена"), "label already defined");
    stmt.label = next_label_++;
}

void LabelScope::Jump(const Token& label, Stmt& stmt) { jumps_.push_back({label, &stmt, open_}); }

void LabelScope::Resolve() {
    for (const Jumping& jump : jumps_) {
        const auto found = labels_.find(FoldName(jump.at.text));
        if (found == labels_.end()) Fail(jump.at, RU("Метка не определена"), "label not defined");
        if (std::find(jump.open.begin(), jump.open.end(), found->second.block) == jump.open.end())
            Fail(jump.at, RU("Переход внутрь конструкции недопустим"), "a jump into a construct");
        jump.stmt->label = found->second.label;
    }
    jumps_.clear();
}

}  // namespace script
