// The value table as C++ and the host reach it: typed columns, the current row's cells as
// properties, stable sorts on several columns, folds (empty groups among them), totals, columns to and
// from a value list, and errors raised as the host raises them with the table left as it was.
#include <gtest/gtest.h>

#include "tests/script/collection_test_support.h"
#include "tools/script/objects/value_list.h"
#include "tools/script/objects/value_table.h"

namespace {

using namespace collection_test;
using script::ValueList;
using script::ValueTable;

class ValueTableTest : public testing::Test {
protected:
    void SetUp() override { host_errors::Clear(); }
    void TearDown() override {
        host_errors::SetRaiseThrows(false);
        host_errors::Clear();
        table->DecrRef();
    }

    // Rows of (name, group, amount) in an untyped, a text and a number column.
    void Fill(const std::vector<std::tuple<const char*, const char*, long long>>& rows) {
        ASSERT_TRUE(table->AddColumn("Name"));
        ASSERT_TRUE(table->AddColumn("Grp", Text("Строка")));
        ASSERT_TRUE(table->AddColumn("Amount", Text("Число"), Number(10), Number(2)));
        for (const auto& [name, group, amount] : rows) table->AppendRow({Text(name), Text(group), Number(amount)});
    }

    // One column of every row, joined by spaces.
    std::string Column(std::size_t column) const {
        std::string joined;
        for (const ValueTable::Row& row : table->Rows()) joined += (joined.empty() ? "" : " ") + Utf8(row[column]);
        return joined;
    }

    int Property(const char* utf8) { return table->LookupProperty(cp1251::FromUtf8(utf8).c_str()); }

    ValueTable* table = new ValueTable();
};

TEST_F(ValueTableTest, NewColumnRefusesBadNamesDuplicatesTypesAndSizesAndAddsNothing) {
    ASSERT_TRUE(table->AddColumn(cp1251::FromUtf8("Цена")));
    EXPECT_FALSE(table->AddColumn(cp1251::FromUtf8("цЕНА")));
    EXPECT_EQ(RaisedError(), "Колонка с таким именем уже есть (цЕНА)");
    EXPECT_FALSE(table->AddColumn("1st"));
    EXPECT_EQ(RaisedError(), "Неверное имя колонки (1st)");
    EXPECT_FALSE(table->AddColumn("A B"));
    EXPECT_EQ(RaisedError(), "Неверное имя колонки (A B)");
    EXPECT_FALSE(table->AddColumn("Kind", Text("Справочник")));
    EXPECT_EQ(RaisedError(), "Неверный тип колонки (Справочник)");
    EXPECT_FALSE(table->AddColumn("Sum", Text("Number"), Number(-1)));
    EXPECT_EQ(RaisedError(), "Неверный тип аргумента (НоваяКолонка)");
    EXPECT_EQ(table->Columns().size(), 1u);
}

TEST_F(ValueTableTest, TypedColumnsRoundNumbersToTheirPrecisionAndCutTexts) {
    ASSERT_TRUE(table->AddColumn("Price", Text("Число"), Number(10), Number(2)));
    ASSERT_TRUE(table->AddColumn("Code", Text("String"), Number(3)));
    ASSERT_TRUE(table->AddColumn("Any"));
    ASSERT_TRUE(table->NewRow());
    EXPECT_EQ(Utf8(table->Rows()[0][0]) + "|" + Utf8(table->Rows()[0][1]) + "|", "0||");
    EXPECT_EQ(table->Rows()[0][2].GetKind(), CValue::Kind::Empty);
    table->WriteProperty(0, Text("12.345abc"));
    table->WriteProperty(1, Text("АБВГД"));
    table->WriteProperty(2, Text("12.345"));
    EXPECT_EQ(Utf8(table->Rows()[0][0]) + "|" + Utf8(table->Rows()[0][1]) + "|" + Utf8(table->Rows()[0][2]),
              "12.35|АБВ|12.345");
    EXPECT_EQ(table->Rows()[0][0].GetKind(), CValue::Kind::Number);
}

TEST_F(ValueTableTest, TheCurrentRowsCellsAreTheTablesPropertiesByColumnName) {
    Fill({{"a", "x", 1}, {"b", "y", 2}});
    const int amount = Property("amount");
    ASSERT_EQ(amount, 2);
    EXPECT_EQ(Property("Нет"), -1);
    CValue out;
    EXPECT_EQ(table->ReadProperty(amount, out), 1);  // AppendRow made the last row current
    EXPECT_EQ(Utf8(out), "2");
    std::vector<CValue> none;
    EXPECT_EQ(Utf8(Call(*table, "ВыбратьСтроки", none)), "1");
    EXPECT_EQ(table->ReadProperty(amount, out), 1);
    EXPECT_EQ(RaisedError(), "Нет текущей строки таблицы значений");
    std::string seen;
    while (Utf8(Call(*table, "ПолучитьСтроку", none)) == "1") {
        table->WriteProperty(amount, Number(10));
        table->ReadProperty(0, out);
        seen += Utf8(out);
    }
    EXPECT_EQ(seen, "ab");
    EXPECT_EQ(Column(2), "10 10");
    EXPECT_EQ(table->WriteProperty(amount, Number(5)), 1);  // past the last row: none is current
    EXPECT_EQ(RaisedError(), "Нет текущей строки таблицы значений");
}

TEST_F(ValueTableTest, DeletingTheCurrentRowWhileSelectingGoesOnWithTheNextRow) {
    Fill({{"a", "", 1}, {"b", "", 2}, {"c", "", 3}, {"d", "", 4}});
    std::vector<CValue> none;
    Call(*table, "ВыбратьСтроки", none);
    std::string kept;
    while (Utf8(Call(*table, "GetLine", none)) == "1") {
        CValue amount;
        table->ReadProperty(2, amount);
        if (Utf8(amount) == "2" || Utf8(amount) == "3")
            Call(*table, "УдалитьСтроку", none);
        else
            kept += Utf8(amount);
    }
    EXPECT_EQ(kept, "14");
    EXPECT_EQ(Column(0), "a d");
}

TEST_F(ValueTableTest, SortIsStableOnEqualKeysAndTakesADirectionPerColumn) {
    Fill({{"p", "B", 2}, {"q", "A", 2}, {"r", "B", 1}, {"s", "A", 2}, {"t", "B", 2}});
    ASSERT_TRUE(table->Sort("Grp-, Amount"));
    EXPECT_EQ(Column(0), "r p t q s");
    ASSERT_TRUE(table->Sort(" amount + "));
    EXPECT_EQ(Column(0), "r p t q s");
    ASSERT_TRUE(table->Sort("Amount-"));
    EXPECT_EQ(Column(0), "p t q s r");
}

// Enough rows that an unstable sort would reorder equal keys.
TEST_F(ValueTableTest, SortKeepsTheOrderOfEqualKeysOverManyRows) {
    ASSERT_TRUE(table->AddColumn("Key"));
    ASSERT_TRUE(table->AddColumn("Seq"));
    for (long long i = 0; i < 200; ++i) table->AppendRow({Number((i * 7) % 3), Number(i)});
    ASSERT_TRUE(table->Sort("Key-"));
    for (std::size_t i = 1; i < table->Rows().size(); ++i) {
        const ValueTable::Row& a = table->Rows()[i - 1];
        const ValueTable::Row& b = table->Rows()[i];
        ASSERT_TRUE(b[0].GetNumeric() < a[0].GetNumeric() ||
                    (a[0].GetNumeric() == b[0].GetNumeric() && a[1].GetNumeric() < b[1].GetNumeric()))
            << "row " << i;
    }
}

TEST_F(ValueTableTest, SortByAnUnknownColumnRaisesAndKeepsTheOrder) {
    Fill({{"b", "", 2}, {"a", "", 1}});
    EXPECT_FALSE(table->Sort("Amount, Price-"));
    EXPECT_EQ(RaisedError(), "Колонка таблицы значений не найдена (Price)");
    EXPECT_FALSE(table->Sort(""));
    EXPECT_EQ(RaisedError(), "Колонка таблицы значений не найдена ()");
    EXPECT_EQ(Column(0), "b a");
}

TEST_F(ValueTableTest, FoldAddsUpEachGroupInTheOrderGroupsFirstAppearAndDropsOtherColumns) {
    Fill({{"p", "B", 2}, {"q", "A", 5}, {"r", "B", 1}, {"s", "", 4}, {"t", "A", 7}, {"u", "", 1}});
    ASSERT_TRUE(table->Fold("Grp", "Amount"));
    ASSERT_EQ(table->Columns().size(), 2u);
    EXPECT_EQ(cp1251::ToUtf8(table->Columns()[0].name) + " " + table->Columns()[1].name, "Grp Amount");
    EXPECT_EQ(Column(0), "B A ");  // the empty group is a group of its own
    EXPECT_EQ(table->Rows().size(), 3u);
    EXPECT_EQ(Column(1), "3 12 5");
    EXPECT_EQ(Property("Name"), -1);
}

TEST_F(ValueTableTest, FoldWithoutGroupsGivesOneRowOfTotalsAndAnEmptyTableStaysEmpty) {
    Fill({{"p", "B", 2}, {"q", "A", 5}});
    ASSERT_TRUE(table->Fold("", "Amount"));
    EXPECT_EQ(Column(0), "7");
    ASSERT_TRUE(table->Fold(" ", ""));
    EXPECT_EQ(table->Columns().size(), 0u);
    EXPECT_EQ(table->Rows().size(), 1u);
    auto* empty = new ValueTable();
    empty->AddColumn("G");
    empty->AddColumn("S");
    ASSERT_TRUE(empty->Fold("G", "S"));
    EXPECT_EQ(empty->Rows().size(), 0u);
    empty->DecrRef();
}

TEST_F(ValueTableTest, FoldGroupsEmptyValuesTogetherApartFromEmptyTexts) {
    ASSERT_TRUE(table->AddColumn("G"));
    ASSERT_TRUE(table->AddColumn("S"));
    table->AppendRow({CValue(), Number(1)});
    table->AppendRow({Text(""), Number(2)});
    table->AppendRow({CValue(), Number(4)});
    table->AppendRow({Number(0), Text("8")});
    ASSERT_TRUE(table->Fold("G", "S"));
    EXPECT_EQ(Column(1), "5 2 8");
}

TEST_F(ValueTableTest, FoldBeyondTheNumbersRangeRaisesAndLeavesTheTableAsItWas) {
    Fill({{"p", "A", 1}, {"q", "A", 2}});
    ASSERT_TRUE(table->SetValue(Number(1), Text("Amount"), Decimal("9e399")));
    ASSERT_TRUE(table->SetValue(Number(2), Number(3), Decimal("9e399")));
    EXPECT_FALSE(table->Fold("Grp", "Amount"));
    EXPECT_EQ(RaisedError(), "Переполнение числа");
    EXPECT_EQ(table->Columns().size(), 3u);
    EXPECT_EQ(Column(0), "p q");
    CValue total;
    EXPECT_FALSE(table->Total(Text("Amount"), total));
    EXPECT_EQ(RaisedError(), "Переполнение числа");
}

TEST_F(ValueTableTest, TotalAddsDecimalsExactlyAndReadsTextsByTheirNumber) {
    ASSERT_TRUE(table->AddColumn("V"));
    table->AppendRow({Decimal("0.1")});
    table->AppendRow({Decimal("0.2")});
    table->AppendRow({Text("3 шт")});
    table->AppendRow({CValue()});
    CValue total;
    ASSERT_TRUE(table->Total(Number(1), total));
    EXPECT_EQ(Utf8(total), "3.3");
}

TEST_F(ValueTableTest, RowsAndColumnsCountFromOneAndOthersRaiseTheHostsErrors) {
    Fill({{"a", "", 1}});
    CValue out;
    EXPECT_TRUE(table->GetValue(Number(1), Number(1), out));
    EXPECT_EQ(Utf8(out), "a");
    EXPECT_FALSE(table->GetValue(Number(2), Number(1), out));
    EXPECT_EQ(RaisedError(), "Неверный номер строки таблицы значений (2)");
    EXPECT_FALSE(table->GetValue(Number(1), Number(4), out));
    EXPECT_EQ(RaisedError(), "Неверный номер колонки таблицы значений (4)");
    EXPECT_FALSE(table->SetValue(Number(1), Text("Цена"), Number(1)));
    EXPECT_EQ(RaisedError(), "Колонка таблицы значений не найдена (Цена)");
    EXPECT_FALSE(table->SetValue(Text("1"), Number(1), Number(1)));
    EXPECT_EQ(RaisedError(), "Неверный тип аргумента (УстановитьЗначение)");
    EXPECT_FALSE(table->DeleteRow(Number(0)));
    EXPECT_EQ(RaisedError(), "Неверный номер строки таблицы значений (0)");
    EXPECT_EQ(Column(0), "a");
}

TEST_F(ValueTableTest, UnderTheThrowingSwitchAnErrorLeavesTheTableWhole) {
    Fill({{"b", "", 2}, {"a", "", 1}});
    host_errors::SetRaiseThrows(true);
    std::vector<CValue> args{Text("Amount, Нет")};
    EXPECT_THROW(Call(*table, "Сортировать", args), HostRuntimeError);
    args = {Text("Grp"), Text("Нет")};
    EXPECT_THROW(Call(*table, "Свернуть", args), HostRuntimeError);
    EXPECT_EQ(Column(0), "b a");
    EXPECT_EQ(table->Columns().size(), 3u);
}

TEST_F(ValueTableTest, ColumnsGoToAValueListAndComeBackAddingRowsWhereThereAreFewer) {
    Fill({{"a", "", 1}, {"b", "", 2}});
    auto* list = new ValueList();
    ASSERT_TRUE(table->ExportColumn(*list, Text("Name")));
    ASSERT_EQ(list->Size(), 2u);
    list->Append(Text("c"));
    list->Append(Text("7.5"));
    ASSERT_TRUE(table->ImportColumn(*list, Text("Amount")));
    EXPECT_EQ(Column(2), "0 0 0 7.5");  // texts in a number column read as numbers
    EXPECT_EQ(Column(0), "a b  ");
    std::vector<CValue> args{Text("not a list"), Number(1)};
    Call(*table, "ВыгрузитьКолонку", args);
    EXPECT_EQ(RaisedError(), "Неверный тип аргумента (ВыгрузитьКолонку)");
    list->DecrRef();
}

TEST_F(ValueTableTest, FillPutsAValueIntoOneColumnOrIntoEveryColumn) {
    Fill({{"a", "x", 1}, {"b", "y", 2}});
    ASSERT_TRUE(table->Fill(Text("5"), Text("Amount")));
    EXPECT_EQ(Column(2) + "|" + Column(0), "5 5|a b");
    ASSERT_TRUE(table->Fill(Text("z"), CValue()));
    EXPECT_EQ(Column(0) + "|" + Column(1) + "|" + Column(2), "z z|z z|0 0");
}

TEST_F(ValueTableTest, FindValueGivesTheRowAndTheColumnBackThroughItsArguments) {
    Fill({{"a", "x", 1}, {"b", "y", 2}});
    std::vector<CValue> args{Number(2), CValue(), CValue()};
    EXPECT_EQ(Utf8(Call(*table, "НайтиЗначение", args)), "1");
    EXPECT_EQ(Utf8(args[1]) + " " + Utf8(args[2]), "2 Amount");
    args = {Text("y"), CValue(), Text("Name")};
    EXPECT_EQ(Utf8(Call(*table, "FindValue", args)), "0");
}

TEST_F(ValueTableTest, RowCountWithANumberGrowsOrCutsTheTable) {
    Fill({{"a", "", 1}});
    std::vector<CValue> args{Number(3)};
    EXPECT_EQ(Utf8(Call(*table, "КоличествоСтрок", args)), "1");
    EXPECT_EQ(Column(2), "1 0 0");
    args = {Number(1)};
    Call(*table, "КоличествоСтрок", args);
    EXPECT_EQ(Column(0), "a");
}

}  // namespace
