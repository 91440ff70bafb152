// The interpreter on its own texts: parsing and precedence, every statement, procedures and scopes,
// the built-ins, and errors with their positions; objects reached through the host's dispatch with
// the module loaded as the host loads it.
#include <string>
#include <vector>

#include "tests/script/script_fixture.h"
#include "tools/script/runner.h"

namespace {

using namespace script_test;

using ScriptLanguage = ScriptTest;

TEST_F(ScriptLanguage, OperatorsFollowTheHostsPrecedence) {
    EXPECT_EQ(Line("Сообщить(1 + 2 * 3 - 4 / 2);"), "5");
    EXPECT_EQ(Line("Сообщить(-2 * 3 + 7 % 4);"), "-3");
    EXPECT_EQ(Line("Сообщить((1 + 2) * 3);"), "9");
    EXPECT_EQ(Line("Сообщить(2 - 3 - 4);"), "-5");
    EXPECT_EQ(Line("Сообщить(НЕ 1 = 2 И 2 > 1 ИЛИ 0);"), "1");
    EXPECT_EQ(Line("Сообщить(НЕ (1 = 1) ИЛИ 1 = 1 И 0);"), "0");
    EXPECT_EQ(Line("Сообщить(Строка(1 < 2) + (2 <= 2) + (3 >= 4) + (1 <> 1) + (\"б\" > \"а\"));"), "11001");
    EXPECT_EQ(Line("Сообщить(?(1 > 2, \"да\", \"нет\"));"), "нет");
}

TEST_F(ScriptLanguage, TextJoinsAndTheLeftOperandDecidesTheType) {
    EXPECT_EQ(Line("Сообщить(\"а\" + 1 + 2);"), "а12");
    EXPECT_EQ(Line("Сообщить(1 + \"2\");"), "3");
    EXPECT_EQ(Line("Сообщить(\"Он сказал \"\"да\"\"\");"), "Он сказал \"да\"");
    EXPECT_EQ(Line("Сообщить(\"первая\n   |вторая\");"), "первая\nвторая");
}

TEST_F(ScriptLanguage, NumbersAreExactDecimals) {
    EXPECT_EQ(Line("Сообщить(0.1 + 0.2);"), "0.3");
    EXPECT_EQ(Line("Сообщить(1 / 4);"), "0.25");
    EXPECT_EQ(Line("Сообщить(1 / 3);"), "0.33333333333333333333333333333333333333");
    EXPECT_EQ(Line("Сообщить(9223372036854775807 + 1);"), "9223372036854775808");
    EXPECT_EQ(Line("Сообщить(123456789012 * 1000000000000);"), "123456789012000000000000");
    EXPECT_EQ(Line("Сообщить(7 % -2);"), "1");
    EXPECT_EQ(Line("Сообщить(7.5 % 2);"), "1.5");
}

TEST_F(ScriptLanguage, KeywordsAndNamesInAnyCaseAndEitherLanguage) {
    EXPECT_EQ(Line("перем ЗНАЧЕНИЕ; значение = 2; ЕСЛИ Значение = 2 then MESSAGE(\"да\"); endif;"), "да");
    EXPECT_EQ(Line("var x; X = 1; while x < 5 do x = x * 3; enddo; сообщить(x);"), "9");
}

TEST_F(ScriptLanguage, IfTakesTheFirstTrueBranch) {
    const std::string text =
        "Для Н = 1 По 4 Цикл Если Н = 1 Тогда Сообщить(\"один\"); ИначеЕсли Н < 3 Тогда Сообщить(\"два\");"
        " ИначеЕсли Н < 4 Тогда Сообщить(\"три\"); Иначе Сообщить(\"много\") КонецЕсли; КонецЦикла;";
    EXPECT_EQ(Run(text).lines, (std::vector<std::string>{"один", "два", "три", "много"}));
}

TEST_F(ScriptLanguage, LoopsBreakAndContinue) {
    const Outcome outcome = Run(
        "Н = 0; Пока 1 Цикл Н = Н + 1; Если Н % 2 = 0 Тогда Продолжить; КонецЕсли; Если Н > 6 Тогда Прервать; "
        "КонецЕсли; Сообщить(Н); КонецЦикла;"
        "Для К = 1 По 10 Цикл Если К = 3 Тогда Прервать; КонецЕсли; КонецЦикла; Сообщить(\"К=\" + К);"
        "Граница = 2; Для К = 1 По Граница Цикл Граница = 10; КонецЦикла; Сообщить(\"после: \" + К);"
        "Для К = 5 По 1 Цикл Сообщить(\"не выполняется\"); КонецЦикла;");
    EXPECT_FALSE(outcome.error) << outcome.error_text();
    EXPECT_EQ(outcome.lines, (std::vector<std::string>{"1", "3", "5", "К=3", "после: 3"}));
}

TEST_F(ScriptLanguage, ProceduresPassByReferenceUnlessVal) {
    const Outcome outcome = Run(
        "Процедура Удвоить(Х, Знач У) Х = Х * 2; У = У * 2; КонецПроцедуры\n"
        "А = 1; Б = 1; Удвоить(А, Б); Сообщить(\"\" + А + Б);"
        "Удвоить(А + 0, Б); Сообщить(\"\" + А + Б);");
    EXPECT_EQ(outcome.lines, (std::vector<std::string>{"21", "21"}));
}

TEST_F(ScriptLanguage, DefaultAndLeftOutArguments) {
    const Outcome outcome = Run(
        "Функция Ф(А, Б = 10, В = \"в\", Г = -1.5) Возврат \"\" + А + \"/\" + Б + \"/\" + В + \"/\" + Г; КонецФункции\n"
        "Сообщить(Ф(1)); Сообщить(Ф(1, , \"x\")); Сообщить(Ф(, 2)); Сообщить(ТипЗначенияСтр(Ф()));");
    EXPECT_EQ(outcome.lines, (std::vector<std::string>{"1/10/в/-1.5", "1/10/x/-1.5", "/2/в/-1.5", "Строка"}));
}

TEST_F(ScriptLanguage, RecursionAndEarlyReturn) {
    const Outcome outcome = Run(
        "Функция Фиб(Знач Н) Если Н < 2 Тогда Возврат Н; КонецЕсли; Возврат Фиб(Н - 1) + Фиб(Н - 2); КонецФункции\n"
        "Процедура Первые(Знач Н) Для К = 1 По 100 Цикл Если К > Н Тогда Возврат; КонецЕсли; Сообщить(К); "
        "КонецЦикла; КонецПроцедуры\n"
        "Функция Пусто() КонецФункции\n"
        "Сообщить(Фиб(15)); Первые(2); Сообщить(ПустоеЗначение(Пусто()));");
    EXPECT_EQ(outcome.lines, (std::vector<std::string>{"610", "1", "2", "1"}));
}

TEST_F(ScriptLanguage, ScopesKeepLocalsInTheirProcedure) {
    const Outcome outcome = Run(
        "Перем Общая;\n"
        "Процедура П() Общая = Общая + 1; Своя = 5; КонецПроцедуры\n"
        "Общая = 1; Своя = 1; П(); П(); Сообщить(\"\" + Общая + Своя);");
    EXPECT_EQ(outcome.lines, (std::vector<std::string>{"31"}));
}

TEST_F(ScriptLanguage, BuiltinsOnTexts) {
    EXPECT_EQ(Line("Сообщить(Строка(СтрДлина(\"Ёлка\")) + Лев(\"абвгд\", 2) + Прав(\"абвгд\", 2) + Сред(\"абвгд\", 2, 2)"
                   " + Сред(\"абвгд\", 4));"),
              "4абгдбвгд");
    EXPECT_EQ(Line("Сообщить(\"\" + Найти(\"молоко\", \"ло\") + Найти(\"молоко\", \"я\"));"), "30");
    EXPECT_EQ(Line("Сообщить(\"[\" + СокрЛП(\"  а б \") + \"]\" + ВРег(\"ёжик Abc\") + НРег(\"ЁЖИК aBC\"));"),
              "[а б]ЁЖИК ABCёжик abc");
    EXPECT_EQ(Line("Сообщить(Лев(\"аб\", 5) + Прав(\"аб\", -1) + Сред(\"аб\", 9));"), "аб");
}

TEST_F(ScriptLanguage, BuiltinsOnNumbersAndValues) {
    EXPECT_EQ(Line("Сообщить(Строка(Окр(2.5)) + \" \" + Окр(-2.5) + \" \" + Окр(2.5, 0, 0) + \" \" + Окр(1.2345, 2)"
                   " + \" \" + Окр(1250, -2));"),
              "3 -3 2 1.23 1300");
    EXPECT_EQ(Line("Сообщить(Строка(Цел(-7.9)) + \" \" + Цел(7.9) + \" \" + Макс(3, 9, 4) + \" \" + Мин(3, 9, -4));"),
              "-7 7 9 -4");
    EXPECT_EQ(Line("Сообщить(Число(\" 12.50руб\") + Число(\"нет\"));"), "12.5");
    EXPECT_EQ(Line("Перем П; Сообщить(Строка(ПустоеЗначение(П)) + ПустоеЗначение(0) + ПустоеЗначение(\"  \")"
                   " + ПустоеЗначение(\"а\") + ПустоеЗначение(1));"),
              "11100");
    EXPECT_EQ(Line("Перем П; Сообщить(ТипЗначенияСтр(1) + ТипЗначенияСтр(\"\") + ТипЗначенияСтр(П)"
                   " + ТипЗначенияСтр(СоздатьОбъект(\"OLEDBData\")));"),
              "ЧислоСтрокаНеопределенныйOLEDBData");
}

TEST_F(ScriptLanguage, MessageKeepsItsMarker) {
    Run("Сообщить(\"важно\", \"!\"); Message(\"обычно\");");
    ASSERT_EQ(GetBkEndUI()->Lines().size(), 2u);
    EXPECT_EQ(GetBkEndUI()->Lines()[0].marker, 7);
    EXPECT_EQ(GetBkEndUI()->Lines()[1].marker, 1);
}

using ScriptErrors = ScriptTest;

TEST_F(ScriptErrors, RuntimeErrorNamesItsLineAndStopsTheScript) {
    const Outcome outcome = Run("Сообщить(1);\n\nА = 1 / 0;\nСообщить(2);");
    ASSERT_TRUE(outcome.error);
    EXPECT_EQ(outcome.error->line, 3);
    EXPECT_EQ(outcome.error_text(), "Деление на ноль");
    EXPECT_EQ(outcome.error->text.english, "division by zero");
    EXPECT_EQ(outcome.lines, (std::vector<std::string>{"1"}));
}

TEST_F(ScriptErrors, ErrorInsideAProcedureNamesTheLineWhereItHappened) {
    const Outcome outcome = Run("Процедура П()\n  Сообщить(Лев(\"а\"));\nКонецПроцедуры\nП();");
    ASSERT_TRUE(outcome.error);
    EXPECT_EQ(outcome.error->line, 2);
    EXPECT_EQ(outcome.error_text(), "Недостаточно фактических параметров (Лев)");
}

TEST_F(ScriptErrors, WrongArgumentCountsOfBuiltinsAndProcedures) {
    EXPECT_EQ(Run("А = СтрДлина(\"а\", 1);").error_text(), "Слишком много фактических параметров (СтрДлина)");
    EXPECT_EQ(Run("А = Макс(1);").error_text(), "Недостаточно фактических параметров (Макс)");
    EXPECT_EQ(Run("Процедура П(А) КонецПроцедуры\nП(1, 2);").error_text(),
              "Слишком много фактических параметров (П)");
}

TEST_F(ScriptErrors, TryCatchesAndTheScriptGoesOn) {
    const Outcome outcome = Run(
        "Попытка А = 1; Б = А / 0; Сообщить(\"не дошло\"); Исключение Сообщить(ОписаниеОшибки()); КонецПопытки;"
        "Попытка Сообщить(\"без ошибки\"); Исключение Сообщить(\"не нужно\"); КонецПопытки; Сообщить(\"А=\" + А);");
    EXPECT_FALSE(outcome.error);
    EXPECT_EQ(outcome.lines, (std::vector<std::string>{"Деление на ноль", "без ошибки", "А=1"}));
}

TEST_F(ScriptErrors, ErrorInExceptBlockIsNotCaughtByTheSameTry) {
    const Outcome outcome = Run("Попытка А = 1 / 0; Исключение\nБ = Лев(); КонецПопытки;");
    ASSERT_TRUE(outcome.error);
    EXPECT_EQ(outcome.error->line, 2);
}

TEST_F(ScriptErrors, RunawayRecursionIsAnErrorNotACrash) {
    const Outcome outcome = Run("Процедура П() П(); КонецПроцедуры\nПопытка П(); Исключение Сообщить(ОписаниеОшибки());"
                                " КонецПопытки; П();");
    EXPECT_EQ(outcome.lines, (std::vector<std::string>{"Переполнение стека вызовов (П)"}));
    ASSERT_TRUE(outcome.error);
    EXPECT_EQ(outcome.error->line, 1);
}

TEST_F(ScriptErrors, SyntaxErrorsNameLineAndColumn) {
    SyntaxError e = SyntaxErrorOf("А = 1;\nЕсли А Тогда\n  Б = 2;\nКонецЦикла;");
    EXPECT_EQ(Russian(e), "Ожидается КонецЕсли/EndIf");
    EXPECT_EQ(e.line, 4);
    EXPECT_EQ(e.column, 1);
    e = SyntaxErrorOf("А = 1;\nСообщить(Б);");
    EXPECT_EQ(Russian(e), "Переменная не определена (Б)");
    EXPECT_EQ(e.line, 2);
    EXPECT_EQ(e.column, 10);
    e = SyntaxErrorOf("НетТакой(1);");
    EXPECT_EQ(Russian(e), "Процедура или функция с указанным именем не определена (НетТакой)");
    e = SyntaxErrorOf("Процедура П() КонецПроцедуры\nА = П();");
    EXPECT_EQ(Russian(e), "Процедура не может быть вызвана как функция (П)");
    EXPECT_EQ(e.column, 5);
    e = SyntaxErrorOf("Прервать;");
    EXPECT_EQ(Russian(e), "Оператор Прервать/Break вне цикла");
    e = SyntaxErrorOf("А = \"без конца\nБ = 1;");
    EXPECT_EQ(Russian(e), "Незавершенная строковая константа");
    EXPECT_EQ(e.column, 5);
    e = SyntaxErrorOf("А = 1 $ 2;");
    EXPECT_EQ(e.column, 7);
    e = SyntaxErrorOf("А = 1\nБ = 2;");
    EXPECT_EQ(Russian(e), "Ожидается ';'");
    EXPECT_EQ(e.line, 2);
    e = SyntaxErrorOf("Функция Ф() Возврат; КонецФункции");
    EXPECT_EQ(Russian(e), "Функция должна возвращать значение");
    e = SyntaxErrorOf("А = 1;\n  Б = \"日本\";");
    EXPECT_EQ(e.line, 2);
    EXPECT_EQ(e.column, 8);
}

TEST_F(ScriptErrors, SyntaxErrorRunsNothing) {
    GetBkEndUI()->Clear();
    const script::ExitStatus status =
        script::RunText("Сообщить(\"до\");\nЕсли 1 Тогда\n", "test.1s", script::RunOptions{});
    EXPECT_EQ(status, script::kSyntaxFailed);
    EXPECT_TRUE(GetBkEndUI()->Lines().empty());
}

TEST_F(ScriptErrors, RunTextReportsRuntimeFailureWithStatusOne) {
    EXPECT_EQ(script::RunText("А = 1 / 0;", "test.1s", script::RunOptions{}), script::kRuntimeFailed);
    EXPECT_EQ(script::RunText("А = 1;", "test.1s", script::RunOptions{}), script::kSucceeded);
}

using ScriptObjects = ScriptTest;

// Both roads of the host's run-time error (recorded and returned, or thrown) reach the script the same.
TEST_F(ScriptObjects, ModuleErrorIsCaughtWithItsTextByteForByteOnBothRoads) {
    for (const bool throws : {false, true}) {
        host_errors::SetRaiseThrows(throws);
        const Outcome outcome = Run(
            "П = СоздатьОбъект(\"Рядовид.Провайдер.OleDb.VFP.Статический\");"
            "Попытка П.ПолучитьДанные(); Исключение Сообщить(ОписаниеОшибки()); КонецПопытки;"
            "Попытка П.Поля().Получить(0); Исключение Сообщить(ОписаниеОшибки()); КонецПопытки;");
        EXPECT_FALSE(outcome.error) << outcome.error_text();
        EXPECT_EQ(outcome.lines, (std::vector<std::string>{
                                     "Не установлено подключение OLE DB (метод УстановитьПодключение/SetConnection)",
                                     "Неверный индекс поля"}))
            << "throwing road: " << throws;
        EXPECT_TRUE(host_errors::Raised().empty());
    }
}

TEST_F(ScriptObjects, UncaughtModuleErrorStopsTheScriptAtItsLine) {
    const Outcome outcome = Run("П = СоздатьОбъект(\"Rowlark.Provider.OleDb.VFP.Static\");\nП.GetData();\nСообщить(1);");
    ASSERT_TRUE(outcome.error);
    EXPECT_EQ(outcome.error->line, 2);
    EXPECT_TRUE(outcome.error->text.english.empty());  // the module's text has no English
    EXPECT_TRUE(outcome.lines.empty());
}

TEST_F(ScriptObjects, PropertiesAreReachedByEitherNameInAnyCase) {
    EXPECT_EQ(Line("П = СоздатьОбъект(\"Rowlark.Provider.OleDb.VFP.Dynamic\"); п.фильтрс = \"а\"; П.FILTERFROM = "
                   "П.FilterFrom + \"б\"; Сообщить(П.ФильтрС);"),
              "аб");
}

TEST_F(ScriptObjects, RefusedWriteLeavesTheValue) {
    const Outcome outcome = Run(
        "П = СоздатьОбъект(\"Сетка\");"
        "Попытка П.ВидимыхСтрок = 5; Исключение Сообщить(ОписаниеОшибки()); КонецПопытки;"
        "Попытка П.РазмерСтраницы = 0; Исключение Сообщить(ОписаниеОшибки()); КонецПопытки;"
        "Сообщить(\"\" + П.ВидимыхСтрок + \"/\" + П.РазмерСтраницы);");
    EXPECT_EQ(outcome.lines, (std::vector<std::string>{
                                 "Значение поля агрегатного объекта не может быть изменено (ВидимыхСтрок)",
                                 "Размер страницы должен быть числом от 1 до 1000", "0/10"}));
}

TEST_F(ScriptObjects, ObjectsCompareByIdentityOnly) {
    const Outcome outcome = Run(
        "А = СоздатьОбъект(\"OLEDBData\"); Б = СоздатьОбъект(\"OLEDBData\"); В = А;"
        "Сообщить(Строка(А = В) + (А = Б) + (А <> Б));"
        "Попытка Г = А + 1; Исключение Сообщить(ОписаниеОшибки()); КонецПопытки;");
    EXPECT_EQ(outcome.lines, (std::vector<std::string>{"101", "Недопустимая операция над объектом"}));
}

TEST_F(ScriptObjects, UnknownClassIsARuntimeError) {
    EXPECT_EQ(Run("А = CreateObject(\"НетТакого\");").error_text(), "Тип объекта не определен (НетТакого)");
}

}  // namespace
