// The host's exact decimal number: parsing, display text and the 32-bit view.

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include "platform/runtime/numeric.h"

namespace {

TEST(NumericExactness, DecimalFractionsAndLargeIntegersAreHeldExactly) {
    EXPECT_EQ(CNumeric::Parse("0.1").Format(), "0.1");
    EXPECT_EQ(CNumeric::Parse("1234.56").Format(), "1234.56");
    EXPECT_EQ(CNumeric(9223372036854775807LL).Format(), "9223372036854775807");
    EXPECT_EQ(CNumeric(-9223372036854775807LL - 1).Format(), "-9223372036854775808");
    EXPECT_EQ(CNumeric::Parse("9007199254740993").ToInt64(), 9007199254740993LL);  // not a double
    EXPECT_EQ(CNumeric::Parse("0.10"), CNumeric::Parse("0.1"));
    EXPECT_NE(CNumeric::Parse("0.1"), CNumeric::Parse("0.10001"));
    EXPECT_LT(CNumeric::Parse("-0.5"), CNumeric(0));
    EXPECT_EQ(CNumeric::FromDouble(0.1).Format(), "0.1");
}

TEST(NumericParse, ReadsALeadingNumberOnly) {
    EXPECT_EQ(CNumeric::Parse("  -12.50abc").Format(), "-12.5");
    EXPECT_EQ(CNumeric::Parse("+7").Format(), "7");
    EXPECT_EQ(CNumeric::Parse(".5").Format(), "0.5");
    EXPECT_EQ(CNumeric::Parse("1.5e3").Format(), "1500");
    EXPECT_EQ(CNumeric::Parse("25e-1").Format(), "2.5");
    EXPECT_EQ(CNumeric::Parse("abc").Format(), "0");
    EXPECT_EQ(CNumeric::Parse("").Format(), "0");
    EXPECT_EQ(CNumeric::Parse("-").Format(), "0");
    EXPECT_EQ(CNumeric::Parse("1.2.3").Format(), "1.2");
}

TEST(NumericFormat, WritesNoTrailingZerosAndKeepsLeadingZero) {
    EXPECT_EQ(CNumeric::Parse("3.000").Format(), "3");
    EXPECT_EQ(CNumeric::Parse("-0.050").Format(), "-0.05");
    EXPECT_EQ(CNumeric::Parse("0").Format(), "0");
    EXPECT_EQ(CNumeric(-3).Format(), "-3");
}

TEST(NumericFormat, WritesLongFractionsAndWideMantissasWhole) {
    EXPECT_EQ(CNumeric::Parse("0.000000000000000000000000000001").Format(), "0.000000000000000000000000000001");
    EXPECT_EQ(CNumeric::Parse("-123456789012345678901234567890.123456").Format(),
              "-123456789012345678901234567890.123456");
    EXPECT_EQ(CNumeric::Parse("-0.1").Format(), "-0.1");
    EXPECT_EQ(CNumeric::Parse("10.01").Format(), "10.01");
    EXPECT_EQ(CNumeric::Parse("100").Format(), "100");
}

// What FromDouble promises: the shortest decimal that reads back as value, the digits std::to_chars
// finds for it; its display text reads back as the same double.
void ExpectShortestThatReadsBack(double value) {
    char text[64];
    const auto written = std::to_chars(text, text + sizeof text, value, std::chars_format::scientific);
    const std::string_view shortest(text, static_cast<std::size_t>(written.ptr - text));
    const CNumeric got = CNumeric::FromDouble(value);
    EXPECT_EQ(got, CNumeric::Parse(shortest)) << shortest;
    const std::string shown = got.Format();
    double back = 1;
    const auto read = std::from_chars(shown.data(), shown.data() + shown.size(), back);
    EXPECT_EQ(read.ptr, shown.data() + shown.size()) << shown;
    EXPECT_EQ(back, value) << shortest << " shown as " << shown;
    EXPECT_EQ(got.ToDouble(), value) << shortest;
}

TEST(NumericFromDouble, IsTheShortestDecimalThatReadsBack) {
    for (double value : {0.0, -0.0, 1.0, -1.0, 0.1, 0.5, 0.05, 1e-4, 1.5e-5, 1e-5, 123.45, -123.45, 1200.0, 999999999999999.0,
                         1e15, 1e15 + 2, 1e15 + 0.3, 1e16, 1e300, 1e-300, 4.9e-324, 0.1 + 0.2, 1.0 / 3, 2.0 / 3,
                         12345678.9, 99.995, 1e14 + 0.5, std::numeric_limits<double>::max(),
                         std::numeric_limits<double>::min(), -std::numeric_limits<double>::denorm_min()})
        ExpectShortestThatReadsBack(value);
    EXPECT_EQ(CNumeric::FromDouble(0.1 + 0.2).Format(), "0.30000000000000004");
    EXPECT_EQ(CNumeric::FromDouble(1e15 + 0.3).Format(), "1000000000000000.2");

    std::mt19937_64 random(20240611);
    for (int i = 0; i < 5000; ++i) {
        // Short decimals as a database holds prices and quantities, at every scale up to 8 digits.
        const int scale = static_cast<int>(random() % 9);
        const auto digits = static_cast<std::int64_t>(random() % 100000000000ULL) - 50000000000LL;
        ExpectShortestThatReadsBack(static_cast<double>(digits) / std::pow(10.0, scale));
        // Any double at all.
        const std::uint64_t bits = random();
        double any;
        std::memcpy(&any, &bits, sizeof any);
        if (std::isfinite(any)) ExpectShortestThatReadsBack(any);
        // Doubles of full precision where the short road is tried and must give way.
        ExpectShortestThatReadsBack(std::ldexp(static_cast<double>(random() >> 11), -static_cast<int>(random() % 60)));
    }
}

TEST(NumericFromDouble, HasNoNumberForInfinitiesOrNaN) {
    for (double value : {std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
                         std::numeric_limits<double>::quiet_NaN()}) {
        EXPECT_FALSE(CNumeric::TryFromDouble(value).has_value()) << value;
        EXPECT_EQ(CNumeric::FromDouble(value), CNumeric(0)) << value;
    }
}

TEST(NumericView32, IsTheIntegerModulo2To32AsSigned) {
    EXPECT_EQ(static_cast<long>(CNumeric(-1)), -1L);
    EXPECT_EQ(static_cast<long>(CNumeric(4294967295LL)), -1L);
    EXPECT_EQ(static_cast<long>(CNumeric(2147483648LL)), -2147483648L);
    EXPECT_EQ(static_cast<long>(CNumeric(4294967298LL)), 2L);
    EXPECT_EQ(static_cast<long>(CNumeric::Parse("-7.9")), -7L);
    EXPECT_EQ(static_cast<long>(CNumeric::Parse("7.9")), 7L);
    EXPECT_EQ(static_cast<long>(CNumeric(2147483647)), 2147483647L);
}

TEST(NumericInt64, SaturatesBeyondItsRange) {
    EXPECT_EQ(CNumeric::Parse("99999999999999999999").ToInt64(), INT64_MAX);
    EXPECT_EQ(CNumeric::Parse("-99999999999999999999").ToInt64(), INT64_MIN);
    EXPECT_DOUBLE_EQ(CNumeric::Parse("2.5").ToDouble(), 2.5);
}

}  // namespace
