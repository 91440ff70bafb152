// The language's dates: literals, arithmetic and comparisons, the date built-ins, the clock and the
// working date, by-reference filling of ТекущееВремя, and the value types over every kind of value.
#include <string>
#include <vector>

#include "tests/script/script_fixture.h"
#include "tools/script/language/date_calendar.h"

namespace {

using namespace script_test;
using script::Moment;
using script::calendar::DayOf;


// 8 December 2026, 09:05:07: a fixed clock, so the clock's built-ins are checked exactly.
Moment FixedMoment() { return {DayOf(2026, 12, 8).value_or(0), 9, 5, 7}; }
void FixedClock(Interpreter& interpreter) { interpreter.SetClock(FixedMoment); }

class ScriptDates : public ScriptTest {
protected:
    // Every line a script shows; it must run to its end.
    static std::vector<std::string> Lines(const std::string& utf8,
                                          const std::function<void(Interpreter&)>& set_up = {}) {
        const Outcome outcome = Run(utf8, set_up);
        EXPECT_FALSE(outcome.error) << outcome.error_text();
        return outcome.lines;
    }
};

using ScriptValueTypes = ScriptDates;

TEST_F(ScriptDates, LiteralsShowAsDayMonthAndTwoDigitYear) {
    EXPECT_EQ(Line("Сообщить('08.12.26');"), "08.12.26");
    EXPECT_EQ(Line("Сообщить('08.12.1926');"), "08.12.26");
    EXPECT_EQ(Line("Сообщить(\"с \" + '1.2.2026' + \" по \" + '29.02.2000');"), "с 01.02.26 по 29.02.00");
    EXPECT_EQ(Line("Сообщить(Строка('00.00.00') + \"|\");"), "  .  .  |");
    EXPECT_EQ(Line("Сообщить(СтрДлина('31.12.2029'));"), "8");
    EXPECT_EQ(Line("Процедура П(Д = '01.05.26') Сообщить(Д); КонецПроцедуры П();"), "01.05.26");
}

TEST_F(ScriptDates, LiteralsThatNameNoDayAreSyntaxErrors) {
    const SyntaxError bad = SyntaxErrorOf("А = 1;\nБ = '30.02.26';");
    EXPECT_EQ(Russian(bad), "Неверная константа типа Дата '30.02.26'");
    EXPECT_EQ(bad.line, 2);
    EXPECT_EQ(bad.column, 5);
    EXPECT_EQ(Russian(SyntaxErrorOf("Б = '08.12.226';")), "Неверная константа типа Дата '08.12.226'");
    EXPECT_EQ(Russian(SyntaxErrorOf("Б = 'сегодня';")), "Неверная константа типа Дата 'сегодня'");
    EXPECT_EQ(Russian(SyntaxErrorOf("Б = '08.12.26;\nВ = 1;")), "Незавершенная константа типа Дата");
    EXPECT_EQ(Russian(SyntaxErrorOf("Б = '08.12.26")), "Незавершенная константа типа Дата");
}

TEST_F(ScriptDates, DaysAreAddedSubtractedAndCounted) {
    EXPECT_EQ(Line("Сообщить('31.12.26' + 1);"), "01.01.27");
    EXPECT_EQ(Line("Сообщить('01.03.2024' - 1);"), "29.02.24");
    EXPECT_EQ(Line("Сообщить('01.03.2100' - 1);"), "28.02.00");
    EXPECT_EQ(Line("Сообщить(10 + '25.12.26');"), "04.01.27");
    EXPECT_EQ(Line("Сообщить('01.01.27' - '01.01.26');"), "365");
    EXPECT_EQ(Line("Сообщить('01.01.26' - '01.01.27');"), "-365");
    EXPECT_EQ(Line("Сообщить('08.12.26' + 1.9);"), "09.12.26");
    EXPECT_EQ(Line("Сообщить('08.12.26' + \"3\");"), "11.12.26");
    EXPECT_EQ(Line("Д = '08.12.26'; Д = Д + 7; Сообщить(Д);"), "15.12.26");
}

TEST_F(ScriptDates, OperationsADateCannotTakeAreRunTimeErrors) {
    EXPECT_EQ(Run("Х = '08.12.26' * 2;").error_text(), "Недопустимая операция над датой");
    EXPECT_EQ(Run("Х = '08.12.26' + '09.12.26';").error_text(), "Недопустимая операция над датой");
    EXPECT_EQ(Run("Х = 5 - '08.12.26';").error_text(), "Недопустимая операция над датой");
    EXPECT_EQ(Run("Х = '00.00.00' + 1;").error_text(), "Недопустимая операция над пустой датой");
    EXPECT_EQ(Run("Х = '08.12.26' - '00.00.00';").error_text(), "Недопустимая операция над пустой датой");
    EXPECT_EQ(Run("Х = '31.12.9999' + 1;").error_text(), "Дата вне допустимого диапазона");
    EXPECT_EQ(Run("Х = '08.12.26' - 99999999999999999999;").error_text(), "Дата вне допустимого диапазона");
    const Outcome caught = Run("Попытка Х = '08.12.26' / 2; Исключение Сообщить(\"поймано\"); КонецПопытки;");
    EXPECT_EQ(caught.lines, std::vector<std::string>{"поймано"});
}

TEST_F(ScriptDates, DatesCompareByDayAndTheEmptyDateComesFirst) {
    EXPECT_EQ(Line("Сообщить(\"\" + ('08.12.26' = '08.12.2026') + ('08.12.26' < '09.12.26') + "
                   "('08.12.26' > '09.12.26') + ('00.00.00' < '01.01.1400') + ('08.12.26' <> '08.12.26'));"),
              "11010");
    // Two dates made apart are equal as values.
    EXPECT_EQ(Line("А = Дата(2026, 12, 8); Б = '07.12.26' + 1; Сообщить(А = Б);"), "1");
    EXPECT_EQ(Line("Сообщить(Макс('08.12.26', '01.01.27', '31.12.25'));"), "01.01.27");
    EXPECT_EQ(Line("Сообщить(Мин('08.12.26', '00.00.00'));"), "  .  .  ");
}

TEST_F(ScriptDates, ADateComparedWithAnotherKindReadsItAsADate) {
    EXPECT_EQ(Line("Перем Х; Сообщить(\"\" + ('00.00.00' = Х) + ('08.12.26' > Х) + (Х < '08.12.26'));"), "111");
    EXPECT_EQ(Line("Сообщить(\"\" + ('08.12.26' = \"08.12.2026\") + (\"2026-12-09\" > '08.12.26'));"), "11");
    EXPECT_EQ(Run("Х = '08.12.26' < 5;").error_text(), "Ожидается значение типа Дата");
    EXPECT_EQ(Run("Х = '08.12.26' = \"завтра\";").error_text(), "Неверное значение даты (завтра)");
    // An object is never equal to a date, and cannot be ordered against one.
    EXPECT_EQ(Line("С = СоздатьОбъект(\"Сетка\"); Сообщить(\"\" + (С = '08.12.26') + ('08.12.26' <> С));"), "01");
    EXPECT_EQ(Run("С = СоздатьОбъект(\"Сетка\"); Х = '08.12.26' < С;").error_text(),
              "Недопустимая операция над объектом");
}

TEST_F(ScriptDates, TheEmptyDateIsEmptyAndFalse) {
    EXPECT_EQ(Line("Д = ПолучитьПустоеЗначение(\"Дата\"); Сообщить(\"\" + ПустоеЗначение(Д) + "
                   "ПустоеЗначение('08.12.26') + (Д = '00.00.00') + (Д = '  .  .  '));"),
              "1011");
    EXPECT_EQ(Line("Если '00.00.00' Тогда Сообщить(\"да\") Иначе Сообщить(\"нет\") КонецЕсли;"), "нет");
    EXPECT_EQ(Line("Если '08.12.26' Тогда Сообщить(\"да\") Иначе Сообщить(\"нет\") КонецЕсли;"), "да");
}

TEST_F(ScriptDates, DateMakesADayFromTextsAndNumbers) {
    EXPECT_EQ(Line("Сообщить(Дата(\"08.12.2026\"));"), "08.12.26");
    EXPECT_EQ(Line("Сообщить(Дата(\"2026-12-08\"));"), "08.12.26");
    EXPECT_EQ(Line("Сообщить(Дата(\"2026-12-08 17:30:00\"));"), "08.12.26");
    EXPECT_EQ(Line("Сообщить(Дата(\"20261208\"));"), "08.12.26");
    EXPECT_EQ(Line("Сообщить(Дата(2024, 2, 29));"), "29.02.24");
    EXPECT_EQ(Line("Сообщить(Дата('08.12.26') = '08.12.26');"), "1");
    EXPECT_EQ(Line("Сообщить(ПустоеЗначение(Дата(\"\")));"), "1");
}

TEST_F(ScriptDates, DateOfNoDayIsARunTimeError) {
    EXPECT_EQ(Run("Х = Дата(2025, 2, 29);").error_text(), "Неверное значение даты (2025, 2, 29)");
    EXPECT_EQ(Run("Х = Дата(2026, 13, 1);").error_text(), "Неверное значение даты (2026, 13, 1)");
    EXPECT_EQ(Run("Х = Дата(2026, 1, 1.5);").error_text(), "Неверное значение даты (2026, 1, 1.5)");
    EXPECT_EQ(Run("Х = Дата(2026, 1);").error_text(), "Неверное значение даты (2026, 1)");
    EXPECT_EQ(Run("Х = Дата(\"2026-02-30\");").error_text(), "Неверное значение даты (2026-02-30)");
    EXPECT_EQ(Run("Х = Дата(\"32.01.26\");").error_text(), "Неверное значение даты (32.01.26)");
    EXPECT_EQ(Run("Х = Дата(5);").error_text(), "Ожидается значение типа Дата");
    EXPECT_EQ(Run("Х = Дата();").error_text(), "Недостаточно фактических параметров (Дата)");
}

TEST_F(ScriptDates, PartsOfADay) {
    EXPECT_EQ(Lines("Д = '29.02.2024'; Сообщить(ДатаГод(Д)); Сообщить(ДатаМесяц(Д)); Сообщить(ДатаЧисло(Д));"
                    "Сообщить(ДеньНедели(Д)); Сообщить(ДеньГода(Д)); Сообщить(НомерНеделиГода(Д));"),
              (std::vector<std::string>{"2024", "2", "29", "4", "60", "9"}));
    EXPECT_EQ(Line("Сообщить(\"\" + ДатаГод('00.00.00') + ДатаМесяц('00.00.00') + ДеньНедели('00.00.00'));"), "000");
    EXPECT_EQ(Line("Сообщить(ДатаГод(\"2031-05-06\"));"), "2031");
    EXPECT_EQ(Line("Сообщить(\"\" + ДеньНедели('07.12.26') + ДеньНедели('13.12.26'));"), "17");
    EXPECT_EQ(Line("Сообщить(\"\" + НомерНеделиГода('01.01.12') + \" \" + НомерНеделиГода('02.01.12') + \" \" + "
                   "НомерНеделиГода('31.12.12'));"),
              "1 2 54");
}

TEST_F(ScriptDates, EdgesOfMonthsQuartersYearsAndWeeks) {
    EXPECT_EQ(Lines("Д = '15.02.2024'; Сообщить(НачМесяца(Д)); Сообщить(КонМесяца(Д));"
                    "Сообщить(НачКвартала(Д)); Сообщить(КонКвартала(Д));"
                    "Сообщить(НачГода(Д)); Сообщить(КонГода(Д)); Сообщить(НачНедели(Д)); Сообщить(КонНедели(Д));"),
              (std::vector<std::string>{"01.02.24", "29.02.24", "01.01.24", "31.03.24", "01.01.24", "31.12.24",
                                        "12.02.24", "18.02.24"}));
    EXPECT_EQ(Line("Сообщить(КонМесяца('01.02.1900'));"), "28.02.00");
    EXPECT_EQ(Line("Сообщить(НачНедели('01.01.2026'));"), "29.12.25");
    EXPECT_EQ(Line("Сообщить(Строка(НачМесяца('00.00.00')) + \"|\");"), "  .  .  |");
    EXPECT_EQ(Run("Х = НачНедели('01.01.1400');").error_text(), "Дата вне допустимого диапазона");
}

TEST_F(ScriptDates, AddMonthStopsAtTheEndOfAShorterMonth) {
    EXPECT_EQ(Lines("Сообщить(ДобавитьМесяц('31.01.2026', 1)); Сообщить(ДобавитьМесяц('31.01.2024', 1));"
                    "Сообщить(ДобавитьМесяц('31.03.2026', -1)); Сообщить(ДобавитьМесяц('31.01.2026', 12));"
                    "Сообщить(ДобавитьМесяц('28.02.2026', 1)); Сообщить(ДобавитьМесяц('15.11.2026', 3));"),
              (std::vector<std::string>{"28.02.26", "29.02.24", "28.02.26", "31.01.27", "28.03.26", "15.02.27"}));
    EXPECT_EQ(Run("Х = ДобавитьМесяц('01.12.9999', 1);").error_text(), "Дата вне допустимого диапазона");
    EXPECT_EQ(Line("Сообщить(ПустоеЗначение(ДобавитьМесяц('00.00.00', 1)));"), "1");
}

TEST_F(ScriptDates, PeriodStrNamesThePeriod) {
    EXPECT_EQ(Lines("Сообщить(ПериодСтр('01.02.26', '28.02.26')); Сообщить(ПериодСтр('01.10.26', '31.12.26'));"
                    "Сообщить(ПериодСтр('01.01.26', '31.12.26')); Сообщить(ПериодСтр('03.02.26', '10.02.26'));"),
              (std::vector<std::string>{"Февраль 2026 г.", "4 квартал 2026 г.", "2026 г.", "03.02.26 - 10.02.26"}));
}

TEST_F(ScriptDates, FormatShowsADateInTheHostsMasks) {
    EXPECT_EQ(Lines("Д = '08.12.2026'; Сообщить(Формат(Д, \"ДДММГГ\")); Сообщить(Формат(Д, \"ДДММГГГГ\"));"
                    "Сообщить(Формат(Д, \"ДДМММГГГГ\")); Сообщить(Формат(Д, \"ДДДМММГГГГ\"));"
                    "Сообщить(Формат(Д, \"ДГГГГММДД\")); Сообщить(Формат(Д, \"ММММГГГГ\"));"),
              (std::vector<std::string>{"08.12.26", "08.12.2026", "08 декабря 2026 г.", "08 декабря 2026 г.",
                                        "20261208", "Декабрь 2026 г."}));
    EXPECT_EQ(Run("Х = Формат('08.12.26', \"ДД/ММ\");").error_text(), "Неверный формат даты (ДД/ММ)");
}

TEST_F(ScriptDates, TheClockGivesTodayAndTheTimeFilledIntoVariables) {
    EXPECT_EQ(Lines("Перем Ч, М, С; Т = ТекущееВремя(Ч, М, С); Сообщить(Т); Сообщить(\"\" + Ч + \":\" + М + \":\" + С);"
                    "Сообщить(ТекущаяДата()); Сообщить(РабочаяДата());",
                    FixedClock),
              (std::vector<std::string>{"09:05:07", "9:5:7", "08.12.26", "08.12.26"}));
    // Filled into a procedure's locals, and only as far as arguments are given.
    EXPECT_EQ(Lines("Перем Ч; Процедура П() Перем А, Б; ТекущееВремя(А, Б); Сообщить(\"\" + А + Б); КонецПроцедуры\n"
                    "П(); ТекущееВремя(Ч); Сообщить(Ч); ТекущееВремя(); ТекущееВремя(, , Ч); Сообщить(Ч);"
                    "Х = 1; ТекущееВремя(Х + 1); Сообщить(Х);",
                    FixedClock),
              (std::vector<std::string>{"95", "9", "7", "1"}));
    // A plain procedure's copies of arguments stay unfilled: only ТекущееВремя's are by reference.
    EXPECT_EQ(Line("Ч = 1; Х = Строка(Ч); Сообщить(Ч);"), "1");
}

TEST_F(ScriptDates, TheWorkingDateIsTheRunnersAndTheScriptMayChangeIt) {
    const auto work_date = [](Interpreter& interpreter) {
        interpreter.SetClock(FixedMoment);
        interpreter.SetWorkDate(DayOf(2025, 3, 31).value_or(0));
    };
    EXPECT_EQ(Lines("Сообщить(РабочаяДата()); Сообщить(ТекущаяДата()); РабочаяДата('01.04.25');"
                    "Сообщить(РабочаяДата()); РабочаяДата('00.00.00'); Сообщить(РабочаяДата());",
                    work_date),
              (std::vector<std::string>{"31.03.25", "08.12.26", "01.04.25", "08.12.26"}));
    EXPECT_EQ(Run("РабочаяДата(\"вчера\");").error_text(), "Неверное значение даты (вчера)");
}

// 29 February is a day in 2000 (a century divisible by 400) and not in 1900 or 2100: a literal
// naming it there is refused before anything runs; Дата() and a text naming it are run-time errors
// that Попытка catches; the calendar steps from the 28th to 1 March; a date column keeps the empty date.
TEST_F(ScriptDates, TheTwentyNinthOfFebruaryIsADayIn2000AndNotIn1900Or2100) {
    for (const std::string literal : {"'29.02.1900'", "'29.02.2100'"})
        EXPECT_EQ(Russian(SyntaxErrorOf("Д = " + literal + ";")), "Неверная константа типа Дата " + literal);
    std::string script;
    for (const char* day : {"'29.02.00'", "'29.02.2000'", "Дата(1900, 2, 29)", "Дата(2000, 2, 29)",
                            "Дата(2100, 2, 29)", "Дата(\"29.02.1900\")", "Дата(\"2100-02-29\")",
                            "Дата(\"20000229\")", "'28.02.1900' + 1", "'28.02.2000' + 1", "'28.02.2100' + 1",
                            "ДобавитьМесяц('31.01.1900', 1)", "ДобавитьМесяц('31.01.2000', 1)",
                            "КонМесяца('01.02.2100')"})
        script += std::string("Попытка Сообщить(Формат(") + day +
                  ", \"ДДММГГГГ\")); Исключение Сообщить(ОписаниеОшибки()); КонецПопытки;\n";
    script += "Сообщить(\"\" + ДеньГода('31.12.1900') + \" \" + ДеньГода('31.12.2000') + \" \" + ДеньГода('31.12.2100') +"
              "\" \" + ('01.03.1900' - '28.02.1900') + ('01.03.2000' - '28.02.2000') + ('01.03.2100' - '28.02.2100'));"
              "Т = СоздатьОбъект(\"ТаблицаЗначений\"); Т.НоваяКолонка(\"Д\", \"Дата\"); Т.НоваяСтрока();"
              "Т.Д = \"29.02.1900\"; Сообщить(ПустоеЗначение(Т.Д)); Т.Д = \"29.02.2000\"; Сообщить(Т.Д);";
    EXPECT_EQ(Lines(script),
              (std::vector<std::string>{"29.02.2000", "29.02.2000", "Неверное значение даты (1900, 2, 29)", "29.02.2000",
                                        "Неверное значение даты (2100, 2, 29)", "Неверное значение даты (29.02.1900)",
                                        "Неверное значение даты (2100-02-29)", "29.02.2000", "01.03.1900", "29.02.2000",
                                        "01.03.2100", "28.02.1900", "29.02.2000", "28.02.2100", "365 366 365 121",
                                        "1", "29.02.00"}));
}

TEST_F(ScriptValueTypes, TypeNumbersAndNamesOfEveryKindOfValue) {
    EXPECT_EQ(Lines("Перем П; С = СоздатьОбъект(\"Сетка\");"
                    "Сообщить(\"\" + ТипЗначения(П) + ТипЗначения(1) + ТипЗначения(\"а\") + ТипЗначения('08.12.26'));"
                    "Сообщить(ТипЗначения(С));"
                    "Сообщить(ТипЗначенияСтр(П)); Сообщить(ТипЗначенияСтр(1.5)); Сообщить(ТипЗначенияСтр(\"\"));"
                    "Сообщить(ТипЗначенияСтр('00.00.00')); Сообщить(ТипЗначенияСтр(С));"),
              (std::vector<std::string>{"0123", "100", "Неопределенный", "Число", "Строка", "Дата", "Сетка"}));
}

TEST_F(ScriptValueTypes, EmptyValuesOfEveryType) {
    EXPECT_EQ(Lines("Сообщить(ТипЗначения(ПолучитьПустоеЗначение()));"
                    "Сообщить(ТипЗначения(ПолучитьПустоеЗначение(\"Неопределенный\")));"
                    "Х = ПолучитьПустоеЗначение(\"число\"); Сообщить(\"\" + ТипЗначения(Х) + \" \" + Х);"
                    "Х = ПолучитьПустоеЗначение(\"СТРОКА\"); Сообщить(\"\" + ТипЗначения(Х) + \" [\" + Х + \"]\");"
                    "Х = ПолучитьПустоеЗначение(\"Дата\"); Сообщить(\"\" + ТипЗначения(Х) + \" [\" + Х + \"]\");"
                    "Х = GetEmptyValue(\"Date\"); Сообщить(ПустоеЗначение(Х));"),
              (std::vector<std::string>{"0", "0", "1 0", "2 []", "3 [  .  .  ]", "1"}));
    EXPECT_EQ(Run("Х = ПолучитьПустоеЗначение(\"Сетка\");").error_text(), "Неверное имя типа (Сетка)");
}

}  // namespace
