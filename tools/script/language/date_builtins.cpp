#include "tools/script/language/date_builtins.h"

#include <cstdio>
#include <string>

#include "tools/script/bridge/host_text.h"
#include "tools/script/bridge/russian.h"
#include "tools/script/bridge/script_error.h"
#include "tools/script/language/date_text.h"
#include "tools/script/language/date_value.h"

namespace script {

namespace {

using Args = std::vector<CValue>;
using calendar::DayNumber;
using calendar::kEmptyDate;

CValue Number(long long number) { return NumberValue(CNumeric(number)); }
bool Given(const Args& args, std::size_t i) { return i < args.size() && args[i].GetKind() != CValue::Kind::Empty; }

DayNumber Today(const RunState& state) { return state.clock().day; }

CValue CurrentDate(RunState& state, Args&) { return DateValue(Today(state)); }

// A whole number of a date's part; none for a fraction or a text that is no number.
std::optional<std::int64_t> Whole(const CValue& value) {
    if (value.GetKind() == CValue::Kind::Object) return std::nullopt;
    const CNumeric n = value.GetNumeric();
    const std::int64_t whole = n.ToInt64();
    if (CNumeric(static_cast<long long>(whole)) != n) return std::nullopt;
    return whole;
}

// Дата(text or date) or Дата(year, month, day).
CValue MakeDate(RunState&, Args& args) {
    if (args.size() == 1) return DateValue(ReadDate(args[0]));
    std::string shown;
    for (const CValue& arg : args) shown += (shown.empty() ? "" : ", ") + TextOf(arg);
    if (args.size() != 3) NotADate(shown);
    const auto year = Whole(args[0]), month = Whole(args[1]), day = Whole(args[2]);
    if (!year || !month || !day) NotADate(shown);
    const std::optional<DayNumber> found = calendar::DayOf(*year, *month, *day);
    if (!found) NotADate(shown);
    return DateValue(*found);
}

// A part of a date argument; 0 for the empty date.
template <int (*kPart)(DayNumber)>
CValue Part(RunState&, Args& args) {
    const DayNumber day = ReadDate(args[0]);
    return Number(day == kEmptyDate ? 0 : kPart(day));
}

int YearOf(DayNumber day) { return calendar::CivilOf(day).year; }
int MonthOf(DayNumber day) { return calendar::CivilOf(day).month; }
int DayOfMonth(DayNumber day) { return calendar::CivilOf(day).day; }

// The edge of a date argument's period; the empty date stays empty.
template <DayNumber (*kEdge)(DayNumber)>
CValue Edge(RunState&, Args& args) {
    const DayNumber day = ReadDate(args[0]);
    return DateValue(day == kEmptyDate ? kEmptyDate : kEdge(day));
}

template <std::optional<DayNumber> (*kEdge)(DayNumber)>
CValue WeekEdge(RunState&, Args& args) {
    const DayNumber day = ReadDate(args[0]);
    return DateValue(day == kEmptyDate ? kEmptyDate : DayInRange(kEdge(day)));
}

CValue AddMonth(RunState&, Args& args) {
    const DayNumber day = ReadDate(args[0]);
    if (day == kEmptyDate) return DateValue(kEmptyDate);
    return DateValue(DayInRange(calendar::AddMonths(day, args[1].GetNumeric().ToInt64())));
}

CValue PeriodStr(RunState&, Args& args) {
    return TextValue(date_text::PeriodText(ReadDate(args[0]), ReadDate(args[1])));
}

// РабочаяДата(new date): the running script's working date; given a date, it becomes the new one
// (the empty date: today's again). The second argument of the host's form is accepted and unused.
CValue WorkingDate(RunState& state, Args& args) {
    if (Given(args, 0)) state.work_date = ReadDate(args[0]);
    return DateValue(state.work_date == kEmptyDate ? Today(state) : state.work_date);
}

std::string TwoDigits(int n) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "%02d", n);
    return buffer;
}

// ТекущееВремя(hours, minutes, seconds): fills the variables given and gives "чч:мм:сс".
CValue CurrentTime(RunState& state, Args& args) {
    const Moment now = state.clock();
    const int parts[] = {now.hour, now.minute, now.second};
    for (std::size_t i = 0; i < args.size() && i < 3; ++i) args[i] = Number(parts[i]);
    return TextValue(TwoDigits(now.hour) + ":" + TwoDigits(now.minute) + ":" + TwoDigits(now.second));
}

// The host's type numbers: 0 the empty value, 1 a number, 2 a text, 3 a date, an object its own
// (100 for the aggregate objects).
CValue ValueType(RunState&, Args& args) {
    switch (args[0].GetKind()) {
        case CValue::Kind::Number: return Number(1);
        case CValue::Kind::String: return Number(2);
        case CValue::Kind::Object: return Number(args[0].GetContext()->GetValueType());
        case CValue::Kind::Empty: break;
    }
    return Number(0);
}

// ПолучитьПустоеЗначение(type name): the empty value of "Число", "Строка" or "Дата"; without a
// name (or "Неопределенный") the empty value itself.
CValue EmptyValueOf(RunState&, Args& args) {
    const std::string name = FoldName(args.empty() ? std::string() : TextOf(args[0]));
    if (name.empty() || name == FoldName(RU("Неопределенный")) || name == "undefined") return CValue();
    if (name == FoldName(RU("Число")) || name == "number") return Number(0);
    if (name == FoldName(RU("Строка")) || name == "string") return TextValue("");
    if (name == FoldName(RU("Дата")) || name == "date") return DateValue(kEmptyDate);
    const std::string shown = TextOf(args[0]);
    throw RuntimeError{{std::string(RU("Неверное имя типа")) + " (" + shown + ")", "no such type (" + shown + ")"}};
}

}  // namespace

std::vector<Builtin> WithDateBuiltins(std::vector<Builtin> table) {
    const std::vector<Builtin> dates = {
        {RU("ТекущаяДата"), "CurDate", 0, 0, true, CurrentDate},
        {RU("Дата"), "Date", 1, 3, true, MakeDate},
        {RU("ДатаГод"), "GetYear", 1, 1, true, Part<YearOf>},
        {RU("ДатаМесяц"), "GetMonth", 1, 1, true, Part<MonthOf>},
        {RU("ДатаЧисло"), "GetDay", 1, 1, true, Part<DayOfMonth>},
        {RU("ДеньНедели"), "DayOfWeek", 1, 1, true, Part<calendar::WeekDay>},
        {RU("ДеньГода"), "DayOfYear", 1, 1, true, Part<calendar::DayOfYear>},
        {RU("НомерНеделиГода"), "WeekOfYear", 1, 1, true, Part<calendar::WeekOfYear>},
        {RU("НачМесяца"), "BegOfMonth", 1, 1, true, Edge<calendar::StartOfMonth>},
        {RU("КонМесяца"), "EndOfMonth", 1, 1, true, Edge<calendar::EndOfMonth>},
        {RU("НачКвартала"), "BegOfQuart", 1, 1, true, Edge<calendar::StartOfQuarter>},
        {RU("КонКвартала"), "EndOfQuart", 1, 1, true, Edge<calendar::EndOfQuarter>},
        {RU("НачГода"), "BegOfYear", 1, 1, true, Edge<calendar::StartOfYear>},
        {RU("КонГода"), "EndOfYear", 1, 1, true, Edge<calendar::EndOfYear>},
        {RU("НачНедели"), "BegOfWeek", 1, 1, true, WeekEdge<calendar::StartOfWeek>},
        {RU("КонНедели"), "EndOfWeek", 1, 1, true, WeekEdge<calendar::EndOfWeek>},
        {RU("ДобавитьМесяц"), "AddMonth", 2, 2, true, AddMonth},
        {RU("ПериодСтр"), "PeriodStr", 2, 2, true, PeriodStr},
        {RU("РабочаяДата"), "WorkingDate", 0, 2, true, WorkingDate},
        {RU("ТекущееВремя"), "CurrentTime", 0, 3, true, CurrentTime, 0b111},
        {RU("ТипЗначения"), "ValueType", 1, 1, true, ValueType},
        {RU("ПолучитьПустоеЗначение"), "GetEmptyValue", 0, 1, true, EmptyValueOf},
    };
    table.insert(table.end(), dates.begin(), dates.end());
    return table;
}

CValue FormatDateValue(const CValue& date, const CValue& mask) {
    const std::string text = TextOf(mask);
    const std::optional<std::string> formatted = date_text::FormatDate(AsDate(date).value_or(kEmptyDate), text);
    if (!formatted)
        throw RuntimeError{{std::string(RU("Неверный формат даты")) + " (" + text + ")",
                            "not a date mask (" + text + ")"}};
    return TextValue(*formatted);
}

}  // namespace script
