#pragma once
// The moment ТекущаяДата and ТекущееВремя read: the machine's local day and time of day.

#include "tools/script/language/date_calendar.h"

namespace script {

struct Moment {
    calendar::DayNumber day;
    int hour;    // 0..23
    int minute;  // 0..59
    int second;  // 0..59 (a leap second shows as 59)
};

// The local time now; a clock beyond the calendar's range gives its nearest end.
Moment LocalNow();

}  // namespace script
