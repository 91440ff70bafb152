// The calendar under D and T fields: a D field holds its date as YYYYMMDD digits, so a day the
// Gregorian calendar does not have (29 February of a year that is not a leap year) is refused;
// a T field holds a Julian day number, so the day after 28 February must land on the right day.

#include <gtest/gtest.h>

#include <string>

#include "foxpro/error.h"
#include "foxpro/field_decoder.h"
#include "tests/foxpro/value_text.h"

namespace rowlark::foxpro {
namespace {

class CalendarFields : public ::testing::Test {
protected:
    std::string Read(char type, const std::string& bytes) {
        FieldInfo field;
        field.name = type == 'D' ? "DAY" : "STAMP";
        field.type = type;
        field.length = 8;
        DecodeContext context{decoder_, nullptr, {}};
        try {
            return testing::ValueText(DecodeField(field, bytes, context, {"t.dbf", 1, field.name}));
        } catch (const FoxProError& error) {
            return std::string("error:") + error.what();
        }
    }

    // A T field's bytes: the Julian day number and the milliseconds since midnight, little-endian.
    static std::string DateTimeBytes(std::uint32_t julian_day, std::uint32_t ms) {
        std::string bytes(8, '\0');
        for (int i = 0; i < 4; ++i) {
            bytes[static_cast<std::size_t>(i)] = static_cast<char>(julian_day >> (8 * i) & 0xFF);
            bytes[static_cast<std::size_t>(4 + i)] = static_cast<char>(ms >> (8 * i) & 0xFF);
        }
        return bytes;
    }

    TextDecoder decoder_{1251};
};

TEST_F(CalendarFields, DateFieldTakesTheTwentyNinthOfFebruaryOnlyInLeapYears) {
    // Leap years: divisible by 4, except centuries, except those divisible by 400.
    for (const char* day : {"20000229", "24000229", "20240229", "19960229", "16000229"})
        EXPECT_EQ(Read('D', day), std::string("date:") + std::string(day).substr(0, 4) + "-02-29") << day;
    for (const char* day : {"19000229", "21000229", "22000229", "23000229", "20230229", "20250229", "17000229"})
        EXPECT_EQ(Read('D', day),
                  std::string("error:t.dbf: record 1, field DAY: \"") + day + "\" is not a date (YYYYMMDD)")
            << day;
}

TEST_F(CalendarFields, DateFieldRefusesOtherDaysTheMonthDoesNotHave) {
    for (const char* day : {"20000230", "20240431", "20241301", "20240001", "20240100", "20241232", "00000101"})
        EXPECT_EQ(Read('D', day).rfind("error:", 0), 0u) << day << ": " << Read('D', day);
    EXPECT_EQ(Read('D', "20240131"), "date:2024-01-31");
    EXPECT_EQ(Read('D', "20241231"), "date:2024-12-31");
    EXPECT_EQ(Read('D', "        "), "null:");
}

TEST_F(CalendarFields, DateTimeDayAfterTheTwentyEighthOfFebruaryFollowsTheLeapYearRule) {
    // Julian day numbers of 28 February (the proleptic Gregorian day count plus 1721425).
    const struct {
        std::uint32_t february_28;
        const char* next;
    } years[] = {
        {2415079, "1900-03-01"}, {2451603, "2000-02-29"}, {2488128, "2100-03-01"},
        {2597700, "2400-02-29"}, {2460004, "2023-03-01"}, {2460369, "2024-02-29"},
    };
    for (const auto& year : years) {
        const std::string february_28 = std::string(year.next).substr(0, 4) + "-02-28";
        EXPECT_EQ(Read('T', DateTimeBytes(year.february_28, 0)), "datetime:" + february_28 + "T00:00:00");
        EXPECT_EQ(Read('T', DateTimeBytes(year.february_28 + 1, 43200000)), std::string("datetime:") + year.next + "T12:00:00");
    }
    // The last second of 28 February rounds up into the next day, by the same rule.
    EXPECT_EQ(Read('T', DateTimeBytes(2415079, 86399600)), "datetime:1900-03-01T00:00:00");
    EXPECT_EQ(Read('T', DateTimeBytes(2451603, 86399600)), "datetime:2000-02-29T00:00:00");
}

}  // namespace
}  // namespace rowlark::foxpro
