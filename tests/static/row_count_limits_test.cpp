// The direct result's count as the layer reports it, at the limits of the host's 32-bit LONG: the
// provider's row count and its run stay within 32-bit signed row numbers on every target.

#include <cstdint>
#include <limits>

#include <boost/make_shared.hpp>

#include "platform/oledb/faults.h"
#include "tests/static/static_fixture.h"

namespace static_test {
namespace {

using StaticRowCountLimits = StaticProviderTest;
constexpr std::int32_t kMaxLong = std::numeric_limits<std::int32_t>::max();

TEST_F(StaticRowCountLimits, CountBeyondTheHostLongIsCountedByPositioning) {
    constexpr long long kBeyond = static_cast<long long>(kMaxLong) + 1;
    for (long long reported : {kBeyond, 2 * kBeyond, 2 * kBeyond + 10}) {
        oledb_faults::ReportRowCount(reported);
        LoadGoods();
        EXPECT_EQ(10, RowCount()) << reported;
        EXPECT_EQ(std::vector<int>({9, 8}), Run(nullptr, -2)) << reported;
    }
    EXPECT_TRUE(Errors().empty());
}

TEST_F(StaticRowCountLimits, CountAtTheHostLongLimitIsKeptAndItsMissingRowsReported) {
    oledb_faults::ReportRowCount(kMaxLong);
    LoadGoods();
    EXPECT_EQ(kMaxLong, RowCount());
    EXPECT_EQ(std::vector<int>({0, 1, 2}), Run(nullptr, 3));
    // Backwards from the end the run starts on row 2^31 - 2, which the result does not hold.
    provider_->PrepareRows(nullptr, std::numeric_limits<int>::min(), 0);
    EXPECT_EQ(nullptr, provider_->NextRow());
    EXPECT_EQ(std::vector<std::string>({"Невозможно получить следующую строку данных"}), Errors());
    // From the row before the limit forwards: one row, the last one, which cannot be read either.
    const auto fields = boost::make_shared<OleDb::GridProvider::FieldSet>();
    const OleDb::CResultDirectAccessProxy no_result;
    OleDb::GridProvider::CDataRow before_last(static_cast<std::uint32_t>(kMaxLong - 2), no_result, fields);
    EXPECT_EQ(std::vector<int>(), Run(&before_last, 0));
    provider_->PrepareRows(&before_last, std::numeric_limits<int>::max(), 0);
    EXPECT_EQ(nullptr, provider_->NextRow());
    EXPECT_EQ(2u, Errors().size());
}

}  // namespace
}  // namespace static_test
