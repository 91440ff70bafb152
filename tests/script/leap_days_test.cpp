// 29 February in every written form a script's date is read from (the literal, the database layer's
// ISO text, the compact digits): a day only of leap years, which skip the centuries not divisible by 400.
#include <gtest/gtest.h>

#include <string>

#include "tools/script/language/date_text.h"

namespace {

using script::calendar::DayOf;
using script::date_text::ParseDate;
using script::date_text::ParseLiteral;

TEST(LeapDays, EveryFormReadsTheTwentyNinthOfFebruaryOnlyInLeapYears) {
    for (const int year : {1600, 1996, 2000, 2024, 2400}) {
        const std::string digits = std::to_string(year);
        const auto leap_day = DayOf(year, 2, 29);
        ASSERT_TRUE(leap_day) << year;
        EXPECT_EQ(ParseLiteral("29.02." + digits), leap_day) << year;
        EXPECT_EQ(ParseDate(digits + "-02-29"), leap_day) << year;
        EXPECT_EQ(ParseDate(digits + "-02-29 10:00:00"), leap_day) << year;
        EXPECT_EQ(ParseDate(digits + "0229"), leap_day) << year;
    }
    for (const int year : {1700, 1900, 2023, 2025, 2100, 2200, 2300}) {
        const std::string digits = std::to_string(year);
        EXPECT_FALSE(DayOf(year, 2, 29)) << year;
        EXPECT_FALSE(ParseLiteral("29.02." + digits)) << year;
        EXPECT_FALSE(ParseDate(digits + "-02-29")) << year;
        EXPECT_FALSE(ParseDate(digits + "0229")) << year;
        EXPECT_EQ(ParseDate(digits + "-02-28"), DayOf(year, 2, 28)) << year;
    }
    // Two-digit years: 00 is 2000 (a leap year), 25 is 2025 (not one).
    EXPECT_EQ(ParseLiteral("29.02.00"), DayOf(2000, 2, 29));
    EXPECT_FALSE(ParseLiteral("29.02.25"));
}

TEST(LeapDays, TheDayAfterTheTwentyEighthIsTheTwentyNinthOnlyInLeapYears) {
    for (const int year : {1900, 2000, 2023, 2024, 2100, 2400}) {
        const bool leap = year == 2000 || year == 2024 || year == 2400;
        const auto february_28 = DayOf(year, 2, 28), next = DayOf(year, leap ? 2 : 3, leap ? 29 : 1);
        ASSERT_TRUE(february_28 && next) << year;
        EXPECT_EQ(*next - *february_28, 1) << year;
        EXPECT_EQ(*DayOf(year, 3, 1) - *february_28, leap ? 2 : 1) << year;
    }
}

}  // namespace
