#include "tools/script/language/clock.h"

#include <algorithm>
#include <ctime>

namespace script {

Moment LocalNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    const int year = std::clamp(local.tm_year + 1900, calendar::kFirstYear, calendar::kLastYear);
    const auto day = calendar::DayOf(year, local.tm_mon + 1, local.tm_mday);
    return {day.value_or(calendar::FirstDay()), local.tm_hour, local.tm_min, std::min(local.tm_sec, 59)};
}

}  // namespace script
