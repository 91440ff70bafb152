#pragma once
// The calendar behind the language's dates: days of the Gregorian calendar from 1 January 1400 to
// 31 December 9999 (the range of boost::gregorian, which does the arithmetic), counted as Julian day
// numbers so that the difference of two days is a plain subtraction. Day number 0 is the empty
// date, which lies before every day.

#include <cstdint>
#include <optional>

namespace script::calendar {

using DayNumber = std::int32_t;
inline constexpr DayNumber kEmptyDate = 0;
inline constexpr int kFirstYear = 1400;
inline constexpr int kLastYear = 9999;

struct Civil {
    int year;
    int month;  // 1..12
    int day;    // 1..31
};

bool IsLeapYear(int year);
// Requires: month 1..12.
int DaysInMonth(int year, int month);

// The day with this year, month and day of month; none when there is no such day in the range.
std::optional<DayNumber> DayOf(std::int64_t year, std::int64_t month, std::int64_t day);
// The day `count` days after (before, when negative) `day`; none when it leaves the range.
std::optional<DayNumber> AddDays(DayNumber day, std::int64_t count);
DayNumber FirstDay();  // 01.01.1400
DayNumber LastDay();   // 31.12.9999

// The functions below require a day in the range (not the empty date).
Civil CivilOf(DayNumber day);
// The same day of the month `count` months later (earlier, when negative); a day the month lacks
// becomes its last day (31 January + 1 month = 28 or 29 February). None when it leaves the range.
std::optional<DayNumber> AddMonths(DayNumber day, std::int64_t count);
DayNumber StartOfMonth(DayNumber day);
DayNumber EndOfMonth(DayNumber day);
DayNumber StartOfQuarter(DayNumber day);
DayNumber EndOfQuarter(DayNumber day);
DayNumber StartOfYear(DayNumber day);
DayNumber EndOfYear(DayNumber day);
// Weeks run Monday to Sunday; none when the week's edge lies outside the range.
std::optional<DayNumber> StartOfWeek(DayNumber day);
std::optional<DayNumber> EndOfWeek(DayNumber day);
int WeekDay(DayNumber day);    // Monday 1 .. Sunday 7
int DayOfYear(DayNumber day);  // 1 .. 366
// Week 1 is the week (Monday to Sunday) that holds 1 January, whatever its weekday, so the days
// of late December fall in week 53 or, in a leap year that starts on a Sunday, 54.
int WeekOfYear(DayNumber day);
int QuarterOf(int month);  // 1..4

}  // namespace script::calendar
