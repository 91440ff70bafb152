#include "tools/i18n/locale_forms.h"

#include <langinfo.h>
#include <locale.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <ctime>

namespace tool_text {

namespace {

// The separator and the group sizes (the C library's grouping string) of the user's number locale,
// which Start() leaves out of the program's own locale.
struct NumberGroups {
    std::string separator = ",";
    std::string sizes = "\3";
};

NumberGroups ReadNumberGroups() {
    NumberGroups groups;
    const locale_t numbers = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(0));
    if (numbers == static_cast<locale_t>(0)) return groups;
    const char* separator = nl_langinfo_l(THOUSEP, numbers);
    const char* sizes = nl_langinfo_l(GROUPING, numbers);
    if (separator != nullptr && *separator != '\0' && sizes != nullptr && *sizes != '\0') {
        groups.separator = separator;
        groups.sizes = sizes;
    }
    freelocale(numbers);
    return groups;
}

bool IsClassicTime() {
    const char* name = std::setlocale(LC_TIME, nullptr);
    return name == nullptr || std::strcmp(name, "C") == 0 || std::strcmp(name, "POSIX") == 0 ||
           std::strncmp(name, "C.", 2) == 0;
}

int Digits(std::string_view text) {
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return -1;
        value = value * 10 + (c - '0');
    }
    return value;
}

}  // namespace

std::string Grouped(long long number) {
    static const NumberGroups groups = ReadNumberGroups();
    const unsigned long long magnitude = number < 0 ? 0ULL - static_cast<unsigned long long>(number)
                                                    : static_cast<unsigned long long>(number);
    const std::string digits = std::to_string(magnitude);
    // Groups from the right: each size of the grouping string in turn, the last one repeating.
    std::string text;
    std::size_t left = digits.size();
    std::size_t size_index = 0;
    while (left > 0) {
        const int size = groups.sizes[size_index];
        const std::size_t take = size <= 0 || size == CHAR_MAX ? left : std::min<std::size_t>(left, size);
        text.insert(0, digits, left - take, take);
        left -= take;
        if (left > 0) text.insert(0, groups.separator);
        if (size_index + 1 < groups.sizes.size()) ++size_index;
    }
    return (number < 0 ? "-" : "") + text;
}

std::optional<std::string> LocalDate(std::string_view iso) {
    if (iso.size() != 10 || iso[4] != '-' || iso[7] != '-') return std::nullopt;
    const int year = Digits(iso.substr(0, 4));
    const int month = Digits(iso.substr(5, 2));
    const int day = Digits(iso.substr(8, 2));
    static constexpr int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 0 || month < 1 || month > 12 || day < 1 || day > kDays[month - 1]) return std::nullopt;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    if (month == 2 && day == 29 && !leap) return std::nullopt;
    if (IsClassicTime()) return std::string(iso);
    std::tm date{};
    date.tm_year = year - 1900;
    date.tm_mon = month - 1;
    date.tm_mday = day;
    char text[64];
    const std::size_t length = std::strftime(text, sizeof text, nl_langinfo(D_FMT), &date);
    if (length == 0) return std::string(iso);
    return std::string(text, length);
}

}  // namespace tool_text
