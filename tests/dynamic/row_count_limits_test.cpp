// The row query's count as the layer reports it, at the limits of the host's 32-bit LONG: a count
// beyond it reaches the provider as unknown and the rows are counted; a count at it is believed,
// and the rows it promises but cannot give are reported, not shown as empty.

#include <cstdint>
#include <limits>

#include "tests/dynamic/dynamic_fixture.h"

namespace dynamic_test {
namespace {

using Keys = std::vector<std::string>;
using DynamicRowCountLimits = DynamicTest;
using test_support::RaisedErrors;

TEST_F(DynamicRowCountLimits, CountBeyondTheHostLongIsCountedByPositioning) {
    constexpr long long kBeyond = static_cast<long long>(std::numeric_limits<std::int32_t>::max()) + 1;
    for (long long reported : {kBeyond, 2 * kBeyond, 4 * kBeyond + 3}) {
        oledb_faults::ReportRowCount(reported);
        Configure();
        provider_->GetData();
        provider_->PrepareRows(nullptr, 4, 0);
        EXPECT_EQ(Drain(), (Keys{"10", "9", "8", "7"})) << reported;
        EXPECT_TRUE(RaisedErrors().empty()) << reported;
    }
}

TEST_F(DynamicRowCountLimits, CountAtTheHostLongLimitThatTheResultCannotGiveIsReported) {
    oledb_faults::ReportRowCount(std::numeric_limits<std::int32_t>::max());
    Configure();
    provider_->GetData();
    provider_->PrepareRows(nullptr, 3, 0);
    EXPECT_EQ(Next(), nullptr);
    ASSERT_FALSE(RaisedErrors().empty());
    // A later request with a truthful count serves again.
    oledb_faults::ReportRowCount(3);
    provider_->PrepareRows(nullptr, 3, 0);
    EXPECT_EQ(Drain(), (Keys{"10", "9", "8"}));
}

TEST_F(DynamicRowCountLimits, CountsAtTheSignedLimitsRunThatManyRowsAtMost) {
    Configure();
    provider_->GetData();
    provider_->PrepareRows(nullptr, std::numeric_limits<int>::max(), 0);
    EXPECT_EQ(Drain().size(), 10u);
    provider_->PrepareRows(nullptr, std::numeric_limits<int>::min(), 0);
    EXPECT_EQ(Drain().size(), 10u);
    EXPECT_TRUE(RaisedErrors().empty());
}

}  // namespace
}  // namespace dynamic_test
