// The grid's view of the dynamic provider: runs of rows in both directions, ends of the range,
// comparing rows and refreshing a row in place.

#include "dynamic_fixture.h"

namespace dynamic_test {
namespace {

using test_support::RaisedErrors;
using Keys = std::vector<std::string>;

class DynamicGrid : public DynamicTest {
protected:
    void SetUp() override {
        DynamicTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        Configure();
    }
};

TEST_F(DynamicGrid, NothingHappensBeforeGetData) {
    provider_->SetDebugMode(true);
    provider_->PrepareRows(nullptr, 5, 0);
    EXPECT_TRUE(test_support::MessageLines().empty()) << "no statement may run";
    EXPECT_EQ(Next(), nullptr);
    CDynamicDataRow row("C01", "10", OleDb::CResultDirectAccessProxy(), provider_->GetFieldSet());
    EXPECT_EQ(provider_->GetV7Row(&row), nullptr);
}

TEST_F(DynamicGrid, GetDataServesItsOneRowThenNothing) {
    provider_->GetData();
    RowPtr row = Next();
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(Utf(Dyn(row).GetKeyText()), "10");
    EXPECT_EQ(row->GetRowId(), 0);
    EXPECT_EQ(row->GetFieldCount(), 3);
    EXPECT_EQ(Next(), nullptr);
    EXPECT_EQ(Next(), nullptr);
}

TEST_F(DynamicGrid, ScrollsForwardAndBackFromARow) {
    provider_->GetData();
    RowPtr seven = RowOf("7");
    ASSERT_NE(seven, nullptr);
    provider_->PrepareRows(seven.get(), 2, 0);
    EXPECT_EQ(Drain(), (Keys{"6", "5"}));
    provider_->PrepareRows(seven.get(), -2, 0);
    EXPECT_EQ(Drain(), (Keys{"8", "9"})) << "backwards the nearest row comes first";
    provider_->PrepareRows(nullptr, -3, 0);
    EXPECT_EQ(Drain(), (Keys{"1", "2", "3"})) << "without a start row, backwards starts at the last row";
}

TEST_F(DynamicGrid, EndsOfTheRangeGiveNoRows) {
    provider_->GetData();
    RowPtr first = Next();
    RowPtr last = RowOf("1");
    ASSERT_NE(first, nullptr);
    ASSERT_NE(last, nullptr);
    provider_->PrepareRows(first.get(), -5, 0);
    EXPECT_EQ(Next(), nullptr);
    provider_->PrepareRows(last.get(), 5, 0);
    EXPECT_EQ(Next(), nullptr);
    EXPECT_TRUE(RaisedErrors().empty());
}

TEST_F(DynamicGrid, TwentyAskedWithFiveLeftGivesFive) {
    provider_->GetData();
    RowPtr six = RowOf("6");
    ASSERT_NE(six, nullptr);
    provider_->PrepareRows(six.get(), 20, 0);
    EXPECT_EQ(Drain(), (Keys{"5", "4", "3", "2", "1"}));
}

TEST_F(DynamicGrid, NewRequestDropsTheRestOfTheWindow) {
    provider_->GetData();
    provider_->PrepareRows(nullptr, 5, 0);
    RowPtr first = Next();
    provider_->PrepareRows(first.get(), 1, 0);
    EXPECT_EQ(Drain(), Keys{"9"});
}

TEST_F(DynamicGrid, FilterBoundsLimitTheRange) {
    provider_->SetFilterFrom("C03");
    provider_->SetFilterTo("C05");
    provider_->GetData();
    provider_->PrepareRows(nullptr, 10, 0);
    EXPECT_EQ(Drain(), (Keys{"8", "7", "6"}));
}

TEST_F(DynamicGrid, RowsOfTheSameKeyAreTheSameRowAcrossLoads) {
    provider_->GetData();
    RowPtr a = RowOf("4");
    RowPtr b = RowOf("4");
    RowPtr c = RowOf("5");
    ASSERT_TRUE(a && b && c);
    EXPECT_NE(a.get(), b.get());
    EXPECT_TRUE(provider_->IsSameRow(a.get(), b.get()));
    EXPECT_FALSE(provider_->IsSameRow(a.get(), c.get()));
    EXPECT_FALSE(provider_->IsSameRow(a.get(), nullptr));
}

TEST_F(DynamicGrid, RefreshRebuildsTheRowAtItsAddress) {
    provider_->GetData();
    RowPtr row = RowOf("5");
    ASSERT_NE(row, nullptr);
    const ::CDataRow* address = row.get();
    Exec("UPDATE items SET name = 'Обновлён' WHERE id = 5");
    EXPECT_TRUE(provider_->RefreshRow(row.get()));
    EXPECT_EQ(row.get(), address);
    EXPECT_EQ(Cell(*row, 2), "Обновлён");
    EXPECT_EQ(Utf(Dyn(row).GetKeyText()), "5");
    CV7DataRow* v7 = provider_->GetV7Row(row.get());
    ASSERT_NE(v7, nullptr);
    EXPECT_EQ(Utf(v7->GetValueAt(2).GetString().c_str()), "Обновлён");
}

TEST_F(DynamicGrid, RefreshTakesTheNextRowWhenItsRecordLeftTheRange) {
    provider_->GetData();
    RowPtr row = RowOf("5");
    Exec("DELETE FROM items WHERE id = 5");
    EXPECT_TRUE(provider_->RefreshRow(row.get()));
    EXPECT_EQ(Utf(Dyn(row).GetKeyText()), "4");
    EXPECT_EQ(Cell(*row, 2), "Товар 4");
}

TEST_F(DynamicGrid, RefreshWithNothingLeftAnswersFalseAndKeepsTheRow) {
    provider_->GetData();
    RowPtr row = RowOf("1");
    Exec("DELETE FROM items WHERE id = 1");
    EXPECT_FALSE(provider_->RefreshRow(row.get()));
    EXPECT_EQ(Utf(Dyn(row).GetKeyText()), "1");
    EXPECT_EQ(Cell(*row, 2), "Товар 1");
    EXPECT_FALSE(provider_->RefreshRow(nullptr));
}

TEST_F(DynamicGrid, RefreshOfARowWhoseRecordVanishedFromTheRowQueryKeepsIt) {
    provider_->GetData();
    RowPtr row = RowOf("3");
    provider_->SetQueryText(Cp("SELECT id, code, name FROM items WHERE id IN (%СписокИД%) AND id <> 3"));
    EXPECT_FALSE(provider_->RefreshRow(row.get()));
    EXPECT_EQ(Cell(*row, 2), "Товар 3");
}

TEST_F(DynamicGrid, ForeignRowsAreNeitherRebuiltNorAnswered) {
    provider_->GetData();
    provider_->PrepareRows(nullptr, 1, 0);
    OleDb::GridProvider::CDataRow plain(0, OleDb::CResultDirectAccessProxy(), provider_->GetFieldSet());
    EXPECT_FALSE(provider_->RefreshRow(&plain));
    EXPECT_EQ(provider_->GetV7Row(&plain), nullptr);
    EXPECT_EQ(provider_->GetV7Row(nullptr), nullptr);
}

TEST_F(DynamicGrid, CountAndKeyLookupAreNotOffered) {
    provider_->GetData();
    int count = -7;
    EXPECT_FALSE(provider_->GetRowCount(count));
    EXPECT_EQ(count, -7);
    CValue key;
    key = 5L;
    EXPECT_EQ(provider_->FindRowByKey(key), nullptr);
    EXPECT_EQ(provider_->ReservedQuery2(0), 1);
    EXPECT_EQ(provider_->NotifyGridCode1(), 0) << "no grid window, no notification";
}

}  // namespace
}  // namespace dynamic_test
