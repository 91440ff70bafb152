#include "tools/script/language/builtins.h"

#include <algorithm>
#include <cstdint>
#include <unordered_map>

#include "platform/runtime/context.h"
#include "platform/runtime/module.h"
#include "tools/script/bridge/host_text.h"
#include "tools/script/bridge/message_window.h"
#include "tools/script/bridge/object_calls.h"
#include "tools/script/bridge/russian.h"
#include "tools/script/bridge/script_error.h"
#include "tools/script/language/arithmetic.h"
#include "tools/script/language/date_builtins.h"
#include "tools/script/language/date_value.h"
#include "tools/script/language/text_builtins.h"
#include "tools/script/language/value_ops.h"

namespace script {

namespace {

using Args = std::vector<CValue>;

std::string Text(const CValue& value) { return TextOf(value); }
// A count as a whole number, saturated at the 64-bit range (never narrowed further).
std::int64_t Count(const CValue& value) { return value.GetNumeric().ToInt64(); }
// At most n characters of a text of size characters (none for n <= 0).
std::size_t Take(std::int64_t n, std::size_t size) {
    return n <= 0 ? 0 : static_cast<std::size_t>(std::min<std::uint64_t>(static_cast<std::uint64_t>(n), size));
}
CValue Number(long long number) { return NumberValue(CNumeric(number)); }
CValue Nothing() { return CValue(); }
bool Given(const Args& args, std::size_t i) { return i < args.size() && args[i].GetKind() != CValue::Kind::Empty; }

CValue Message(RunState& state, Args& args) {
    state.window->Message(Shown(Text(args[0])), Given(args, 1) ? Text(args[1]) : std::string());
    return Nothing();
}

CValue MessageBox(RunState& state, Args& args) {
    state.window->MessageBox(Shown(Text(args[0])));
    return Nothing();
}

CValue Status(RunState& state, Args& args) {
    state.window->Status(args.empty() ? std::string() : Shown(Text(args[0])));
    return Nothing();
}

CValue Create(RunState&, Args& args) { return CreateObject(Text(args[0])); }
CValue ErrorDescription(RunState& state, Args&) { return TextValue(state.last_error); }
CValue String(RunState&, Args& args) { return TextValue(Text(args[0])); }
CValue Number(RunState&, Args& args) { return NumberValue(args[0].GetNumeric()); }
CValue StrLen(RunState&, Args& args) { return Number(static_cast<long long>(Text(args[0]).size())); }

// Sub-texts by character positions counted from 1 (one byte is one character in the code page).
CValue Left(RunState&, Args& args) {
    const std::string text = Text(args[0]);
    return TextValue(text.substr(0, Take(Count(args[1]), text.size())));
}

CValue Right(RunState&, Args& args) {
    const std::string text = Text(args[0]);
    return TextValue(text.substr(text.size() - Take(Count(args[1]), text.size())));
}

CValue Mid(RunState&, Args& args) {
    const std::string text = Text(args[0]);
    const std::int64_t start = Count(args[1]);
    const std::size_t skip = start <= 1 ? 0 : Take(start - 1, text.size());
    const std::string rest = text.substr(skip);
    if (!Given(args, 2)) return TextValue(rest);
    return TextValue(rest.substr(0, Take(Count(args[2]), rest.size())));
}

CValue Find(RunState&, Args& args) {
    const std::size_t at = Text(args[0]).find(Text(args[1]));
    return Number(at == std::string::npos ? 0 : static_cast<long long>(at) + 1);
}

CValue TrimAll(RunState&, Args& args) {
    const std::string text = Text(args[0]);
    const char* blanks = " \t\r\n";
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos) return TextValue("");
    return TextValue(text.substr(first, text.find_last_not_of(blanks) - first + 1));
}

CValue Upper(RunState&, Args& args) { return TextValue(ToUpper(Text(args[0]))); }
CValue Lower(RunState&, Args& args) { return TextValue(ToLower(Text(args[0]))); }

// The host's empty values: the empty value itself, the number 0, a text of blanks only.
CValue EmptyValue(RunState&, Args& args) {
    const CValue& v = args[0];
    switch (v.GetKind()) {
        case CValue::Kind::Empty: return Boolean(true);
        case CValue::Kind::Number: return Boolean(v.GetNumeric() == CNumeric());
        case CValue::Kind::String: return Boolean(v.m_String.view().find_first_not_of(' ') == std::string_view::npos);
        case CValue::Kind::Object: return Boolean(IsEmptyDate(v));
    }
    return Boolean(false);
}

CValue ValueTypeStr(RunState&, Args& args) {
    switch (args[0].GetKind()) {
        case CValue::Kind::Number: return TextValue(RU("Число"));
        case CValue::Kind::String: return TextValue(RU("Строка"));
        case CValue::Kind::Object: return TextValue(args[0].GetContext()->DisplayTypeName());
        case CValue::Kind::Empty: break;
    }
    return TextValue(RU("Неопределенный"));
}

// Окр(number, places = 0, method = 1): method 1 rounds a half away from zero, 0 toward it.
CValue RoundNumber(RunState&, Args& args) {
    const std::int64_t places = Given(args, 1) ? Count(args[1]) : 0;
    const bool half_up = Given(args, 2) ? Count(args[2]) != 0 : true;
    if (places > 100 || places < -100)
        throw RuntimeError{{std::string(RU("Неверное значение аргумента")), "argument out of range"}};
    return NumberValue(Round(args[0].GetNumeric(), static_cast<int>(places), half_up));
}

CValue Int(RunState&, Args& args) { return NumberValue(Truncate(args[0].GetNumeric())); }

template <BinaryOp kKeep>
CValue Extreme(RunState&, Args& args) {
    CValue best = args[0];
    for (std::size_t i = 1; i < args.size(); ++i)
        if (Compare(kKeep, args[i], best)) best = args[i];
    return best;
}

}  // namespace

const std::vector<Builtin>& Builtins() {
    static const std::vector<Builtin> table = WithTextBuiltins(WithDateBuiltins({
        {RU("Сообщить"), "Message", 1, 2, false, Message},
        {RU("Предупреждение"), "DoMessageBox", 1, 2, false, MessageBox},
        {RU("Состояние"), "Status", 0, 1, false, Status},
        {RU("СоздатьОбъект"), "CreateObject", 1, 1, true, Create},
        {RU("ОписаниеОшибки"), "ErrorDescription", 0, 0, true, ErrorDescription},
        {RU("Строка"), "String", 1, 1, true, String},
        {RU("Число"), "Number", 1, 1, true, Number},
        {RU("СтрДлина"), "StrLen", 1, 1, true, StrLen},
        {RU("Лев"), "Left", 2, 2, true, Left},
        {RU("Прав"), "Right", 2, 2, true, Right},
        {RU("Сред"), "Mid", 2, 3, true, Mid},
        {RU("Найти"), "Find", 2, 2, true, Find},
        {RU("СокрЛП"), "TrimAll", 1, 1, true, TrimAll},
        {RU("ВРег"), "Upper", 1, 1, true, Upper},
        {RU("НРег"), "Lower", 1, 1, true, Lower},
        {RU("ПустоеЗначение"), "EmptyValue", 1, 1, true, EmptyValue},
        {RU("ТипЗначенияСтр"), "ValueTypeStr", 1, 1, true, ValueTypeStr},
        {RU("Окр"), "Round", 1, 3, true, RoundNumber},
        {RU("Цел"), "Int", 1, 1, true, Int},
        {RU("Макс"), "Max", 2, -1, true, Extreme<BinaryOp::Greater>},
        {RU("Мин"), "Min", 2, -1, true, Extreme<BinaryOp::Less>},
    }));
    return table;
}

int FindBuiltin(std::string_view name) {
    static const std::unordered_map<std::string, int> index = [] {
        std::unordered_map<std::string, int> map;
        for (std::size_t i = 0; i < Builtins().size(); ++i) {
            map.emplace(FoldName(Builtins()[i].russian), static_cast<int>(i));
            map.emplace(FoldName(Builtins()[i].english), static_cast<int>(i));
        }
        return map;
    }();
    const auto found = index.find(FoldName(name));
    return found == index.end() ? -1 : found->second;
}

}  // namespace script
