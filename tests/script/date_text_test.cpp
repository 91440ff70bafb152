// Dates as texts: the literal and the forms Дата reads (the host's and the database layer's ISO),
// the two-digit year's century, the presentation, Формат's masks and ПериодСтр.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/text/cp1251.h"
#include "tools/script/language/date_text.h"

namespace {

using namespace script::date_text;
using script::calendar::DayNumber;
using script::calendar::DayOf;
using script::calendar::kEmptyDate;

DayNumber Day(int year, int month, int day) { return DayOf(year, month, day).value_or(-1); }

std::string Formatted(DayNumber day, const std::string& utf8_mask) {
    const std::optional<std::string> text = FormatDate(day, cp1251::FromUtf8(utf8_mask));
    return text ? cp1251::ToUtf8(*text) : std::string("<none>");
}

std::string Period(DayNumber from, DayNumber to) { return cp1251::ToUtf8(PeriodText(from, to)); }

TEST(DateText, LiteralsReadTwoAndFourDigitYears) {
    EXPECT_EQ(ParseLiteral("08.12.26"), Day(2026, 12, 8));
    EXPECT_EQ(ParseLiteral("08.12.2026"), Day(2026, 12, 8));
    EXPECT_EQ(ParseLiteral("1.2.26"), Day(2026, 2, 1));
    EXPECT_EQ(ParseLiteral("29.02.2000"), Day(2000, 2, 29));
    EXPECT_EQ(ParseLiteral("01.01.1926"), Day(1926, 1, 1));
}

TEST(DateText, TwoDigitYearsBelowThirtyAreOfThisCentury) {
    EXPECT_EQ(CenturyYear(0), 2000);
    EXPECT_EQ(CenturyYear(29), 2029);
    EXPECT_EQ(CenturyYear(30), 1930);
    EXPECT_EQ(CenturyYear(99), 1999);
    EXPECT_EQ(ParseLiteral("31.12.29"), Day(2029, 12, 31));
    EXPECT_EQ(ParseLiteral("01.01.30"), Day(1930, 1, 1));
    EXPECT_EQ(ParseLiteral("31.12.99"), Day(1999, 12, 31));
}

TEST(DateText, ZerosAndBlanksAreTheEmptyDate) {
    EXPECT_EQ(ParseLiteral("00.00.00"), kEmptyDate);
    EXPECT_EQ(ParseLiteral("00.00.0000"), kEmptyDate);
    EXPECT_EQ(ParseLiteral("  .  .  "), kEmptyDate);
    EXPECT_EQ(ParseLiteral("  .  .    "), kEmptyDate);
    EXPECT_EQ(ParseDate(""), kEmptyDate);
    EXPECT_EQ(ParseDate("   "), kEmptyDate);
    EXPECT_EQ(ParseDate("0000-00-00"), kEmptyDate);
}

TEST(DateText, LiteralsThatNameNoDayAreRefused) {
    for (const char* text : {"32.01.26", "29.02.25", "29.02.1900", "00.01.26", "01.00.26", "01.13.26", "08.12.226",
                             "08.12.026", "08-12-26", "08.12", "08.12.26.", "ab.cd.ef", "", "123.12.26", "08.12.1399",
                             "8 .12.26", "+8.12.26"})
        EXPECT_FALSE(ParseLiteral(text)) << text;
}

TEST(DateText, DateReadsTheDatabaseIsoFormAndTheCompactForm) {
    EXPECT_EQ(ParseDate("2026-12-08"), Day(2026, 12, 8));
    EXPECT_EQ(ParseDate("2026-12-08 13:45:00"), Day(2026, 12, 8));
    EXPECT_EQ(ParseDate("2026-12-08T13:45"), Day(2026, 12, 8));
    EXPECT_EQ(ParseDate("  08.12.26  "), Day(2026, 12, 8));
    EXPECT_EQ(ParseDate("20261208"), Day(2026, 12, 8));
    for (const char* text : {"2026-02-30", "2026-1-8", "2026-12-08x", "26-12-08", "2026/12/08", "2026120", "abc",
                             "2026-13-01"})
        EXPECT_FALSE(ParseDate(text)) << text;
    // Trailing blanks are trimmed before the time part is looked for.
    EXPECT_EQ(ParseDate("2026-12-08 "), Day(2026, 12, 8));
}

TEST(DateText, PresentationHasTwoDigitYears) {
    EXPECT_EQ(Presentation(Day(2026, 12, 8)), "08.12.26");
    EXPECT_EQ(Presentation(Day(1999, 1, 31)), "31.01.99");
    EXPECT_EQ(Presentation(Day(2000, 2, 29)), "29.02.00");
    EXPECT_EQ(Presentation(kEmptyDate), "  .  .  ");
    // What Строка gives, Дата reads back.
    EXPECT_EQ(ParseDate(Presentation(Day(2029, 5, 1))), Day(2029, 5, 1));
    EXPECT_EQ(ParseDate(Presentation(kEmptyDate)), kEmptyDate);
}

TEST(DateText, FormatKnowsTheHostsDateMasks) {
    const DayNumber day = Day(2026, 12, 8);
    EXPECT_EQ(Formatted(day, "ДДММГГ"), "08.12.26");
    EXPECT_EQ(Formatted(day, "ДДММГГГГ"), "08.12.2026");
    EXPECT_EQ(Formatted(day, "ДДМММГГ"), "08 декабря 26 г.");
    EXPECT_EQ(Formatted(day, "ДДМММГГГГ"), "08 декабря 2026 г.");
    EXPECT_EQ(Formatted(day, "ММММГГГГ"), "Декабрь 2026 г.");
    EXPECT_EQ(Formatted(day, "КвКвГГГГ"), "4 квартал 2026 г.");
    EXPECT_EQ(Formatted(day, "ГГГГММДД"), "20261208");
    EXPECT_EQ(Formatted(Day(2027, 5, 1), "ДДМММГГГГ"), "01 мая 2027 г.");
    EXPECT_EQ(Formatted(Day(2027, 3, 1), "ММММГГГГ"), "Март 2027 г.");
}

TEST(DateText, FormatMasksTakeAnyCaseAndTheTypeLetter) {
    const DayNumber day = Day(2026, 1, 5);
    EXPECT_EQ(Formatted(day, "ддммгггг"), "05.01.2026");
    EXPECT_EQ(Formatted(day, "ДДДММГГГГ"), "05.01.2026");
    EXPECT_EQ(Formatted(day, "ДГГГГММДД"), "20260105");
    EXPECT_EQ(Formatted(day, "дкВкВгггг"), "1 квартал 2026 г.");
    EXPECT_EQ(Formatted(day, "ДД.ММ.ГГ"), "<none>");
    EXPECT_EQ(Formatted(day, ""), "<none>");
    EXPECT_EQ(Formatted(day, "Д"), "<none>");
    EXPECT_EQ(Formatted(day, "ЧЧ"), "<none>");
}

TEST(DateText, FormatOfTheEmptyDateIsBlank) {
    EXPECT_EQ(Formatted(kEmptyDate, "ДДММГГ"), "  .  .  ");
    EXPECT_EQ(Formatted(kEmptyDate, "ДДММГГГГ"), "  .  .    ");
    EXPECT_EQ(Formatted(kEmptyDate, "ДДМММГГГГ"), "");
    EXPECT_EQ(Formatted(kEmptyDate, "ГГГГММДД"), "        ");
}

TEST(DateText, PeriodTextNamesWholeMonthsQuartersHalvesAndYears) {
    EXPECT_EQ(Period(Day(2026, 2, 1), Day(2026, 2, 28)), "Февраль 2026 г.");
    EXPECT_EQ(Period(Day(2024, 2, 1), Day(2024, 2, 29)), "Февраль 2024 г.");
    EXPECT_EQ(Period(Day(2026, 4, 1), Day(2026, 6, 30)), "2 квартал 2026 г.");
    EXPECT_EQ(Period(Day(2026, 1, 1), Day(2026, 3, 31)), "1 квартал 2026 г.");
    EXPECT_EQ(Period(Day(2026, 1, 1), Day(2026, 6, 30)), "1 полугодие 2026 г.");
    EXPECT_EQ(Period(Day(2026, 1, 1), Day(2026, 9, 30)), "9 месяцев 2026 г.");
    EXPECT_EQ(Period(Day(2026, 1, 1), Day(2026, 12, 31)), "2026 г.");
    EXPECT_EQ(Period(Day(2026, 12, 8), Day(2026, 12, 8)), "08.12.26");
}

TEST(DateText, PeriodTextOfAnyOtherSpanShowsBothEnds) {
    EXPECT_EQ(Period(Day(2026, 12, 1), Day(2026, 12, 15)), "01.12.26 - 15.12.26");
    EXPECT_EQ(Period(Day(2026, 2, 1), Day(2026, 3, 31)), "01.02.26 - 31.03.26");
    EXPECT_EQ(Period(Day(2025, 1, 1), Day(2026, 12, 31)), "01.01.25 - 31.12.26");
    EXPECT_EQ(Period(Day(2026, 7, 1), Day(2026, 12, 31)), "01.07.26 - 31.12.26");
    EXPECT_EQ(Period(Day(2026, 3, 1), Day(2026, 2, 1)), "01.03.26 - 01.02.26");
    EXPECT_EQ(Period(kEmptyDate, Day(2026, 2, 1)), "  .  .   - 01.02.26");
}

}  // namespace
