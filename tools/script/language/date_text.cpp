#include "tools/script/language/date_text.h"

#include <array>
#include <cstdio>
#include <vector>

#include "tools/script/bridge/host_text.h"
#include "tools/script/bridge/russian.h"

namespace script::date_text {

namespace {

using calendar::Civil;
using calendar::CivilOf;
using calendar::kEmptyDate;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view Trimmed(std::string_view text) {
    const char* blanks = " \t\r\n";
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

// The number the digits spell; none unless the text is 1..max_digits digits.
std::optional<int> Digits(std::string_view text, std::size_t min_digits, std::size_t max_digits) {
    if (text.size() < min_digits || text.size() > max_digits) return std::nullopt;
    int value = 0;
    for (char c : text) {
        if (!IsDigit(c)) return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

std::vector<std::string_view> Split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    for (std::size_t at = 0;;) {
        const std::size_t next = text.find(separator, at);
        parts.push_back(text.substr(at, next == std::string_view::npos ? std::string_view::npos : next - at));
        if (next == std::string_view::npos) return parts;
        at = next + 1;
    }
}

// Year, month and day as read; all three zero is the empty date.
std::optional<DayNumber> DayOrEmpty(int year, int month, int day) {
    if (year == 0 && month == 0 && day == 0) return kEmptyDate;
    return calendar::DayOf(year, month, day);
}

std::optional<DayNumber> ParseIso(std::string_view text) {
    if (text.size() > 10 && text[10] != ' ' && text[10] != 'T') return std::nullopt;
    const std::string_view day_part = text.substr(0, 10);
    if (day_part.size() != 10 || day_part[4] != '-' || day_part[7] != '-') return std::nullopt;
    const auto year = Digits(day_part.substr(0, 4), 4, 4), month = Digits(day_part.substr(5, 2), 2, 2),
               day = Digits(day_part.substr(8, 2), 2, 2);
    if (!year || !month || !day) return std::nullopt;
    return DayOrEmpty(*year, *month, *day);
}

std::optional<DayNumber> ParseCompact(std::string_view text) {
    if (!Digits(text, 8, 8)) return std::nullopt;
    return DayOrEmpty(*Digits(text.substr(0, 4), 4, 4), *Digits(text.substr(4, 2), 2, 2),
                      *Digits(text.substr(6, 2), 2, 2));
}

std::string TwoDigits(int n) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "%02d", n % 100);
    return buffer;
}

std::string FourDigits(int n) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "%04d", n);
    return buffer;
}

std::string_view MonthName(int month) {  // as a month stands alone: "Январь"
    static const std::array<std::string_view, 12> kNames = {
        RU("Январь"), RU("Февраль"), RU("Март"),     RU("Апрель"),  RU("Май"),    RU("Июнь"),
        RU("Июль"),   RU("Август"),  RU("Сентябрь"), RU("Октябрь"), RU("Ноябрь"), RU("Декабрь")};
    return kNames[static_cast<std::size_t>(month - 1)];
}

std::string_view MonthOfDay(int month) {  // as it follows a day: "8 декабря"
    static const std::array<std::string_view, 12> kNames = {
        RU("января"), RU("февраля"), RU("марта"),    RU("апреля"),  RU("мая"),    RU("июня"),
        RU("июля"),   RU("августа"), RU("сентября"), RU("октября"), RU("ноября"), RU("декабря")};
    return kNames[static_cast<std::size_t>(month - 1)];
}

std::string YearWord(int year) { return FourDigits(year) + " " + std::string(RU("г.")); }

enum class Mask { DotsShortYear, DotsLongYear, WordsShortYear, WordsLongYear, MonthYear, QuarterYear, Sortable };

std::optional<Mask> MaskOf(const std::string& upper) {
    static const std::array<std::pair<std::string_view, Mask>, 7> kMasks = {{
        {RU("ДДММГГ"), Mask::DotsShortYear},
        {RU("ДДММГГГГ"), Mask::DotsLongYear},
        {RU("ДДМММГГ"), Mask::WordsShortYear},
        {RU("ДДМММГГГГ"), Mask::WordsLongYear},
        {RU("ММММГГГГ"), Mask::MonthYear},
        {RU("КВКВГГГГ"), Mask::QuarterYear},
        {RU("ГГГГММДД"), Mask::Sortable},
    }};
    for (const auto& [text, mask] : kMasks)
        if (upper == text) return mask;
    return std::nullopt;
}

std::string Formatted(const Civil& c, Mask mask) {
    const std::string day = TwoDigits(c.day);
    switch (mask) {
        case Mask::DotsShortYear: return day + "." + TwoDigits(c.month) + "." + TwoDigits(c.year);
        case Mask::DotsLongYear: return day + "." + TwoDigits(c.month) + "." + FourDigits(c.year);
        case Mask::WordsShortYear:
            return day + " " + std::string(MonthOfDay(c.month)) + " " + TwoDigits(c.year) + " " + std::string(RU("г."));
        case Mask::WordsLongYear: return day + " " + std::string(MonthOfDay(c.month)) + " " + YearWord(c.year);
        case Mask::MonthYear: return std::string(MonthName(c.month)) + " " + YearWord(c.year);
        case Mask::QuarterYear:
            return std::to_string(calendar::QuarterOf(c.month)) + " " + std::string(RU("квартал")) + " " +
                   YearWord(c.year);
        case Mask::Sortable: return FourDigits(c.year) + TwoDigits(c.month) + day;
    }
    return std::string();
}

std::string EmptyFormatted(Mask mask) {
    switch (mask) {
        case Mask::DotsShortYear: return "  .  .  ";
        case Mask::DotsLongYear: return "  .  .    ";
        case Mask::Sortable: return "        ";
        default: return std::string();
    }
}

}  // namespace

int CenturyYear(int two_digits) { return two_digits < 30 ? 2000 + two_digits : 1900 + two_digits; }

std::optional<DayNumber> ParseLiteral(std::string_view text) {
    const std::vector<std::string_view> parts = Split(text, '.');
    if (parts.size() != 3) return std::nullopt;
    const auto blank = [](std::string_view part) { return part.find_first_not_of(' ') == std::string_view::npos; };
    if (blank(parts[0]) && blank(parts[1]) && blank(parts[2])) return kEmptyDate;
    const auto day = Digits(parts[0], 1, 2), month = Digits(parts[1], 1, 2);
    const auto year = parts[2].size() == 2 || parts[2].size() == 4 ? Digits(parts[2], 2, 4) : std::nullopt;
    if (!day || !month || !year) return std::nullopt;
    if (*day == 0 && *month == 0 && *year == 0) return kEmptyDate;
    return calendar::DayOf(parts[2].size() == 2 ? CenturyYear(*year) : *year, *month, *day);
}

std::optional<DayNumber> ParseDate(std::string_view text) {
    text = Trimmed(text);
    if (text.empty()) return kEmptyDate;
    if (text.find('.') != std::string_view::npos) return ParseLiteral(text);
    if (text.find('-') != std::string_view::npos) return ParseIso(text);
    return ParseCompact(text);
}

std::string Presentation(DayNumber day) {
    if (day == kEmptyDate) return EmptyFormatted(Mask::DotsShortYear);
    return Formatted(CivilOf(day), Mask::DotsShortYear);
}

std::optional<std::string> FormatDate(DayNumber day, std::string_view mask_text) {
    const std::string upper = ToUpper(Trimmed(mask_text));
    std::optional<Mask> mask = MaskOf(upper);
    const std::string_view type_letter = RU("Д");
    if (!mask && upper.compare(0, type_letter.size(), type_letter) == 0)
        mask = MaskOf(upper.substr(type_letter.size()));
    if (!mask) return std::nullopt;
    if (day == kEmptyDate) return EmptyFormatted(*mask);
    return Formatted(CivilOf(day), *mask);
}

std::string PeriodText(DayNumber from, DayNumber to) {
    if (from == kEmptyDate || to == kEmptyDate || to < from)
        return Presentation(from) + " - " + Presentation(to);
    if (from == to) return Presentation(from);
    const Civil start = CivilOf(from), end = CivilOf(to);
    const bool year_start = from == calendar::StartOfYear(from);
    if (start.year == end.year && to == calendar::EndOfMonth(to)) {
        if (from == calendar::StartOfMonth(to)) return Formatted(start, Mask::MonthYear);
        if (from == calendar::StartOfQuarter(to) && end.month % 3 == 0) return Formatted(end, Mask::QuarterYear);
        if (year_start && end.month == 6) return "1 " + std::string(RU("полугодие")) + " " + YearWord(end.year);
        if (year_start && end.month == 9) return "9 " + std::string(RU("месяцев")) + " " + YearWord(end.year);
        if (year_start && end.month == 12) return YearWord(end.year);
    }
    return Presentation(from) + " - " + Presentation(to);
}

}  // namespace script::date_text
