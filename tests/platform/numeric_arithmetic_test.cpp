// The host number's own arithmetic: exact results, one rounding half to even at 38 digits and at the
// finest place, the range's edge refused, remainders exact however far apart the operands lie, and
// each rounding mode of Rounded.

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/runtime/numeric.h"

namespace {

CNumeric N(const char* text) { return CNumeric::Parse(text); }
std::string Shown(const std::optional<CNumeric>& n) { return n ? n->Format() : std::string("out of range"); }

TEST(NumericArithmetic, SumsAndDifferencesAreExactAcrossPlaces) {
    EXPECT_EQ(Shown(CNumeric::Sum(N("0.1"), N("0.2"))), "0.3");
    EXPECT_EQ(Shown(CNumeric::Sum(N("9223372036854775807"), N("1"))), "9223372036854775808");
    EXPECT_EQ(Shown(CNumeric::Difference(N("1.5"), N("2.25"))), "-0.75");
    EXPECT_EQ(Shown(CNumeric::Sum(N("-3"), N("3"))), "0");
    EXPECT_EQ(Shown(CNumeric::Sum(N("1e300"), N("1e-300"))), "1e+300");  // the small one only decides a half
    // 38 nines and one more: a 39th digit appears and the sum rounds to 38.
    EXPECT_EQ(Shown(CNumeric::Sum(N("99999999999999999999999999999999999999"), N("1"))), "1e+38");
    EXPECT_EQ(Shown(CNumeric::Sum(N("12345678901234567890123456789012345678"), N("0.5"))),
              "12345678901234567890123456789012345678");  // a half to even: 8 stays
    EXPECT_EQ(Shown(CNumeric::Sum(N("12345678901234567890123456789012345677"), N("0.5"))),
              "12345678901234567890123456789012345678");  // 7 goes up to even
}

TEST(NumericArithmetic, ProductsAndQuotientsRoundOnceToThirtyEightDigits) {
    EXPECT_EQ(Shown(CNumeric::Product(N("1.5"), N("-4"))), "-6");
    EXPECT_EQ(Shown(CNumeric::Product(N("123456789012"), N("1000000000000"))), "123456789012000000000000");
    EXPECT_EQ(Shown(CNumeric::Product(N("11111111111111111111"), N("11111111111111111111"))),
              "1.2345679012345679012098765432098765432e+38");  // 39 digits: the last, 1, is dropped
    EXPECT_EQ(Shown(CNumeric::Quotient(N("1"), N("3"))), "0.33333333333333333333333333333333333333");
    EXPECT_EQ(Shown(CNumeric::Quotient(N("2"), N("3"))), "0.66666666666666666666666666666666666667");
    EXPECT_EQ(Shown(CNumeric::Quotient(N("-7"), N("2"))), "-3.5");
    EXPECT_EQ(Shown(CNumeric::Quotient(N("1"), N("0"))), "out of range");
    EXPECT_EQ(Shown(CNumeric::Quotient(N("0"), N("7"))), "0");
}

TEST(NumericArithmetic, ResultsBeyondTheRangeAreRefusedAndBelowTheFinestPlaceVanish) {
    EXPECT_EQ(Shown(CNumeric::Product(N("1e200"), N("1e200"))), "out of range");
    EXPECT_EQ(Shown(CNumeric::Sum(N("9.9999999999999999999999999999999999999e399"), N("1e362"))), "out of range");
    EXPECT_EQ(Shown(CNumeric::Quotient(N("1e-300"), N("1e200"))), "0");
    EXPECT_EQ(Shown(CNumeric::Product(N("3e-200"), N("5e-201"))), "2e-400");  // 1.5e-400 to even
    EXPECT_EQ(Shown(CNumeric::Product(N("2.5e-200"), N("1e-200"))), "2e-400");  // a half to even
}

TEST(NumericArithmetic, RemainderIsExactWhateverTheOperandsMagnitudes) {
    EXPECT_EQ(Shown(CNumeric::Remainder(N("7"), N("-2"))), "1");
    EXPECT_EQ(Shown(CNumeric::Remainder(N("-7.5"), N("2"))), "-1.5");
    EXPECT_EQ(Shown(CNumeric::Remainder(N("1e39"), N("7"))), "6");
    EXPECT_EQ(Shown(CNumeric::Remainder(N("555310942802200000000000000"), N("94"))), "0");
    EXPECT_EQ(Shown(CNumeric::Remainder(N("1e40"), N("0.3"))), "0.1");
    EXPECT_EQ(Shown(CNumeric::Remainder(N("1e-30"), N("1e30"))), "0.000000000000000000000000000001");
    EXPECT_EQ(Shown(CNumeric::Remainder(N("5"), N("0"))), "out of range");
}

TEST(NumericArithmetic, RoundedKeepsPlacesInEachMode) {
    using R = CNumeric::Rounding;
    EXPECT_EQ(Shown(N("2.5").Rounded(0, R::kHalfAwayFromZero)), "3");
    EXPECT_EQ(Shown(N("-2.5").Rounded(0, R::kHalfAwayFromZero)), "-3");
    EXPECT_EQ(Shown(N("2.5").Rounded(0, R::kHalfTowardZero)), "2");
    EXPECT_EQ(Shown(N("2.51").Rounded(0, R::kHalfTowardZero)), "3");
    EXPECT_EQ(Shown(N("-2.99").Rounded(0, R::kTowardZero)), "-2");
    EXPECT_EQ(Shown(N("1234.5678").Rounded(2, R::kHalfAwayFromZero)), "1234.57");
    EXPECT_EQ(Shown(N("1250").Rounded(-2, R::kHalfAwayFromZero)), "1300");
    EXPECT_EQ(Shown(N("49").Rounded(-2, R::kHalfAwayFromZero)), "0");
    EXPECT_EQ(Shown(N("0.125").Rounded(5, R::kHalfAwayFromZero)), "0.125");
    EXPECT_EQ(Shown(N("9.9999999999999999999999999999999999999e399").Rounded(-399, R::kHalfAwayFromZero)),
              "out of range");
}

}  // namespace
