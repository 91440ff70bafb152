// The host's exact decimal number: parsing, display text and the 32-bit view.

#include <gtest/gtest.h>

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
