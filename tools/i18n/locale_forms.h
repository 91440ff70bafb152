#pragma once
// Numbers and dates in the tools' own texts as the user's locale writes them: "5 947" under a
// Russian locale, "5,947" otherwise (a locale that groups no digits, such as C, gets the English
// comma, the tools' texts being English there); an ISO date as the locale writes dates
// ("31.12.2024" in Russian), kept ISO under the C and POSIX locales. Read the locale Start()
// (tool_text.h) set.

#include <optional>
#include <string>
#include <string_view>

namespace tool_text {

// The number with its digits grouped, UTF-8.
std::string Grouped(long long number);
// The date an ISO text holds (YYYY-MM-DD, a real day) as the locale writes it; none for another text.
std::optional<std::string> LocalDate(std::string_view iso);

}  // namespace tool_text
