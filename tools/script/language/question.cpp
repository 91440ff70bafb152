#include "tools/script/language/question.h"

#include <string>
#include <string_view>

#include "tools/script/bridge/host_text.h"
#include "tools/script/bridge/message_window.h"
#include "tools/script/bridge/russian.h"
#include "tools/script/bridge/script_error.h"

namespace script {

namespace {

struct Button {
    std::string_view russian;  // CP1251
    std::string_view english;
    int code;  // the host's (and Windows') answer number
};

const std::vector<Button>& Buttons() {
    static const std::vector<Button> buttons = {
        {RU("ОК"), "OK", 1},          {RU("Отмена"), "Cancel", 2}, {RU("Прервать"), "Abort", 3},
        {RU("Повторить"), "Retry", 4}, {RU("Пропустить"), "Ignore", 5}, {RU("Да"), "Yes", 6},
        {RU("Нет"), "No", 7},
    };
    return buttons;
}

// The sets by the host's number, each as its buttons' codes and its default.
struct ButtonSet {
    std::vector<int> codes;
    int fallback;
};

const ButtonSet kSets[] = {{{1}, 1}, {{1, 2}, 2}, {{3, 4, 5}, 3}, {{6, 7, 2}, 2}, {{6, 7}, 7}, {{4, 2}, 2}};

const Button& ButtonOf(int code) { return Buttons()[static_cast<std::size_t>(code - 1)]; }

std::string SetName(const ButtonSet& set) {
    std::string name;
    for (int code : set.codes) name += (name.empty() ? "" : "+") + std::string(ButtonOf(code).russian);
    return name;
}

// The set a script names, by number or by name ("да+нет", any case, blanks ignored).
const ButtonSet& SetOf(const CValue& mode) {
    if (mode.GetKind() == CValue::Kind::Empty) return kSets[4];
    if (mode.GetKind() == CValue::Kind::Number) {
        const std::int64_t n = mode.GetNumeric().ToInt64();
        if (n >= 0 && n <= 5) return kSets[n];
    } else {
        std::string wanted;
        const std::string written(mode.GetString().view());
        for (char c : written)
            if (c != ' ') wanted += c;
        for (const ButtonSet& set : kSets)
            if (FoldName(SetName(set)) == FoldName(wanted)) return set;
    }
    const std::string shown(mode.GetString().view());
    throw RuntimeError{{std::string(RU("Неизвестный набор кнопок")) + " (" + shown + ")",
                        "unknown set of buttons (" + shown + ")"}};
}

int AnswerCode(const ButtonSet& set, const std::string& answer) {
    std::string trimmed = answer;
    trimmed.erase(0, trimmed.find_first_not_of(' '));
    trimmed.erase(trimmed.find_last_not_of(' ') + 1);
    for (int code : set.codes) {
        const Button& button = ButtonOf(code);
        if (FoldName(trimmed) == FoldName(button.russian) || FoldName(trimmed) == FoldName(button.english) ||
            trimmed == std::to_string(code))
            return code;
    }
    return set.fallback;
}

}  // namespace

CValue AskQuestion(RunState& state, std::vector<CValue>& args) {
    const CValue mode = args.size() > 1 ? args[1] : CValue();
    const ButtonSet& set = SetOf(mode);
    std::string answer;
    const std::string question = Shown(std::string(args[0].GetString().view())) + " (" + SetName(set) + ")";
    const int code = state.window->Ask("Вопрос:", question, answer) ? AnswerCode(set, answer) : set.fallback;
    if (mode.GetKind() == CValue::Kind::Number) return NumberValue(CNumeric(code));
    return TextValue(ButtonOf(code).russian);
}

}  // namespace script
