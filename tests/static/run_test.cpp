// The run of rows: where PrepareRows starts and stops it, and what NextRow hands out and raises.

#include <climits>

#include "tests/static/static_fixture.h"
#include "platform/oledb/faults.h"

namespace static_test {
namespace {

using V = std::vector<int>;
using StaticProviderRun = StaticProviderTest;

TEST_F(StaticProviderRun, ForwardRunsStartAfterTheirRowAndStopBeforeRowCount) {
    LoadGoods();
    ASSERT_EQ(10, RowCount());
    EXPECT_EQ(V({0, 1, 2, 3, 4}), Run(nullptr, 5));
    RowPtr seven = RowNumber(7);
    EXPECT_EQ(V({8, 9}), Run(seven.get(), 5));
    RowPtr last = RowNumber(9);
    EXPECT_EQ(V(), Run(last.get(), 5));
}

TEST_F(StaticProviderRun, BackwardRunsStartBeforeTheirRowAndStopAfterRowZero) {
    LoadGoods();
    EXPECT_EQ(V({9, 8, 7}), Run(nullptr, -3));
    RowPtr one = RowNumber(1);
    EXPECT_EQ(V({0}), Run(one.get(), -5));
    RowPtr first = RowNumber(0);
    EXPECT_EQ(V(), Run(first.get(), -1));
    RowPtr five = RowNumber(5);
    EXPECT_EQ(V({4, 3}), Run(five.get(), -2));
}

TEST_F(StaticProviderRun, CountZeroGivesNoRowFromTheTopOrFromARow) {
    LoadGoods();
    EXPECT_EQ(V(), Run(nullptr, 0));
    RowPtr three = RowNumber(3);
    EXPECT_EQ(V(), Run(three.get(), 0));
}

TEST_F(StaticProviderRun, HugeCountsAreClampedToTheResult) {
    LoadGoods();
    const V all{0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    const V all_backward{9, 8, 7, 6, 5, 4, 3, 2, 1, 0};
    EXPECT_EQ(all, Run(nullptr, 1000));
    EXPECT_EQ(all, Run(nullptr, INT_MAX));
    EXPECT_EQ(all_backward, Run(nullptr, -1000));
    EXPECT_EQ(all_backward, Run(nullptr, INT_MIN));
    RowPtr five = RowNumber(5);
    EXPECT_EQ(V({6, 7, 8, 9}), Run(five.get(), INT_MAX));
    EXPECT_EQ(V({4, 3, 2, 1, 0}), Run(five.get(), INT_MIN));
    RowPtr last = RowNumber(9);
    EXPECT_EQ(V(), Run(last.get(), INT_MAX));
    RowPtr first = RowNumber(0);
    EXPECT_EQ(V(), Run(first.get(), INT_MIN));
    EXPECT_TRUE(Errors().empty());
}

TEST_F(StaticProviderRun, NextRowBeforeAnyPrepareRowsReturnsNull) {
    LoadGoods();
    EXPECT_EQ(nullptr, provider_->NextRow());
    EXPECT_TRUE(Errors().empty());
}

TEST_F(StaticProviderRun, NothingLoadedMeansNoRunAtAll) {
    provider_->PrepareRows(nullptr, 5, 0);
    EXPECT_EQ(nullptr, provider_->NextRow());
    // A run prepared before the load is not one: PrepareRows did nothing while empty.
    LoadGoods();
    EXPECT_EQ(nullptr, provider_->NextRow());
}

TEST_F(StaticProviderRun, NextRowAfterTheEndKeepsReturningNullUntilTheNextRun) {
    LoadGoods();
    EXPECT_EQ(V({0, 1}), Run(nullptr, 2));
    EXPECT_EQ(nullptr, provider_->NextRow());
    EXPECT_EQ(nullptr, provider_->NextRow());
    EXPECT_EQ(V({9}), Run(nullptr, -1));
}

TEST_F(StaticProviderRun, ANewRunReplacesTheOneInProgress) {
    LoadGoods();
    provider_->PrepareRows(nullptr, 5, 0);
    RowPtr first(provider_->NextRow());
    ASSERT_TRUE(first);
    EXPECT_EQ(0, first->GetRowId());
    EXPECT_EQ(V({9, 8}), Run(nullptr, -2));
}

TEST_F(StaticProviderRun, RowsCarryTheValuesOfTheirResultRow) {
    LoadGoods();
    provider_->PrepareRows(nullptr, -1, 0);
    RowPtr row(provider_->NextRow());
    ASSERT_TRUE(row);
    CString text;
    EXPECT_EQ("109", std::string(row->FormatField(0, text).view()));
    EXPECT_EQ("Изюм", Utf(std::string(row->FormatField(1, text).view())));
    EXPECT_EQ(2, row->GetFieldCount());
    EXPECT_EQ(1, row->LookupFieldIndex("name"));
}

TEST_F(StaticProviderRun, BackwardRunFromStaleRowRaisesNextRowError) {
    LoadGoods();
    RowPtr stale = RowNumber(8);
    provider_->SetQueryText(Cp("SELECT id, name FROM goods WHERE id < 105 ORDER BY id"));
    provider_->GetData();
    ASSERT_EQ(5, RowCount());

    // Row 8 of the earlier load: the run starts at row count, one past the last row.
    provider_->PrepareRows(stale.get(), -3, 0);
    EXPECT_EQ(nullptr, provider_->NextRow());
    EXPECT_EQ(std::vector<std::string>({"Невозможно получить следующую строку данных"}), Errors());
    // The position did not move: the next call fails on the same row again.
    EXPECT_EQ(nullptr, provider_->NextRow());
    EXPECT_EQ(2u, Errors().size());
}

TEST_F(StaticProviderRun, ForwardRunFromStaleRowIsEmptyWithoutError) {
    LoadGoods();
    RowPtr stale = RowNumber(8);
    provider_->SetQueryText(Cp("SELECT id, name FROM goods WHERE id < 105 ORDER BY id"));
    provider_->GetData();
    EXPECT_EQ(V(), Run(stale.get(), 3));
    EXPECT_TRUE(Errors().empty());
}

TEST_F(StaticProviderRun, UnreadableRowRaisesAndTheRunResumesThereOnceReadable) {
    LoadGoods();
    oledb_faults::FailGetRowAt(2);
    provider_->PrepareRows(nullptr, 4, 0);
    RowPtr row0(provider_->NextRow());
    RowPtr row1(provider_->NextRow());
    ASSERT_TRUE(row0 && row1);
    EXPECT_EQ(nullptr, provider_->NextRow());
    EXPECT_EQ(std::vector<std::string>({"Невозможно получить следующую строку данных"}), Errors());
    oledb_faults::ResetAll();
    EXPECT_EQ(V({2, 3}), Drain());
}

}  // namespace
}  // namespace static_test
