// Value lists and tables that hold themselves or one another: reference counts alone never free
// them, so the end of a run sweeps up those no variable or outside object reaches. Under the leak
// checker (ASAN_OPTIONS=detect_leaks=1) each test also asks it whether anything was left behind.
#include <string>
#include <vector>

#include "tests/script/collection_test_support.h"
#include "tests/script/script_fixture.h"
#include "tools/script/bridge/value_holder.h"
#include "tools/script/objects/value_list.h"
#include "tools/script/objects/value_table.h"

#if defined(__SANITIZE_ADDRESS__)
#define ROWLARK_LEAK_CHECK 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ROWLARK_LEAK_CHECK 1
#endif
#endif
#ifdef ROWLARK_LEAK_CHECK
#include <sanitizer/lsan_interface.h>
#endif

namespace {

using namespace script_test;
using script::LiveValueHolderCount;

// Non-zero when the leak checker finds memory no pointer reaches; 0 without one.
int LeaksFound() {
#ifdef ROWLARK_LEAK_CHECK
    return __lsan_do_recoverable_leak_check();
#else
    return 0;
#endif
}

CValue Holding(CBLContext* object) {
    CValue value;
    value.AssignContext(object);
    return value;
}

class ReferenceCycles : public ScriptTest {
protected:
    // Runs a script to its end; afterwards no list or table it made may be left alive.
    void ExpectNothingLeftAfter(const std::string& utf8, const std::vector<std::string>& lines) {
        const int before = LiveValueHolderCount();
        const Outcome outcome = Run(utf8);
        EXPECT_FALSE(outcome.error) << outcome.error_text();
        EXPECT_EQ(outcome.lines, lines);
        EXPECT_EQ(LiveValueHolderCount(), before);
        EXPECT_EQ(LeaksFound(), 0);
    }
};

TEST_F(ReferenceCycles, ATableOrAListHoldingItselfIsFreedWhenTheRunEnds) {
    ExpectNothingLeftAfter(
        "Т = СоздатьОбъект(\"ТаблицаЗначений\"); Т.НоваяКолонка(\"А\"); Т.НоваяСтрока(); Т.А = Т;"
        "Т.НоваяСтрока(); Т.УстановитьЗначение(2, 1, Т);"
        "С = СоздатьОбъект(\"СписокЗначений\"); С.ДобавитьЗначение(С); С.ДобавитьЗначение(С, \"снова\");"
        "Сообщить(ТипЗначенияСтр(Т.ПолучитьЗначение(1, 1)) + \" \" + С.РазмерСписка());",
        {"ТаблицаЗначений 2"});
}

TEST_F(ReferenceCycles, CollectionsHoldingEachOtherAreFreedWhenTheRunEnds) {
    ExpectNothingLeftAfter(
        "А = СоздатьОбъект(\"СписокЗначений\"); Б = СоздатьОбъект(\"СписокЗначений\");"
        "А.ДобавитьЗначение(Б); Б.ДобавитьЗначение(А);"
        "Т = СоздатьОбъект(\"ТаблицаЗначений\"); Т.НоваяКолонка(\"Список\"); Т.НоваяСтрока();"
        "В = СоздатьОбъект(\"СписокЗначений\"); В.ДобавитьЗначение(Т); Т.Список = В;"
        "Сообщить(А.ПолучитьЗначение(1).ПолучитьЗначение(1).РазмерСписка());",
        {"1"});
}

// A procedure's variables go when it returns; the cycle it made lives until the run ends, then goes.
TEST_F(ReferenceCycles, ACycleMadeInAProcedureOrLeftByAnErrorIsFreedToo) {
    ExpectNothingLeftAfter(
        "Функция Круг() С = СоздатьОбъект(\"СписокЗначений\"); С.ДобавитьЗначение(С); Возврат С.РазмерСписка();"
        "КонецФункции\nДля Н = 1 По 3 Цикл Круг(); КонецЦикла; Сообщить(Круг());",
        {"1"});
    const int before = LiveValueHolderCount();
    const Outcome stopped = Run("С = СоздатьОбъект(\"СписокЗначений\"); С.ДобавитьЗначение(С); С.УдалитьЗначение(5);");
    EXPECT_EQ(stopped.error_text(), "Неверная позиция в списке значений (5)");
    EXPECT_EQ(LiveValueHolderCount(), before);
    EXPECT_EQ(LeaksFound(), 0);
}

// The sweep frees what nothing outside reaches, and nothing else: a cycle that C++ still holds by
// one of its members keeps every value, and goes once that hold is let go.
TEST_F(ReferenceCycles, TheSweepLeavesCyclesThatAreStillReachedAlone) {
    using collection_test::Number;
    auto* list = new script::ValueList();  // held here
    CValue table_value;
    ASSERT_TRUE(CBLContext::CreateByName("ValueTable", table_value));
    auto* table = dynamic_cast<script::ValueTable*>(table_value.GetContext());
    ASSERT_NE(table, nullptr);
    ASSERT_TRUE(table->AddColumn("Back"));
    table->AppendRow({Holding(list)});
    list->Append(table_value);
    list->Append(Number(7));
    table_value.Reset();  // the table is now reached only through the list
    const int before = LiveValueHolderCount();

    EXPECT_EQ(script::BreakUnreachableCycles(), 0);
    ASSERT_EQ(LiveValueHolderCount(), before);
    ASSERT_EQ(list->Size(), 2u);
    EXPECT_EQ(list->Items()[0].value.GetContext(), table);
    EXPECT_EQ(table->Rows().size(), 1u);

    list->DecrRef();  // only the cycle holds both now
    EXPECT_EQ(script::BreakUnreachableCycles(), 2);
    EXPECT_EQ(LiveValueHolderCount(), before - 2);
    EXPECT_EQ(LeaksFound(), 0);
}

}  // namespace
