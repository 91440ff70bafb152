// How much a value table or list may hold: a count a script gives (КоличествоСтрок, a list to load
// a column from) or a loop that keeps adding ends in the host's run-time error before memory runs
// out; Попытка catches it, the script goes on, the collection is as it was. The real limits are met
// only by counts refused before anything is made; narrower ones reach each limit with a few cells.
#include <string>
#include <vector>

#include "tests/script/script_fixture.h"
#include "tools/script/objects/collection_limits.h"

namespace {

using namespace script_test;
using script::CollectionLimits;
using script::ScopedCollectionLimits;

using ScriptCollectionLimits = ScriptTest;

// Makes Т, a table of two columns and two rows, and Показать(), which shows its size and cells.
const std::string kTable =
    "Перем Т;\n"
    "Процедура Показать() С = \"\" + Т.КоличествоСтрок() + \"x\" + Т.КоличествоКолонок() + \":\";"
    "  Для Н = 1 По Т.КоличествоСтрок() Цикл С = С + \" \" + Т.ПолучитьЗначение(Н, 1) + Т.ПолучитьЗначение(Н, 2);"
    "  КонецЦикла; Сообщить(С); КонецПроцедуры\n"
    "Т = СоздатьОбъект(\"ТаблицаЗначений\"); Т.НоваяКолонка(\"А\"); Т.НоваяКолонка(\"Б\");"
    "Т.НоваяСтрока(); Т.А = 1; Т.Б = \"а\"; Т.НоваяСтрока(); Т.А = 2; Т.Б = \"б\";\n";

std::string Caught(const std::string& statement) {
    return "Попытка " + statement + " Исключение Сообщить(ОписаниеОшибки()); КонецПопытки; Показать();\n";
}

TEST_F(ScriptCollectionLimits, ARowCountPastTheLimitIsCaughtAndTheTableStaysAsItWas) {
    const Outcome outcome = Run(kTable + Caught("Т.КоличествоСтрок(1000000000000);") +
                                Caught("Т.КоличествоСтрок(4294967298);") +  // 2 once cut to 32 bits
                                Caught("Т.КоличествоСтрок(1000000000000000000000000000000);") + Caught("Т.КоличествоСтрок(3);"));
    EXPECT_FALSE(outcome.error) << outcome.error_text();
    EXPECT_EQ(outcome.lines, (std::vector<std::string>{
                                 "Слишком много строк таблицы значений (1000000000000)", "2x2: 1а 2б",
                                 "Слишком много строк таблицы значений (4294967298)", "2x2: 1а 2б",
                                 "Слишком много строк таблицы значений (1000000000000000000000000000000)",
                                 "2x2: 1а 2б", "3x2: 1а 2б "}));
}

TEST_F(ScriptCollectionLimits, GrowingATablePastItsCellsOrColumnsIsCaughtAndChangesNothing) {
    const ScopedCollectionLimits limits(CollectionLimits{6, 3, 4});
    const Outcome outcome = Run(
        kTable + "Т.НоваяСтрока(); Т.А = 3;\n" + Caught("Т.НоваяСтрока();") + Caught("Т.НоваяСтрока(1);") +
        Caught("Т.НоваяКолонка(\"В\");") +
        "С = СоздатьОбъект(\"СписокЗначений\"); Для Н = 1 По 4 Цикл С.ДобавитьЗначение(Н); КонецЦикла;\n" +
        Caught("Т.ЗагрузитьКолонку(С, \"А\");") + "Т.КоличествоСтрок(1); Т.НоваяКолонка(\"В\");" +
        Caught("Т.НоваяКолонка(\"Г\");") + Caught("Т.КоличествоСтрок(3);"));
    EXPECT_FALSE(outcome.error) << outcome.error_text();
    EXPECT_EQ(outcome.lines, (std::vector<std::string>{
                                 "Слишком много строк таблицы значений (4)", "3x2: 1а 2б 3",
                                 "Слишком много строк таблицы значений (4)", "3x2: 1а 2б 3",
                                 "Слишком много колонок таблицы значений (3)", "3x2: 1а 2б 3",
                                 "Слишком много строк таблицы значений (4)", "3x2: 1а 2б 3",
                                 "Слишком много колонок таблицы значений (4)", "1x3: 1а",
                                 "Слишком много строк таблицы значений (3)", "1x3: 1а"}));
}

TEST_F(ScriptCollectionLimits, AFullListRefusesMoreAndACopyThatWouldNotFitChangesNothing) {
    const ScopedCollectionLimits limits(CollectionLimits{6, 3, 4});
    const Outcome outcome = Run(
        kTable + "С = СоздатьОбъект(\"СписокЗначений\"); Для Н = 1 По 4 Цикл С.ДобавитьЗначение(Н); КонецЦикла;"
                 "Попытка С.ДобавитьЗначение(0, \"\", 1); Исключение Сообщить(ОписаниеОшибки()); КонецПопытки;"
                 "Т2 = СоздатьОбъект(\"ТаблицаЗначений\"); Т2.НоваяКолонка(\"К\"); Т2.КоличествоСтрок(5);"
                 "Попытка Т2.ВыгрузитьКолонку(С, 1); Исключение Сообщить(ОписаниеОшибки()); КонецПопытки;"
                 "Сообщить(\"\" + С.РазмерСписка() + \": \" + С.ПолучитьЗначение(1) + С.ПолучитьЗначение(4));\n" +
        Caught("С.ВыгрузитьВТаблицу(Т);"));
    EXPECT_FALSE(outcome.error) << outcome.error_text();
    EXPECT_EQ(outcome.lines, (std::vector<std::string>{
                                 "Слишком много значений в списке значений (5)",
                                 "Слишком много значений в списке значений (5)", "4: 14",
                                 "Слишком много строк таблицы значений (4)", "2x2: 1а 2б"}));
}

}  // namespace
