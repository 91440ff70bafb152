#include "tools/script/language/text_builtins.h"

#include <algorithm>
#include <cstdint>

#include "platform/text/cp1251.h"
#include "tools/script/bridge/host_text.h"
#include "tools/script/bridge/message_window.h"
#include "tools/script/bridge/russian.h"
#include "tools/script/language/format_value.h"
#include "tools/script/language/question.h"
#include "tools/script/language/template_text.h"
#include "tools/script/language/value_ops.h"

namespace script {

namespace {

using Args = std::vector<CValue>;

constexpr const char* kBlanks = " \t\r\n";

std::string Text(const CValue& value) { return std::string(value.GetString().view()); }
CValue Number(std::int64_t number) { return NumberValue(CNumeric(static_cast<long long>(number))); }
bool Given(const Args& args, std::size_t i) { return i < args.size() && args[i].GetKind() != CValue::Kind::Empty; }

// Every occurrence, left to right, not overlapping; an empty pattern replaces nothing.
CValue Replace(RunState& state, Args& args) {
    const std::string text = Text(args[0]), pattern = Text(args[1]), replacement = Text(args[2]);
    if (pattern.empty()) return TextValue(text);
    std::string out;
    std::size_t from = 0;
    for (std::size_t at = text.find(pattern); at != std::string::npos; at = text.find(pattern, from)) {
        CheckTextLength(out.size() + (at - from) + replacement.size(), state.max_text_length);
        out.append(text, from, at - from).append(replacement);
        from = at + pattern.size();
    }
    CheckTextLength(out.size() + text.size() - from, state.max_text_length);
    return TextValue(out.append(text, from, std::string::npos));
}

CValue CountOccurrences(RunState&, Args& args) {
    const std::string text = Text(args[0]), pattern = Text(args[1]);
    if (pattern.empty()) return Number(0);
    std::int64_t count = 0;
    for (std::size_t at = text.find(pattern); at != std::string::npos; at = text.find(pattern, at + pattern.size()))
        ++count;
    return Number(count);
}

// A code 0..255 is the code page's byte; a larger one, a Unicode character the code page holds;
// any other code gives the empty text.
CValue Character(RunState&, Args& args) {
    const std::int64_t code = args[0].GetNumeric().ToInt64();
    if (code >= 0 && code <= 255) return TextValue(std::string(1, static_cast<char>(code)));
    if (code > 255 && code <= 0x10FFFF) {
        std::string utf8;
        const auto c = static_cast<char32_t>(code);
        if (c < 0x800) {
            utf8 = {static_cast<char>(0xC0 | (c >> 6)), static_cast<char>(0x80 | (c & 0x3F))};
        } else if (c < 0x10000) {
            utf8 = {static_cast<char>(0xE0 | (c >> 12)), static_cast<char>(0x80 | ((c >> 6) & 0x3F)),
                    static_cast<char>(0x80 | (c & 0x3F))};
        }
        if (const auto byte = cp1251::TryFromUtf8(utf8); byte && byte->size() == 1) return TextValue(*byte);
    }
    return TextValue("");
}

// The code of the first character (0 for the empty text).
CValue CharacterCode(RunState&, Args& args) {
    const std::string text = Text(args[0]);
    return Number(text.empty() ? 0 : static_cast<unsigned char>(text[0]));
}

CValue BlankText(RunState&, Args& args) {
    return Boolean(Text(args[0]).find_first_not_of(kBlanks) == std::string::npos);
}

CValue TrimLeft(RunState&, Args& args) {
    const std::string text = Text(args[0]);
    const std::size_t first = text.find_first_not_of(kBlanks);
    return TextValue(first == std::string::npos ? std::string() : text.substr(first));
}

CValue TrimRight(RunState&, Args& args) {
    const std::string text = Text(args[0]);
    const std::size_t last = text.find_last_not_of(kBlanks);
    return TextValue(last == std::string::npos ? std::string() : text.substr(0, last + 1));
}

CValue LineSeparator(RunState&, Args&) { return TextValue("\r\n"); }
CValue Tabulation(RunState&, Args&) { return TextValue("\t"); }

// The lines of a text: ended by CR-LF, LF or a lone CR; the empty text has none, and a text that
// ends with a line end has an empty last line.
std::vector<std::string> LinesOf(const std::string& text) {
    std::vector<std::string> lines;
    if (text.empty()) return lines;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find_first_of("\r\n", start);
        lines.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) return lines;
        start = text.compare(end, 2, "\r\n") == 0 ? end + 2 : end + 1;
    }
}

CValue LineCount(RunState&, Args& args) { return Number(static_cast<std::int64_t>(LinesOf(Text(args[0])).size())); }

// Line n, counted from 1; the empty text for a number outside the text's lines.
CValue LineAt(RunState&, Args& args) {
    const std::vector<std::string> lines = LinesOf(Text(args[0]));
    const std::int64_t n = args[1].GetNumeric().ToInt64();
    if (n < 1 || static_cast<std::uint64_t>(n) > lines.size()) return TextValue("");
    return TextValue(lines[static_cast<std::size_t>(n - 1)]);
}

CValue ClearMessages(RunState& state, Args&) {
    state.window->Clear();
    return CValue();
}

// ВвестиСтроку(Значение, Подсказка, Длина, Многострочный): 1 and the line read into Значение (cut
// to Длина when it is given); 0 and Значение as it was when there is no answer.
CValue InputLine(RunState& state, Args& args) {
    const std::string prompt = Given(args, 1) ? Text(args[1]) : std::string();
    std::string answer;
    if (!state.window->Ask("Ввод строки:", Shown(prompt), answer)) return Number(0);
    const std::int64_t length = Given(args, 2) ? args[2].GetNumeric().ToInt64() : 0;
    if (length > 0 && static_cast<std::uint64_t>(length) < answer.size()) answer.resize(static_cast<std::size_t>(length));
    args[0] = TextValue(answer);
    return Number(1);
}

CValue Format(RunState&, Args& args) { return FormatValue(args[0], Text(args[1])); }

}  // namespace

std::vector<Builtin> WithTextBuiltins(std::vector<Builtin> table) {
    const std::vector<Builtin> texts = {
        {RU("СтрЗаменить"), "StrReplace", 3, 3, true, Replace},
        {RU("СтрЧислоВхождений"), "StrCountOccur", 2, 2, true, CountOccurrences},
        {RU("Симв"), "Chr", 1, 1, true, Character},
        {RU("КодСимв"), "Asc", 1, 1, true, CharacterCode},
        {RU("ПустаяСтрока"), "EmptyStr", 1, 1, true, BlankText},
        {RU("СокрЛ"), "TrimL", 1, 1, true, TrimLeft},
        {RU("СокрП"), "TrimR", 1, 1, true, TrimRight},
        {RU("РазделительСтрок"), "LineSeparator", 0, 0, true, LineSeparator},
        {RU("СимволТабуляции"), "TabSymbol", 0, 0, true, Tabulation},
        {RU("СтрКоличествоСтрок"), "StrLineCount", 1, 1, true, LineCount},
        {RU("СтрПолучитьСтроку"), "StrGetLine", 2, 2, true, LineAt},
        {RU("Вопрос"), "DoQueryBox", 1, 3, true, AskQuestion},
        {RU("ВвестиСтроку"), "InputString", 1, 5, true, InputLine, /*fills_args=*/1u},
        {RU("ОчиститьОкноСообщений"), "ClearMessageWindow", 0, 0, false, ClearMessages},
        {RU("Формат"), "Format", 2, 2, true, Format},
        {RU("Шаблон"), "Template", 1, 1, true, FillTemplate},
    };
    table.insert(table.end(), texts.begin(), texts.end());
    return table;
}

}  // namespace script
