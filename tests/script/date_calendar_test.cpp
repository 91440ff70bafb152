// The calendar under the language's dates: month ends and leap years, month arithmetic from the
// ends of months, weeks at the edges of years, and the edges of the range.
#include <gtest/gtest.h>

#include <optional>

#include "tools/script/language/date_calendar.h"

namespace {

using namespace script::calendar;

DayNumber Day(int year, int month, int day) {
    const std::optional<DayNumber> found = DayOf(year, month, day);
    EXPECT_TRUE(found) << day << "." << month << "." << year;
    return found.value_or(kEmptyDate);
}

std::optional<DayNumber> Some(int year, int month, int day) { return Day(year, month, day); }

TEST(DateCalendar, EveryMonthEndsOnItsLastDayInLeapAndCommonYears) {
    const int common[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    for (int year : {1900, 2000, 2004, 2026, 2100}) {
        const bool leap = year == 2000 || year == 2004;
        EXPECT_EQ(IsLeapYear(year), leap) << year;
        for (int month = 1; month <= 12; ++month) {
            const int last = month == 2 && leap ? 29 : common[month - 1];
            EXPECT_EQ(DaysInMonth(year, month), last) << month << "." << year;
            const DayNumber first = Day(year, month, 1);
            EXPECT_EQ(EndOfMonth(first), Day(year, month, last)) << month << "." << year;
            EXPECT_EQ(StartOfMonth(EndOfMonth(first)), first);
            EXPECT_FALSE(DayOf(year, month, last + 1)) << month << "." << year;
            // The day after a month's end is the next month's first.
            const DayNumber next = month == 12 ? Day(year + 1, 1, 1) : Day(year, month + 1, 1);
            EXPECT_EQ(EndOfMonth(first) + 1, next);
        }
    }
}

TEST(DateCalendar, DaysThatDoNotExistAreRefused) {
    EXPECT_FALSE(DayOf(1900, 2, 29));
    EXPECT_FALSE(DayOf(2100, 2, 29));
    EXPECT_TRUE(DayOf(2000, 2, 29));
    EXPECT_FALSE(DayOf(2026, 4, 31));
    EXPECT_FALSE(DayOf(2026, 0, 1));
    EXPECT_FALSE(DayOf(2026, 13, 1));
    EXPECT_FALSE(DayOf(2026, 1, 0));
    EXPECT_FALSE(DayOf(2026, 1, -1));
    EXPECT_FALSE(DayOf(1399, 12, 31));
    EXPECT_FALSE(DayOf(10000, 1, 1));
    EXPECT_FALSE(DayOf(INT64_MAX, 1, 1));
    EXPECT_EQ(DayOf(1400, 1, 1), FirstDay());
    EXPECT_EQ(DayOf(9999, 12, 31), LastDay());
}

TEST(DateCalendar, TheEmptyDateLiesBeforeEveryDay) {
    EXPECT_LT(kEmptyDate, FirstDay());
    EXPECT_LT(FirstDay(), LastDay());
}

TEST(DateCalendar, DaysCountAcrossMonthsYearsAndLeapDays) {
    EXPECT_EQ(Day(2000, 3, 1) - Day(2000, 2, 28), 2);
    EXPECT_EQ(Day(1900, 3, 1) - Day(1900, 2, 28), 1);
    EXPECT_EQ(Day(2027, 1, 1) - Day(2026, 1, 1), 365);
    EXPECT_EQ(Day(2025, 1, 1) - Day(2024, 1, 1), 366);
    EXPECT_EQ(AddDays(Day(2026, 12, 31), 1), Some(2027, 1, 1));
    EXPECT_EQ(AddDays(Day(2026, 1, 1), -1), Some(2025, 12, 31));
    const Civil c = CivilOf(Day(2004, 2, 29));
    EXPECT_EQ(c.year, 2004);
    EXPECT_EQ(c.month, 2);
    EXPECT_EQ(c.day, 29);
}

TEST(DateCalendar, DaysBeyondTheRangeAreRefused) {
    EXPECT_FALSE(AddDays(LastDay(), 1));
    EXPECT_FALSE(AddDays(FirstDay(), -1));
    EXPECT_FALSE(AddDays(FirstDay(), INT64_MAX));
    EXPECT_FALSE(AddDays(LastDay(), INT64_MIN));
    EXPECT_EQ(AddDays(FirstDay(), LastDay() - FirstDay()), LastDay());
}

TEST(DateCalendar, AddingMonthsFromTheThirtyFirstStopsAtTheMonthsEnd) {
    EXPECT_EQ(AddMonths(Day(2026, 1, 31), 1), Some(2026, 2, 28));
    EXPECT_EQ(AddMonths(Day(2024, 1, 31), 1), Some(2024, 2, 29));
    EXPECT_EQ(AddMonths(Day(1900, 1, 31), 1), Some(1900, 2, 28));
    EXPECT_EQ(AddMonths(Day(2000, 1, 31), 1), Some(2000, 2, 29));
    EXPECT_EQ(AddMonths(Day(2100, 1, 31), 1), Some(2100, 2, 28));
    EXPECT_EQ(AddMonths(Day(2026, 3, 31), -1), Some(2026, 2, 28));
    EXPECT_EQ(AddMonths(Day(2026, 5, 31), 1), Some(2026, 6, 30));
    EXPECT_EQ(AddMonths(Day(2026, 1, 31), 13), Some(2027, 2, 28));
    EXPECT_EQ(AddMonths(Day(2026, 1, 30), 1), Some(2026, 2, 28));
    // A day that is not the month's last keeps its number: 28.02 + 1 month is 28.03, not 31.03.
    EXPECT_EQ(AddMonths(Day(2026, 2, 28), 1), Some(2026, 3, 28));
    EXPECT_EQ(AddMonths(Day(2024, 2, 29), -12), Some(2023, 2, 28));
    EXPECT_EQ(AddMonths(Day(2026, 12, 15), 1), Some(2027, 1, 15));
    EXPECT_EQ(AddMonths(Day(2026, 1, 15), -1), Some(2025, 12, 15));
    EXPECT_EQ(AddMonths(Day(2026, 1, 15), 0), Some(2026, 1, 15));
}

TEST(DateCalendar, AddingMonthsBeyondTheRangeIsRefused) {
    EXPECT_FALSE(AddMonths(LastDay(), 1));
    EXPECT_FALSE(AddMonths(FirstDay(), -1));
    EXPECT_FALSE(AddMonths(Day(2026, 1, 1), INT64_MAX));
    EXPECT_FALSE(AddMonths(Day(2026, 1, 1), INT64_MIN));
    EXPECT_FALSE(AddMonths(Day(2026, 1, 1), -200000));
    EXPECT_EQ(AddMonths(Day(9999, 11, 30), 1), Some(9999, 12, 30));
}

TEST(DateCalendar, WeeksRunMondayToSunday) {
    EXPECT_EQ(WeekDay(Day(2026, 12, 7)), 1);   // Monday
    EXPECT_EQ(WeekDay(Day(2026, 12, 8)), 2);
    EXPECT_EQ(WeekDay(Day(2026, 12, 13)), 7);  // Sunday
    EXPECT_EQ(StartOfWeek(Day(2026, 12, 13)), Some(2026, 12, 7));
    EXPECT_EQ(EndOfWeek(Day(2026, 12, 7)), Some(2026, 12, 13));
    // A week that spans New Year.
    EXPECT_EQ(StartOfWeek(Day(2026, 1, 1)), Some(2025, 12, 29));
    EXPECT_EQ(EndOfWeek(Day(2025, 12, 29)), Some(2026, 1, 4));
    // The first and last days of the range lie in weeks that leave it (a Wednesday and a Friday).
    EXPECT_FALSE(StartOfWeek(FirstDay()));
    EXPECT_FALSE(EndOfWeek(LastDay()));
}

TEST(DateCalendar, WeekOneHoldsTheFirstOfJanuaryAndTheYearEndsInWeek53Or54) {
    EXPECT_EQ(WeekOfYear(Day(2026, 1, 1)), 1);  // Thursday
    EXPECT_EQ(WeekOfYear(Day(2026, 1, 4)), 1);  // Sunday
    EXPECT_EQ(WeekOfYear(Day(2026, 1, 5)), 2);  // Monday
    EXPECT_EQ(WeekOfYear(Day(2026, 12, 31)), 53);
    EXPECT_EQ(WeekOfYear(Day(2024, 1, 1)), 1);  // a Monday: week 1 is whole
    EXPECT_EQ(WeekOfYear(Day(2024, 1, 7)), 1);
    EXPECT_EQ(WeekOfYear(Day(2024, 1, 8)), 2);
    EXPECT_EQ(WeekOfYear(Day(2024, 12, 31)), 53);
    EXPECT_EQ(WeekOfYear(Day(2012, 1, 1)), 1);  // a Sunday: week 1 is one day long
    EXPECT_EQ(WeekOfYear(Day(2012, 1, 2)), 2);
    EXPECT_EQ(WeekOfYear(Day(2012, 12, 31)), 54);
}

TEST(DateCalendar, DayOfYearCountsTheLeapDay) {
    EXPECT_EQ(DayOfYear(Day(2026, 1, 1)), 1);
    EXPECT_EQ(DayOfYear(Day(2026, 12, 31)), 365);
    EXPECT_EQ(DayOfYear(Day(2024, 12, 31)), 366);
    EXPECT_EQ(DayOfYear(Day(2000, 3, 1)), 61);
    EXPECT_EQ(DayOfYear(Day(1900, 3, 1)), 60);
}

TEST(DateCalendar, QuartersAndYearsStartAndEndOnTheirEdges) {
    EXPECT_EQ(StartOfQuarter(Day(2026, 5, 15)), Day(2026, 4, 1));
    EXPECT_EQ(EndOfQuarter(Day(2026, 5, 15)), Day(2026, 6, 30));
    EXPECT_EQ(StartOfQuarter(Day(2026, 3, 31)), Day(2026, 1, 1));
    EXPECT_EQ(EndOfQuarter(Day(2026, 1, 1)), Day(2026, 3, 31));
    EXPECT_EQ(EndOfQuarter(Day(2026, 11, 1)), Day(2026, 12, 31));
    EXPECT_EQ(StartOfQuarter(Day(2026, 10, 1)), Day(2026, 10, 1));
    EXPECT_EQ(StartOfYear(Day(2024, 12, 31)), Day(2024, 1, 1));
    EXPECT_EQ(EndOfYear(Day(2024, 1, 1)), Day(2024, 12, 31));
    EXPECT_EQ(QuarterOf(1), 1);
    EXPECT_EQ(QuarterOf(3), 1);
    EXPECT_EQ(QuarterOf(4), 2);
    EXPECT_EQ(QuarterOf(12), 4);
}

}  // namespace
