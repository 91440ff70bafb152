// The value list and the value table as a script meets them: made by either name, told apart from
// nothing else (type name, any letter case), values written back into the script's variables through
// a method's arguments, the current row's columns as properties, errors a Попытка catches.
#include <string>

#include "tests/script/script_fixture.h"

namespace {

using namespace script_test;

using ScriptCollections = ScriptTest;

TEST_F(ScriptCollections, BothAreMadeByTheirRussianAndEnglishNames) {
    EXPECT_EQ(Line("Сообщить(ТипЗначенияСтр(СоздатьОбъект(\"списокзначений\")) + \" \" + "
                   "ТипЗначенияСтр(СоздатьОбъект(\"ValueTable\")));"),
              "СписокЗначений ТаблицаЗначений");
    EXPECT_EQ(Line("С = СоздатьОбъект(\"VALUELIST\"); С.addvalue(1); Сообщить(С.РАЗМЕРСПИСКА());"), "1");
}

TEST_F(ScriptCollections, AMethodWritesBackIntoTheVariablesPassedToIt) {
    EXPECT_EQ(Line("С = СоздатьОбъект(\"СписокЗначений\"); С.ДобавитьЗначение(5, \"пять\");"
                   "П = \"\"; З = С.ПолучитьЗначение(1, П); Сообщить(\"\" + З + \" \" + П);"),
              "5 пять");
    EXPECT_EQ(Line("Процедура Р(Т) Н = 0; К = \"\"; Т.НайтиЗначение(\"б\", Н, К); Сообщить(\"\" + Н + К); КонецПроцедуры "
                   "Т = СоздатьОбъект(\"ТаблицаЗначений\"); Т.НоваяКолонка(\"А\"); Т.НоваяСтрока(); Т.А = \"а\";"
                   "Т.НоваяСтрока(); Т.А = \"б\"; Р(Т);"),
              "2А");
}

TEST_F(ScriptCollections, AnExpressionPassedToAMethodIsNotAVariableToWriteInto) {
    EXPECT_EQ(Line("С = СоздатьОбъект(\"СписокЗначений\"); С.ДобавитьЗначение(5, \"пять\");"
                   "П = \"было\"; С.ПолучитьЗначение(1, П + \"\"); Сообщить(П);"),
              "было");
}

TEST_F(ScriptCollections, TheCurrentRowsColumnsAreReadAndWrittenAsProperties) {
    const Outcome outcome = Run(
        "Т = СоздатьОбъект(\"ТаблицаЗначений\"); Т.НоваяКолонка(\"Цена\", \"Число\", 10, 2); Т.НоваяКолонка(\"Кол\");"
        "Для Н = 1 По 3 Цикл Т.НоваяСтрока(); Т.Цена = Н / 3; Т.кол = Н; КонецЦикла;"
        "Т.ВыбратьСтроки(); Пока Т.ПолучитьСтроку() = 1 Цикл Т.Цена = Т.Цена * 2; Сообщить(Т.Цена); КонецЦикла;"
        "Сообщить(\"\" + Т.Итог(\"Цена\") + \" \" + Т.ТекущаяСтрока());");
    EXPECT_FALSE(outcome.error) << outcome.error_text();
    EXPECT_EQ(outcome.lines, (std::vector<std::string>{"0.66", "1.34", "2", "4 0"}));
}

// Dates are the language's own values (objects inside): they sort, group and are found by their day.
TEST_F(ScriptCollections, DatesSortFoldAndAreFoundByTheirDayNotTheirIdentity) {
    const Outcome outcome = Run(
        "Т = СоздатьОбъект(\"ТаблицаЗначений\"); Т.НоваяКолонка(\"Д\", \"Дата\"); Т.НоваяКолонка(\"С\", \"Число\");"
        "Т.НоваяСтрока(); Т.Д = Дата(2024, 3, 1); Т.С = 1;"
        "Т.НоваяСтрока(); Т.Д = Дата(2023, 12, 31); Т.С = 2;"
        "Т.НоваяСтрока(); Т.Д = Дата(2024, 3, 1); Т.С = 4;"
        "Т.НоваяСтрока(); Т.Д = \"не дата\"; Т.С = 8;"
        "Т.Сортировать(\"Д-\"); Сообщить(\"\" + Т.ПолучитьЗначение(1, \"С\") + Т.ПолучитьЗначение(2, \"С\") +"
        "Т.ПолучитьЗначение(3, \"С\") + Т.ПолучитьЗначение(4, \"С\"));"
        "Н = 0; Сообщить(\"\" + Т.НайтиЗначение(Дата(2023, 12, 31), Н, \"Д\") + Н);"
        "Т.Свернуть(\"Д\", \"С\"); Сообщить(\"\" + Т.КоличествоСтрок() + \" \" + Т.ПолучитьЗначение(1, \"С\"));"
        "С = СоздатьОбъект(\"СписокЗначений\"); С.ДобавитьЗначение(Дата(2024, 3, 1));"
        "Сообщить(С.НайтиЗначение(Дата(2024, 3, 1)));");
    EXPECT_FALSE(outcome.error) << outcome.error_text();
    EXPECT_EQ(outcome.lines, (std::vector<std::string>{"1428", "13", "3 5", "1"}));
}

TEST_F(ScriptCollections, ErrorsAreTheHostsRunTimeErrorsThatПопыткаCatches) {
    EXPECT_EQ(Line("Т = СоздатьОбъект(\"ТаблицаЗначений\"); Т.НоваяКолонка(\"А\");"
                   "Попытка Сообщить(Т.А); Исключение Сообщить(ОписаниеОшибки()); КонецПопытки;"),
              "Нет текущей строки таблицы значений");
    const Outcome outcome = Run("С = СоздатьОбъект(\"СписокЗначений\"); С.УдалитьЗначение(1);");
    EXPECT_EQ(outcome.error_text(), "Неверная позиция в списке значений (1)");
    const Outcome unknown = Run("Т = СоздатьОбъект(\"ТаблицаЗначений\"); Т.НоваяСтрока(); Т.Цена = 1;");
    EXPECT_EQ(unknown.error_text(), "Поле агрегатного объекта не обнаружено (Цена)");
}

}  // namespace
