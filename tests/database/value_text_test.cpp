// Numbers as plain text and back: what the provider sees and sends back as index values.

#include <gtest/gtest.h>

#include <cmath>

#include "database/value_text.h"

namespace rowlark::database {
namespace {

TEST(FormatReal, WritesShortestPlainDecimalWithoutTrailingZeros) {
    EXPECT_EQ(FormatReal(12.5), "12.5");
    EXPECT_EQ(FormatReal(3.0), "3");
    EXPECT_EQ(FormatReal(1234.56), "1234.56");
    EXPECT_EQ(FormatReal(99999.99), "99999.99");
    EXPECT_EQ(FormatReal(0.01), "0.01");
    EXPECT_EQ(FormatReal(-7.1), "-7.1");
    EXPECT_EQ(FormatReal(1e14), "100000000000000");
}

TEST(FormatReal, EveryValueReadsBackExactly) {
    for (double value : {0.1 + 0.2, 1.0 / 3.0, 123456.789012345678, 5e-324, 1.7976931348623157e308}) {
        const auto back = ParseNumber(FormatReal(value));
        ASSERT_TRUE(back.has_value()) << FormatReal(value);
        ASSERT_TRUE(std::holds_alternative<double>(*back)) << FormatReal(value);
        EXPECT_EQ(std::get<double>(*back), value) << FormatReal(value);
    }
}

TEST(ParseNumber, WholeNumbersStayWholeAndFractionsAreReal) {
    EXPECT_EQ(ParseNumber("42"), Number(std::int64_t{42}));
    EXPECT_EQ(ParseNumber("-9223372036854775808"), Number(INT64_MIN));
    EXPECT_EQ(ParseNumber("12.5"), Number(12.5));
    EXPECT_EQ(ParseNumber("1e3"), Number(1000.0));
    EXPECT_EQ(ParseNumber("99999999999999999999"), Number(1e20)) << "too big to be whole";
}

TEST(ParseNumber, RefusesAnythingElse) {
    for (const char* text : {"", " 1", "1 ", "1,5", "abc", "0x10", "inf", "nan", "1e999", "+"})
        EXPECT_FALSE(ParseNumber(text).has_value()) << text;
}

}  // namespace
}  // namespace rowlark::database
