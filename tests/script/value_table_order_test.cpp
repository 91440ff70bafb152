// Сортировать and Свернуть over several columns: rows that share the first column and differ in the
// second (or third) are ordered and grouped by the later ones, each column in its own direction;
// numbers compare as numbers; folded groups keep the order in which they first appear, each with
// the sums of its own rows only.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "tests/script/collection_test_support.h"
#include "tests/script/script_fixture.h"
#include "tools/script/objects/value_table.h"

namespace {

using namespace collection_test;
using script::ValueTable;

class ValueTableOrder : public testing::Test {
protected:
    void SetUp() override { host_errors::Clear(); }
    void TearDown() override { table->DecrRef(); }

    // Rows of (Store, Item, Qty, Sum); Qty a number column, the others untyped.
    void Fill(const std::vector<std::tuple<const char*, const char*, long long, long long>>& rows) {
        ASSERT_TRUE(table->AddColumn("Store"));
        ASSERT_TRUE(table->AddColumn("Item"));
        ASSERT_TRUE(table->AddColumn("Qty", Text("Число"), Number(10)));
        ASSERT_TRUE(table->AddColumn("Sum"));
        for (const auto& [store, item, qty, sum] : rows) table->AppendRow({Text(store), Text(item), Number(qty), Number(sum)});
    }

    // Every row as its cells joined by '/', rows joined by spaces.
    std::string Shown() const {
        std::string shown;
        for (const ValueTable::Row& row : table->Rows()) {
            shown += shown.empty() ? "" : " ";
            for (std::size_t c = 0; c < row.size(); ++c) shown += (c ? "/" : "") + Utf8(row[c]);
        }
        return shown;
    }

    // Sorts by keys (after the sorts before it: equal keys keep their order) and shows the rows.
    std::string SortedBy(const char* keys) {
        EXPECT_TRUE(table->Sort(keys)) << keys;
        return Shown();
    }

    ValueTable* table = new ValueTable();
};

// Sums are powers of two, so each folded sum tells exactly which rows went into it.
const std::vector<std::tuple<const char*, const char*, long long, long long>> kRows = {
    {"Юг", "болт", 9, 1},    {"Север", "болт", 10, 2}, {"Юг", "гайка", 10, 4}, {"Север", "болт", 9, 8},
    {"Юг", "болт", 10, 16},  {"Север", "гайка", 9, 32}, {"Юг", "гайка", 9, 64},
};

TEST_F(ValueTableOrder, SortByTwoColumnsOrdersRowsSharingTheFirstByTheSecondInEachDirection) {
    Fill(kRows);
    EXPECT_EQ(SortedBy("Store, Qty"),
              "Север/болт/9/8 Север/гайка/9/32 Север/болт/10/2 Юг/болт/9/1 Юг/гайка/9/64 Юг/гайка/10/4 Юг/болт/10/16");
    EXPECT_EQ(SortedBy("Store, Qty-"),
              "Север/болт/10/2 Север/болт/9/8 Север/гайка/9/32 Юг/гайка/10/4 Юг/болт/10/16 Юг/болт/9/1 Юг/гайка/9/64");
    EXPECT_EQ(SortedBy("Store-, Qty"),
              "Юг/болт/9/1 Юг/гайка/9/64 Юг/гайка/10/4 Юг/болт/10/16 Север/болт/9/8 Север/гайка/9/32 Север/болт/10/2");
}

TEST_F(ValueTableOrder, SortByThreeColumnsUsesTheThirdOnlyWhereTheFirstTwoAreEqual) {
    Fill(kRows);
    EXPECT_EQ(SortedBy("Store-, Item+, Sum-"),
              "Юг/болт/10/16 Юг/болт/9/1 Юг/гайка/9/64 Юг/гайка/10/4 Север/болт/9/8 Север/болт/10/2 Север/гайка/9/32");
    EXPECT_EQ(SortedBy("Item, Qty-, Store"),
              "Север/болт/10/2 Юг/болт/10/16 Север/болт/9/8 Юг/болт/9/1 Юг/гайка/10/4 Север/гайка/9/32 Юг/гайка/9/64");
}

TEST_F(ValueTableOrder, FoldByTwoColumnsKeepsRowsSharingTheFirstApartByTheSecond) {
    Fill(kRows);
    ASSERT_TRUE(table->Fold("Store, Item", "Sum, Qty"));
    ASSERT_EQ(table->Columns().size(), 4u);
    EXPECT_EQ(Shown(), "Юг/болт/19/17 Север/болт/19/10 Юг/гайка/19/68 Север/гайка/9/32");
    CValue total;
    ASSERT_TRUE(table->Total(Text("Sum"), total));
    EXPECT_EQ(Utf8(total), "127");
}

// The columns named for grouping, in any order, group alike; the result keeps the table's column order.
TEST_F(ValueTableOrder, FoldGroupsAlikeWhateverTheOrderOfItsGroupColumns) {
    Fill(kRows);
    ASSERT_TRUE(table->Fold("Qty, Store", "Sum"));
    EXPECT_EQ(table->Columns()[0].name + " " + table->Columns()[1].name + " " + table->Columns()[2].name,
              "Store Qty Sum");
    EXPECT_EQ(Shown(), "Юг/9/65 Север/10/2 Юг/10/20 Север/9/40");
}

// Numbers group by value (10 and 10.0 alike); a text that reads as the same number is another group.
TEST_F(ValueTableOrder, FoldOnASecondColumnOfNumbersAndTextsTellsTheKindsApart) {
    ASSERT_TRUE(table->AddColumn("G"));
    ASSERT_TRUE(table->AddColumn("H"));
    ASSERT_TRUE(table->AddColumn("S"));
    table->AppendRow({Text("a"), Number(10), Number(1)});
    table->AppendRow({Text("a"), Text("10"), Number(2)});
    table->AppendRow({Text("a"), Decimal("10.0"), Number(4)});
    table->AppendRow({Text("b"), Number(10), Number(8)});
    ASSERT_TRUE(table->Fold("G, H", "S"));
    EXPECT_EQ(Shown(), "a/10/5 a/10/2 b/10/8");
    EXPECT_EQ(table->Rows()[1][1].GetKind(), CValue::Kind::String);
}

using ScriptValueTableOrder = script_test::ScriptTest;

// The same through the script's own calls, with the current row's properties read after the fold.
TEST_F(ScriptValueTableOrder, FoldAndSortByTwoColumnsFromAScript) {
    const script_test::Outcome outcome = Run(
        "Перем Т;\nПроцедура Д(Склад, Товар, Сумма) Т.НоваяСтрока(); Т.Склад = Склад; Т.Товар = Товар;"
        "Т.Сумма = Сумма; КонецПроцедуры\n"
        "Т = СоздатьОбъект(\"ТаблицаЗначений\"); Т.НоваяКолонка(\"Склад\"); Т.НоваяКолонка(\"Товар\");"
        "Т.НоваяКолонка(\"Сумма\", \"Число\", 10, 2);\n"
        "Д(\"Юг\", \"болт\", 1); Д(\"Юг\", \"гайка\", 2); Д(\"Север\", \"болт\", 4); Д(\"Юг\", \"болт\", 8.5);\n"
        "Т.Свернуть(\"Склад, Товар\", \"Сумма\"); Т.Сортировать(\"Склад, Сумма-\");\n"
        "Т.ВыбратьСтроки(); Пока Т.ПолучитьСтроку() = 1 Цикл Сообщить(Т.Склад + \" \" + Т.Товар + \" \" + Т.Сумма); "
        "КонецЦикла;");
    EXPECT_FALSE(outcome.error) << outcome.error_text();
    EXPECT_EQ(outcome.lines, (std::vector<std::string>{"Север болт 4", "Юг болт 9.5", "Юг гайка 2"}));
}

}  // namespace
