// The host number's range and precision: 38 significant digits, magnitudes below 10^400, finest
// place 10^-400. Inside, every road is exact or rounds half to even; beyond, it refuses.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "platform/runtime/numeric.h"

namespace {

TEST(NumericRange, LargeNumbersAreHeldNotShrunk) {
    EXPECT_EQ(CNumeric::FromDouble(1e300).Format(), "1e+300");
    EXPECT_EQ(CNumeric::Parse("5e36").Format(), "5000000000000000000000000000000000000");
    EXPECT_EQ(CNumeric::Parse("5e36"), CNumeric::Parse("5000000000000000000000000000000000000"));
    const CNumeric max = CNumeric::FromDouble(std::numeric_limits<double>::max());
    EXPECT_EQ(max.Format(), "1.7976931348623157e+308");
    EXPECT_LT(CNumeric::Parse("1e36"), max);
    EXPECT_LT(CNumeric::Parse("1e308"), max);
    EXPECT_LT(max, CNumeric::Parse("1.7976931348623158e308"));
    EXPECT_EQ(max.ToDouble(), std::numeric_limits<double>::max());
}

TEST(NumericRange, LongMantissasWithAnExponentKeepTheirValue) {
    EXPECT_EQ(CNumeric::Parse("123456789012345678901234567890123456e5").Format(),
              "1.23456789012345678901234567890123456e+40");
    EXPECT_EQ(CNumeric::Parse("1234567890123456789012345678901234567891e-2").Format(),
              "12345678901234567890123456789012345679");
    EXPECT_EQ(CNumeric::Parse("0.000123456789012345678901234567890123456789e-10").Format(),
              "0.0000000000000" "12345678901234567890123456789012345679");
    EXPECT_EQ(CNumeric::Parse("-98765432109876543210e-350").Format(), "-9.876543210987654321e-331");
}

TEST(NumericRange, RoundsHalfToEvenAtTheThirtyEighthDigit) {
    const std::string ones = "0." + std::string(37, '1');
    EXPECT_EQ(CNumeric::Parse(ones + "25").Format(), ones + "2");
    EXPECT_EQ(CNumeric::Parse(ones + "35").Format(), ones + "4");
    EXPECT_EQ(CNumeric::Parse(ones + "2500001").Format(), ones + "3");
    EXPECT_EQ(CNumeric::Parse(ones + "24999").Format(), ones + "2");
    const std::string nines(38, '9');
    EXPECT_EQ(CNumeric::Parse(nines + "5").Format(), "1e+39") << "the carry adds a digit";
    EXPECT_EQ(CNumeric::Parse(nines).Format(), nines);
}

TEST(NumericRange, NumbersBeyondTheRangeAreRefused) {
    for (const char* text : {"1e400", "-1e400", "1e999999999999999999999", "9.999999999999999999999999999999999999995e399"}) {
        EXPECT_FALSE(CNumeric::TryParse(text).has_value()) << text;
        EXPECT_EQ(CNumeric::Parse(text), CNumeric(0)) << "the host reads what is no number as 0: " << text;
    }
    const auto largest = CNumeric::TryParse("9.9999999999999999999999999999999999999e399");
    ASSERT_TRUE(largest.has_value());
    EXPECT_EQ(largest->Format(), "9.9999999999999999999999999999999999999e+399");
    EXPECT_EQ(largest->ToDouble(), std::numeric_limits<double>::infinity());
    EXPECT_LT(CNumeric::Parse("1e308"), *largest);
}

TEST(NumericRange, TheFinestPlaceIsTenToTheMinus400) {
    EXPECT_EQ(CNumeric::Parse("1e-400").Format(), "1e-400");
    EXPECT_EQ(CNumeric::Parse("-6e-401").Format(), "-1e-400");
    EXPECT_EQ(CNumeric::Parse("5e-401"), CNumeric(0)) << "half to even";
    EXPECT_EQ(CNumeric::Parse("1e-999999"), CNumeric(0));
    EXPECT_EQ(CNumeric::Parse("1.25e-399").Format(), "1.2e-399");
    EXPECT_EQ(CNumeric::Parse("1e-400").ToDouble(), 0.0);
    EXPECT_LT(CNumeric(0), CNumeric::Parse("1e-400"));
}

TEST(NumericRange, IntegerViewsOfWideNumbers) {
    EXPECT_EQ(CNumeric::Parse("1e30").ToInt64(), INT64_MAX);
    EXPECT_EQ(CNumeric::Parse("-1e300").ToInt64(), INT64_MIN);
    EXPECT_EQ(CNumeric::Parse("9.223372036854775807e18").ToInt64(), INT64_MAX);
    EXPECT_EQ(CNumeric::Parse("-9.223372036854775808e18").ToInt64(), INT64_MIN);
    EXPECT_EQ(CNumeric::Parse("1e-300").ToInt64(), 0);
    EXPECT_EQ(static_cast<long>(CNumeric::Parse("4.294967298e9")), 2L);
    EXPECT_EQ(static_cast<long>(CNumeric::Parse("-4.294967298e9")), -2L);
    EXPECT_EQ(static_cast<long>(CNumeric::Parse("1e40")), 0L) << "10^40 is a multiple of 2^32";
}

// A random number anywhere in the range: up to 38 digits at any place.
std::string RandomNumberText(std::mt19937_64& random) {
    const int digits = 1 + static_cast<int>(random() % CNumeric::kDigits);
    std::string text = random() % 2 ? "-" : "";
    text += static_cast<char>('1' + random() % 9);
    for (int i = 1; i < digits; ++i) text += static_cast<char>('0' + random() % 10);
    const int lowest = CNumeric::kMinExponent + static_cast<int>(random() % (CNumeric::kLimitExponent - CNumeric::kMinExponent - digits + 1));
    return text + "e" + std::to_string(lowest);
}

TEST(NumericRange, FormatThenParseGivesBackEveryNumber) {
    std::mt19937_64 random(7);
    for (int i = 0; i < 20000; ++i) {
        const std::string text = RandomNumberText(random);
        const auto number = CNumeric::TryParse(text);
        ASSERT_TRUE(number.has_value()) << text;
        const auto back = CNumeric::TryParse(number->Format());
        ASSERT_TRUE(back.has_value()) << number->Format();
        EXPECT_EQ(*back, *number) << text << " shown as " << number->Format();
        EXPECT_EQ(back->Format(), number->Format());
    }
    for (long long whole : {static_cast<long long>(INT64_MIN), static_cast<long long>(INT64_MAX), 0LL, -1LL, 9007199254740993LL})
        EXPECT_EQ(CNumeric::Parse(CNumeric(whole).Format()), CNumeric(whole)) << whole;
}

TEST(NumericRange, OrderOfDoublesIsKept) {
    std::mt19937_64 random(11);
    std::vector<double> values;
    for (int i = 0; i < 4000; ++i) {
        const std::uint64_t bits = random();
        double any;
        std::memcpy(&any, &bits, sizeof any);
        if (std::isfinite(any)) values.push_back(any);
    }
    std::sort(values.begin(), values.end());
    for (std::size_t i = 1; i < values.size(); ++i) {
        const CNumeric a = CNumeric::FromDouble(values[i - 1]), b = CNumeric::FromDouble(values[i]);
        if (values[i - 1] < values[i]) {
            EXPECT_LT(a, b) << values[i - 1] << " " << values[i];
            EXPECT_FALSE(b < a);
        } else {
            EXPECT_EQ(a, b);
        }
    }
}

}  // namespace
