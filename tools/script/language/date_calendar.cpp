#include "tools/script/language/date_calendar.h"

#include <boost/date_time/gregorian/greg_date.hpp>

namespace script::calendar {

namespace {

using boost::gregorian::date;
using Calendar = boost::gregorian::gregorian_calendar;

date DateOf(DayNumber day) { return date(Calendar::from_day_number(static_cast<Calendar::date_int_type>(day))); }
DayNumber NumberOf(const date& d) { return static_cast<DayNumber>(d.day_number()); }
// Requires: a valid day of the range.
DayNumber Make(int year, int month, int day) {
    return NumberOf(date(static_cast<unsigned short>(year), static_cast<unsigned short>(month),
                         static_cast<unsigned short>(day)));
}

bool InRange(std::int64_t day) { return day >= FirstDay() && day <= LastDay(); }

}  // namespace

bool IsLeapYear(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

int DaysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

std::optional<DayNumber> DayOf(std::int64_t year, std::int64_t month, std::int64_t day) {
    if (year < kFirstYear || year > kLastYear || month < 1 || month > 12 || day < 1) return std::nullopt;
    if (day > DaysInMonth(static_cast<int>(year), static_cast<int>(month))) return std::nullopt;
    return Make(static_cast<int>(year), static_cast<int>(month), static_cast<int>(day));
}

std::optional<DayNumber> AddDays(DayNumber day, std::int64_t count) {
    // Both within a few million of zero, so the sum cannot overflow once count is bounded.
    if (count > LastDay() || count < -LastDay()) return std::nullopt;
    const std::int64_t sum = static_cast<std::int64_t>(day) + count;
    if (!InRange(sum)) return std::nullopt;
    return static_cast<DayNumber>(sum);
}

DayNumber FirstDay() { return Make(kFirstYear, 1, 1); }
DayNumber LastDay() { return Make(kLastYear, 12, 31); }

Civil CivilOf(DayNumber day) {
    const date d = DateOf(day);
    return {static_cast<int>(d.year()), static_cast<int>(d.month()), static_cast<int>(d.day())};
}

std::optional<DayNumber> AddMonths(DayNumber day, std::int64_t count) {
    const Civil c = CivilOf(day);
    constexpr std::int64_t kMonthsInRange = (kLastYear - kFirstYear + 1) * 12;
    if (count > kMonthsInRange || count < -kMonthsInRange) return std::nullopt;
    const std::int64_t months = static_cast<std::int64_t>(c.year) * 12 + (c.month - 1) + count;
    const std::int64_t year = months / 12;
    if (months < 0 || year < kFirstYear || year > kLastYear) return std::nullopt;
    const int month = static_cast<int>(months % 12) + 1;
    const int last = DaysInMonth(static_cast<int>(year), month);
    return Make(static_cast<int>(year), month, c.day < last ? c.day : last);
}

DayNumber StartOfMonth(DayNumber day) {
    const Civil c = CivilOf(day);
    return Make(c.year, c.month, 1);
}

DayNumber EndOfMonth(DayNumber day) {
    const Civil c = CivilOf(day);
    return Make(c.year, c.month, DaysInMonth(c.year, c.month));
}

DayNumber StartOfQuarter(DayNumber day) {
    const Civil c = CivilOf(day);
    return Make(c.year, (QuarterOf(c.month) - 1) * 3 + 1, 1);
}

DayNumber EndOfQuarter(DayNumber day) {
    const Civil c = CivilOf(day);
    const int month = QuarterOf(c.month) * 3;
    return Make(c.year, month, DaysInMonth(c.year, month));
}

DayNumber StartOfYear(DayNumber day) { return Make(CivilOf(day).year, 1, 1); }
DayNumber EndOfYear(DayNumber day) { return Make(CivilOf(day).year, 12, 31); }

std::optional<DayNumber> StartOfWeek(DayNumber day) { return AddDays(day, 1 - WeekDay(day)); }
std::optional<DayNumber> EndOfWeek(DayNumber day) { return AddDays(day, 7 - WeekDay(day)); }

int WeekDay(DayNumber day) {
    const int sunday_first = DateOf(day).day_of_week().as_number();  // Sunday 0 .. Saturday 6
    return sunday_first == 0 ? 7 : sunday_first;
}

int DayOfYear(DayNumber day) { return static_cast<int>(DateOf(day).day_of_year()); }

int WeekOfYear(DayNumber day) {
    const DayNumber first = StartOfYear(day);
    // Days between the Monday of week 1 (possibly in the year before) and the day.
    const int from_monday = (day - first) + (WeekDay(first) - 1);
    return from_monday / 7 + 1;
}

int QuarterOf(int month) { return (month - 1) / 3 + 1; }

}  // namespace script::calendar
