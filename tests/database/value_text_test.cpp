// Numbers as plain text and back: what the provider sees and sends back as index values.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <utility>
#include <vector>

#include "database/value_text.h"
#include "tests/database/database_fixture.h"

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

constexpr std::int64_t kTwoTo53 = std::int64_t{1} << 53;

// How SQLite itself orders the two numbers, bound as they are (integer or real).
int SqliteOrder(sqlite3* db, const Number& a, const Number& b) {
    Statement compare(db, "SELECT (?1 > ?2) - (?1 < ?2)");
    const auto bind = [&](int index, const Number& number) {
        if (const auto* whole = std::get_if<std::int64_t>(&number)) compare.BindInt(index, *whole);
        else compare.BindReal(index, std::get<double>(number));
    };
    bind(1, a);
    bind(2, b);
    compare.Step();
    return static_cast<int>(compare.ColumnInt(0));
}

std::string Shown(const Number& number) {
    if (const auto* whole = std::get_if<std::int64_t>(&number)) return std::to_string(*whole);
    return FormatReal(std::get<double>(number)) + " (real)";
}

TEST(CompareNumbers, TellsApartWholeNumbersThatOneDoubleHolds) {
    EXPECT_EQ(CompareNumbers(kTwoTo53 + 1, kTwoTo53), 1);
    EXPECT_EQ(CompareNumbers(kTwoTo53 + 1, static_cast<double>(kTwoTo53)), 1);
    EXPECT_EQ(CompareNumbers(static_cast<double>(kTwoTo53), kTwoTo53 + 1), -1);
    EXPECT_EQ(CompareNumbers(kTwoTo53, static_cast<double>(kTwoTo53)), 0);
    EXPECT_EQ(CompareNumbers(INT64_MAX, 9223372036854775807.0), -1) << "the real is 2^63";
    EXPECT_EQ(CompareNumbers(INT64_MIN, -9223372036854775808.0), 0);
}

TEST(CompareNumbers, OrdersEveryPairAsSqliteDoes) {
    const double inf = std::numeric_limits<double>::infinity();
    const std::vector<Number> numbers = {
        INT64_MIN, -9223372036854775808.0, -1e300, -inf, std::int64_t{-1}, -1.0, -0.5, std::int64_t{0}, 0.0, -0.0,
        0.5, std::int64_t{1}, 1.0, 1.5, kTwoTo53 - 1, kTwoTo53, kTwoTo53 + 1, static_cast<double>(kTwoTo53),
        9007199254740994.0, INT64_MAX - 1, INT64_MAX, 9223372036854775807.0, 1e300, inf};
    auto db = testing::OpenMemoryDb();
    for (const Number& a : numbers)
        for (const Number& b : numbers)
            EXPECT_EQ(CompareNumbers(a, b), SqliteOrder(db.get(), a, b)) << Shown(a) << " against " << Shown(b);
}

}  // namespace
}  // namespace rowlark::database
