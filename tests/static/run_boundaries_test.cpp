// The static run at its edges: counts of exactly the rows left, one more and one fewer, runs
// from the first and the last row, one-row and empty results, and counts at the 32-bit limits.

#include <climits>
#include <cstdint>

#include <boost/make_shared.hpp>

#include "tests/static/static_fixture.h"

namespace static_test {
namespace {

using V = std::vector<int>;
using StaticRunBoundaries = StaticProviderTest;

V Rows(int first, int last) {
    V rows;
    for (int r = first; first <= last ? r <= last : r >= last; r += first <= last ? 1 : -1) rows.push_back(r);
    return rows;
}

TEST_F(StaticRunBoundaries, CountsOfExactlyTheRowsLeftOneMoreAndOneFewer) {
    LoadGoods();
    EXPECT_EQ(Rows(0, 9), Run(nullptr, 10));
    EXPECT_EQ(Rows(0, 9), Run(nullptr, 11));
    EXPECT_EQ(Rows(0, 8), Run(nullptr, 9));
    EXPECT_EQ(Rows(9, 0), Run(nullptr, -10));
    EXPECT_EQ(Rows(9, 0), Run(nullptr, -11));
    EXPECT_EQ(Rows(9, 1), Run(nullptr, -9));
    RowPtr four = RowNumber(4);
    EXPECT_EQ(Rows(5, 9), Run(four.get(), 5));
    EXPECT_EQ(Rows(5, 9), Run(four.get(), 6));
    EXPECT_EQ(Rows(5, 8), Run(four.get(), 4));
    EXPECT_EQ(Rows(3, 0), Run(four.get(), -4));
    EXPECT_EQ(Rows(3, 0), Run(four.get(), -5));
    EXPECT_EQ(Rows(3, 1), Run(four.get(), -3));
    EXPECT_TRUE(Errors().empty());
}

TEST_F(StaticRunBoundaries, RunsOfOneRowFromEitherEnd) {
    LoadGoods();
    EXPECT_EQ(V({0}), Run(nullptr, 1));
    EXPECT_EQ(V({9}), Run(nullptr, -1));
    RowPtr first = RowNumber(0);
    RowPtr last = RowNumber(9);
    EXPECT_EQ(V({1}), Run(first.get(), 1));
    EXPECT_EQ(V(), Run(first.get(), -1));
    EXPECT_EQ(V({8}), Run(last.get(), -1));
    EXPECT_EQ(V(), Run(last.get(), 1));
    RowPtr before_last = RowNumber(8);
    EXPECT_EQ(V({9}), Run(before_last.get(), 1));
    EXPECT_EQ(V({9}), Run(before_last.get(), 2));
    RowPtr second = RowNumber(1);
    EXPECT_EQ(V({0}), Run(second.get(), -1));
    EXPECT_EQ(V({0}), Run(second.get(), -2));
    EXPECT_TRUE(Errors().empty());
}

TEST_F(StaticRunBoundaries, OneRowResultServesItOnceEitherWay) {
    Load("SELECT id, name FROM goods WHERE id = 104");
    ASSERT_EQ(1, RowCount());
    for (int count : {1, 2, INT_MAX}) EXPECT_EQ(V({0}), Run(nullptr, count)) << count;
    for (int count : {-1, -2, INT_MIN}) EXPECT_EQ(V({0}), Run(nullptr, count)) << count;
    RowPtr only(provider_->FindRowByKey(Number(104)));
    ASSERT_TRUE(only);
    EXPECT_EQ(V(), Run(only.get(), 1));
    EXPECT_EQ(V(), Run(only.get(), -1));
    EXPECT_EQ(V(), Run(only.get(), INT_MAX));
    EXPECT_EQ(V(), Run(only.get(), INT_MIN));
    EXPECT_TRUE(Errors().empty());
}

TEST_F(StaticRunBoundaries, EmptyResultGivesNoRunInEitherDirectionWithoutError) {
    Load("SELECT id, name FROM goods WHERE id < 0");
    ASSERT_EQ(0, RowCount());
    for (int count : {1, -1, 0, INT_MAX, INT_MIN}) EXPECT_EQ(V(), Run(nullptr, count)) << count;
    EXPECT_TRUE(Errors().empty());
}

TEST_F(StaticRunBoundaries, RowsFromALongerLoadStartAtTheNewEnd) {
    LoadGoods();
    RowPtr seven = RowNumber(7);
    RowPtr five = RowNumber(5);
    RowPtr four = RowNumber(4);
    Load("SELECT id, name FROM goods WHERE id < 105 ORDER BY id");  // rows 0..4 now
    ASSERT_EQ(5, RowCount());
    EXPECT_EQ(V(), Run(four.get(), 1)) << "the old row on the new last row";
    EXPECT_EQ(V(), Run(five.get(), INT_MAX)) << "the old row just past the new end";
    EXPECT_EQ(V(), Run(seven.get(), 3));
    EXPECT_EQ(V({3, 2, 1, 0}), Run(four.get(), INT_MIN));
    EXPECT_TRUE(Errors().empty());
    // Backwards from just past the new end: the run starts one row past the end and stops on it.
    provider_->PrepareRows(five.get(), -1, 0);
    RowPtr row(provider_->NextRow());
    ASSERT_TRUE(row);
    EXPECT_EQ(4, row->GetRowId());
    EXPECT_EQ(nullptr, provider_->NextRow());
}

TEST_F(StaticRunBoundaries, FromRowsNumberedAtTheEndsOfIntStartWithoutOverflow) {
    LoadGoods();
    // Rows a grid may hold from elsewhere: numbered at the very ends of the row number's range.
    const auto fields = boost::make_shared<OleDb::GridProvider::FieldSet>();
    const OleDb::CResultDirectAccessProxy no_result;
    OleDb::GridProvider::CDataRow highest(static_cast<std::uint32_t>(INT_MAX), no_result, fields);
    OleDb::GridProvider::CDataRow lowest(static_cast<std::uint32_t>(INT_MIN), no_result, fields);
    ASSERT_EQ(INT_MAX, highest.GetRowId());
    ASSERT_EQ(INT_MIN, lowest.GetRowId());
    EXPECT_EQ(V(), Run(&highest, 1));
    EXPECT_EQ(V(), Run(&highest, INT_MAX));
    EXPECT_EQ(V(), Run(&lowest, -1));
    EXPECT_EQ(V(), Run(&lowest, INT_MIN));
    EXPECT_TRUE(Errors().empty());
    EXPECT_EQ(Rows(0, 2), Run(&lowest, 3)) << "forwards from before the first row";
    // Backwards from past the end: the run starts one past the last row, which cannot be read.
    provider_->PrepareRows(&highest, -3, 0);
    EXPECT_EQ(nullptr, provider_->NextRow());
    EXPECT_EQ(std::vector<std::string>({"Невозможно получить следующую строку данных"}), Errors());
}

}  // namespace
}  // namespace static_test
