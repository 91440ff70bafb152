// The value list as C++ and the host reach it: positions, stable sorts, moves, the value written
// back through an argument, and its errors (raised as the host raises them, leaving the list as it was).
#include <gtest/gtest.h>

#include "tests/script/collection_test_support.h"
#include "tools/script/objects/value_list.h"
#include "tools/script/objects/value_table.h"

namespace {

using namespace collection_test;
using script::ValueList;
using script::ValueTable;

// The list's values and presentations as "value/presentation" texts, in order.
std::vector<std::string> Shown(const ValueList& list) {
    std::vector<std::string> shown;
    for (const ValueList::Item& item : list.Items()) shown.push_back(Utf8(item.value) + "/" + cp1251::ToUtf8(item.presentation));
    return shown;
}

class ValueListTest : public testing::Test {
protected:
    void SetUp() override { host_errors::Clear(); }
    void TearDown() override {
        host_errors::SetRaiseThrows(false);
        host_errors::Clear();
        list->DecrRef();
    }
    ValueList* list = new ValueList();
};

TEST_F(ValueListTest, AddInsertsBeforeAPositionAndAppendsWithoutOne) {
    ASSERT_TRUE(list->Add(Number(1), "a"));
    ASSERT_TRUE(list->Add(Number(2), "b"));
    ASSERT_TRUE(list->Add(Number(0), "z", Number(1)));
    ASSERT_TRUE(list->Add(Number(3), "c", Number(4)));  // one past the end appends
    EXPECT_EQ(Shown(*list), (std::vector<std::string>{"0/z", "1/a", "2/b", "3/c"}));
}

TEST_F(ValueListTest, PositionOutOfRangeOrOfTheWrongKindRaisesAndChangesNothing) {
    list->Append(Number(1));
    EXPECT_FALSE(list->Add(Number(9), "", Number(3)));
    EXPECT_EQ(RaisedError(), "Неверная позиция в списке значений (3)");
    EXPECT_FALSE(list->Add(Number(9), "", Decimal("1.5")));
    EXPECT_EQ(RaisedError(), "Неверная позиция в списке значений (1.5)");
    EXPECT_FALSE(list->Add(Number(9), "", Text("1")));
    EXPECT_EQ(RaisedError(), "Неверный тип аргумента (ДобавитьЗначение)");
    std::vector<CValue> args{Number(0)};
    Call(*list, "УдалитьЗначение", args);
    EXPECT_EQ(RaisedError(), "Неверная позиция в списке значений (0)");
    EXPECT_EQ(list->Size(), 1u);
}

TEST_F(ValueListTest, UnderTheThrowingSwitchABadPositionLeavesTheListWhole) {
    list->Append(Number(1), "a");
    host_errors::SetRaiseThrows(true);
    std::vector<CValue> args{Number(2), Number(5)};
    EXPECT_THROW(Call(*list, "УстановитьЗначение", args), HostRuntimeError);
    EXPECT_EQ(Shown(*list), (std::vector<std::string>{"1/a"}));
}

TEST_F(ValueListTest, SortByValueKeepsTheOrderOfEqualValuesBothWays) {
    list->Append(Number(2), "first two");
    list->Append(Number(1), "one");
    list->Append(Number(2), "second two");
    list->Append(Decimal("2.0"), "third two");
    list->SortByValue(false);
    EXPECT_EQ(Shown(*list), (std::vector<std::string>{"1/one", "2/first two", "2/second two", "2/third two"}));
    list->SortByValue(true);
    EXPECT_EQ(Shown(*list), (std::vector<std::string>{"2/first two", "2/second two", "2/third two", "1/one"}));
}

TEST_F(ValueListTest, SortsKeepTheOrderOfEqualKeysOverManyItems) {
    for (int i = 0; i < 200; ++i) list->Append(Number(i % 4), std::to_string(1000 + i));
    list->SortByValue(true);
    for (std::size_t i = 1; i < list->Size(); ++i) {
        const ValueList::Item& a = list->Items()[i - 1];
        const ValueList::Item& b = list->Items()[i];
        ASSERT_TRUE(b.value.GetNumeric() < a.value.GetNumeric() ||
                    (a.value.GetNumeric() == b.value.GetNumeric() && a.presentation < b.presentation)) << i;
    }
    list->Clear();
    for (int i = 0; i < 200; ++i) list->Append(Number(i), i % 2 ? "odd" : "even");
    list->SortByPresentation(true);
    for (std::size_t i = 1; i < list->Size(); ++i) {
        const ValueList::Item& a = list->Items()[i - 1];
        const ValueList::Item& b = list->Items()[i];
        ASSERT_TRUE(a.presentation > b.presentation || a.value.GetNumeric() < b.value.GetNumeric()) << i;
    }
}

TEST_F(ValueListTest, SortByValueOrdersEmptyThenNumbersThenTextsByteWise) {
    list->Append(Text("б"));
    list->Append(Number(10));
    list->Append(Text("Б"));
    list->Append(CValue());
    list->Append(Number(9));
    list->Append(Text("10"));
    list->SortByValue(false);
    EXPECT_EQ(Shown(*list), (std::vector<std::string>{"/", "9/", "10/", "10/", "Б/", "б/"}));
    EXPECT_EQ(list->Items()[2].value.GetKind(), CValue::Kind::Number);
}

TEST_F(ValueListTest, SortByPresentationUsesTheValueTextWhereThereIsNone) {
    list->Append(Number(1), cp1251::FromUtf8("в"));
    list->Append(Text("б"));
    list->Append(Number(3), cp1251::FromUtf8("а"));
    list->SortByPresentation(false);
    EXPECT_EQ(Shown(*list), (std::vector<std::string>{"3/а", "б/", "1/в"}));
}

TEST_F(ValueListTest, DirectionIsPlusOrMinusAndAnythingElseIsRefused) {
    list->Append(Number(1));
    list->Append(Number(2));
    std::vector<CValue> args{Text("-")};
    Call(*list, "SortByValue", args);
    EXPECT_EQ(Utf8(list->Items()[0].value), "2");
    args = {Text("вниз")};
    Call(*list, "СортироватьПоЗначению", args);
    EXPECT_EQ(RaisedError(), "Неверное направление сортировки (вниз)");
    EXPECT_EQ(Utf8(list->Items()[0].value), "2");
}

TEST_F(ValueListTest, ShiftMovesAnItemBothWaysAndNotBeyondTheEnds) {
    for (int i = 1; i <= 4; ++i) list->Append(Number(i));
    ASSERT_TRUE(list->Shift(Number(1), Number(2)));
    EXPECT_EQ(Shown(*list), (std::vector<std::string>{"2/", "3/", "1/", "4/"}));
    ASSERT_TRUE(list->Shift(Number(4), Number(-3)));
    EXPECT_EQ(Shown(*list), (std::vector<std::string>{"4/", "2/", "3/", "1/"}));
    EXPECT_FALSE(list->Shift(Number(4), Number(1)));
    EXPECT_EQ(RaisedError(), "Сдвиг за границы списка значений");
    EXPECT_FALSE(list->Shift(Number(1), Number(-1)));
    EXPECT_EQ(RaisedError(), "Сдвиг за границы списка значений");
    EXPECT_EQ(Shown(*list), (std::vector<std::string>{"4/", "2/", "3/", "1/"}));
}

TEST_F(ValueListTest, FindAndBelongsCompareNumbersByValueTextsByBytesObjectsByIdentity) {
    CValue table;
    table.AssignContext(new ValueTable());
    table.GetContext()->DecrRef();  // the value holds the only reference
    list->Append(Decimal("1.50"));
    list->Append(Text("Да"));
    list->Append(table);
    EXPECT_EQ(list->Find(Decimal("1.5")), 1u);
    EXPECT_EQ(list->Find(Text("да")), 0u);
    EXPECT_EQ(list->Find(table), 3u);
    std::vector<CValue> args{Text("1.5")};
    EXPECT_EQ(Utf8(Call(*list, "Принадлежит", args)), "0");
}

TEST_F(ValueListTest, GetValueWritesThePresentationIntoItsSecondArgument) {
    list->Append(Number(7), cp1251::FromUtf8("семь"));
    std::vector<CValue> args{Number(1), CValue()};
    const CValue value = Call(*list, "ПолучитьЗначение", args);
    EXPECT_EQ(Utf8(value), "7");
    EXPECT_EQ(Utf8(args[1]), "семь");
}

TEST_F(ValueListTest, SetValueKeepsThePresentationWhenNoneIsGiven) {
    list->Append(Number(7), cp1251::FromUtf8("семь"));
    std::vector<CValue> args{Number(1), Number(8)};
    Call(*list, "УстановитьЗначение", args);
    EXPECT_EQ(Shown(*list), (std::vector<std::string>{"8/семь"}));
}

TEST_F(ValueListTest, ExportFillsATableWithValueAndPresentationColumns) {
    auto* table = new ValueTable();
    table->AddColumn("Old");
    table->NewRow();
    list->Append(Number(1), "one");
    list->Append(Text("x"));
    list->ExportTo(*table);
    ASSERT_EQ(table->Columns().size(), 2u);
    EXPECT_EQ(cp1251::ToUtf8(table->Columns()[1].name), "Представление");
    ASSERT_EQ(table->Rows().size(), 2u);
    EXPECT_EQ(Utf8(table->Rows()[0][0]) + Utf8(table->Rows()[0][1]) + Utf8(table->Rows()[1][0]), "1onex");
    table->DecrRef();
}

TEST_F(ValueListTest, MembersAreFoundByEitherNameInAnyLetterCase) {
    EXPECT_EQ(list->LookupMethod(cp1251::FromUtf8("размерсписка").c_str()), list->LookupMethod("GETLISTSIZE"));
    EXPECT_GE(list->LookupMethod("getlistsize"), 0);
    EXPECT_EQ(list->LookupMethod("Size"), -1);
    EXPECT_EQ(list->LookupProperty("Size"), -1);
    const int add = list->LookupMethod("AddValue");
    CValue out;
    EXPECT_EQ(list->MethodDefaultArg(add, 0, &out), 0);  // the value may not be left out
    EXPECT_EQ(list->MethodDefaultArg(add, 2, &out), 1);
}

}  // namespace
