// A server's decimals in a direct-access result: each read gives the exact host number of its
// digits, however often and in whatever order the rows are positioned, and one the host's number
// cannot hold (NaN, an infinity, beyond its range) is refused with its digits at every read, the
// value left as it was, while the cells around it read as ever.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/oledb/direct_result.h"
#include "platform/oledb/host_number.h"
#include "platform/runtime/numeric.h"

namespace {

using oledb_backend::DirectResult;
using oledb_backend::UnfitNumber;

// Rows of decimal digits, handed to the sink as the server backend hands its NUMERIC cells.
class DecimalCursor : public oledb_backend::RowCursor {
public:
    explicit DecimalCursor(std::vector<std::vector<std::string>> rows) : rows_(std::move(rows)) {}
    int ColumnCount() const override { return static_cast<int>(rows_.front().size()); }
    std::string ColumnName(int column) const override { return "c" + std::to_string(column); }
    bool Step() override { return false; }
    oledb_backend::SqlValue Column(int) const override { return {}; }
    void DrainInto(oledb_backend::RowSink& sink) override {
        for (const auto& row : rows_) {
            sink.BeginRow();
            for (const std::string& digits : row) sink.Decimal(digits);
        }
    }

private:
    std::vector<std::vector<std::string>> rows_;
};

std::shared_ptr<DirectResult> ResultOf(std::vector<std::vector<std::string>> rows) {
    DecimalCursor cursor(std::move(rows));
    bool replaced = false;
    return DirectResult::ReadAll(cursor, replaced);
}

TEST(DirectResultDecimals, EveryReadGivesTheExactNumberOfItsDigitsInAnyRowOrder) {
    const auto result = ResultOf({{"123.45", "-0.5"}, {"12345678901234567890123456789.012345678", "0"},
                                  {"1e-400", "-99999999999999999999999999999999999999e362"}});
    const std::vector<std::vector<std::string>> expected = {
        {"123.45", "-0.5"}, {"12345678901234567890123456789.012345678", "0"},
        {"1e-400", "-99999999999999999999999999999999999999e362"}};
    for (long row : {2L, 0L, 1L, 0L, 2L}) {
        ASSERT_TRUE(result->MoveTo(row));
        for (int column = 0; column < 2; ++column) {
            CValue value;
            ASSERT_TRUE(result->Read(column, value));
            const auto want = CNumeric::TryParse(expected[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)]);
            ASSERT_TRUE(want);
            EXPECT_EQ(value.GetKind(), CValue::Kind::Number);
            EXPECT_TRUE(value.GetNumeric() == *want) << row << ":" << column << " " << value.GetNumeric().Format();
        }
    }
}

TEST(DirectResultDecimals, DigitsWithoutAHostNumberAreRefusedAtEveryReadAndTheRowReadsOn) {
    const auto result = ResultOf({{"NaN", "7.25", "Infinity"}, {"1e400", "-Infinity", "2"}});
    for (int pass = 0; pass < 2; ++pass) {
        ASSERT_TRUE(result->MoveTo(0));
        CValue value;
        value = CNumeric(5L);
        try {
            result->Read(0, value);
            FAIL() << "NaN has no host number";
        } catch (const UnfitNumber& refused) {
            EXPECT_STREQ(refused.what(), "NaN");
        }
        EXPECT_TRUE(value.GetNumeric() == CNumeric(5L)) << "the value is left as it was";
        ASSERT_TRUE(result->Read(1, value));
        EXPECT_TRUE(value.GetNumeric() == *CNumeric::TryParse("7.25"));
        EXPECT_THROW(result->Read(2, value), UnfitNumber);
        ASSERT_TRUE(result->MoveTo(1));
        EXPECT_THROW(result->Read(0, value), UnfitNumber);
        EXPECT_THROW(result->Read(1, value), UnfitNumber);
        ASSERT_TRUE(result->Read(2, value));
        EXPECT_TRUE(value.GetNumeric() == CNumeric(2L));
    }
}

}  // namespace
