// A server value reaches the host by two roads: a whole result drains its cells into the layer's
// arena, a streamed one gives its texts in CP1251 itself and the rest through its values. Both must
// give every server type the same host value (or the same refusal) as the plain reading of the cell.

#include "backend_fixture.h"

namespace {

// One cell as the host sees it: its kind and text, or the error its read raised.
struct HostCell {
    CValue::Kind kind = CValue::Kind::Empty;
    std::string text;
    bool operator==(const HostCell& other) const { return kind == other.kind && text == other.text; }
};

std::ostream& operator<<(std::ostream& out, const HostCell& cell) {
    return out << static_cast<int>(cell.kind) << ":" << cell.text;
}

HostCell Number(const std::string& text) { return {CValue::Kind::Number, text}; }
HostCell Text(const std::string& text) { return {CValue::Kind::String, text}; }
HostCell Refused(const std::string& error) { return {CValue::Kind::Empty, "refused: " + error}; }
const HostCell kNull{CValue::Kind::Empty, ""};

}  // namespace

class PgValueRoads : public BackendTest {
protected:
    template <class Result>
    HostCell Cell(Result& result, int column) {
        CValue v;
        v = "untouched";
        if (!result.GetFieldValue(column, v)) return Refused(LastError());
        return {v.GetKind(), v.GetKind() == CValue::Kind::Empty ? "" : Utf8(v)};
    }

    // Every cell of the one-row query by both roads, each checked against want.
    void ExpectBothRoads(const std::string& sql, const std::vector<HostCell>& want) {
        auto whole = Direct(sql);
        ASSERT_TRUE(whole.GetRow(0)) << LastError();
        auto stream = Sequential(sql);
        ASSERT_TRUE(stream.GetNextRow()) << LastError();
        for (std::size_t c = 0; c < want.size(); ++c) {
            EXPECT_EQ(Cell(whole, static_cast<int>(c)), want[c]) << "whole result, column " << c;
            EXPECT_EQ(Cell(stream, static_cast<int>(c)), want[c]) << "streamed result, column " << c;
        }
    }
};
INSTANTIATE_TEST_SUITE_P(Backends, PgValueRoads, ::testing::Values(Backend::kPostgres), BackendName);

TEST_P(PgValueRoads, IntegersAtTheirLimitsAndBooleansArriveAsExactNumbers) {
    ExpectBothRoads(
        "SELECT (-32768)::int2, 32767::int2, (-2147483648)::int4, 2147483647::int4, "
        "(-9223372036854775808)::int8, 9223372036854775807::int8, 0::int8, 4294967295::oid, true, false",
        {Number("-32768"), Number("32767"), Number("-2147483648"), Number("2147483647"),
         Number("-9223372036854775808"), Number("9223372036854775807"), Number("0"), Number("4294967295"),
         Number("1"), Number("0")});
}

TEST_P(PgValueRoads, NumericsStayExactAndRealsTakeTheirShortestDecimal) {
    ExpectBothRoads(
        "SELECT 12345678901234567.89::numeric, (-0.000001)::numeric(12,6), 5.10::numeric(6,2), "
        "1e20::numeric, 0.1::float8, 1.1::float4, (-2.5e-7)::float8, 0::numeric",
        {Number("12345678901234567.89"), Number("-0.000001"), Number("5.1"), Number("100000000000000000000"),
         Number("0.1"), Number("1.1"), Number("-0.00000025"), Number("0")});
}

TEST_P(PgValueRoads, NumbersTheHostCannotHoldAreRefusedOnBothRoads) {
    ExpectBothRoads(
        "SELECT 'NaN'::numeric, 'Infinity'::float8, '-Infinity'::float4, 'NaN'::float8, 7",
        {Refused("Ошибка базы данных: значение поля \"numeric\" не умещается в число: NaN"),
         Refused("Ошибка базы данных: значение поля \"float8\" не умещается в число: inf"),
         Refused("Ошибка базы данных: значение поля \"float4\" не умещается в число: -inf"),
         Refused("Ошибка базы данных: значение поля \"float8\" не умещается в число: nan"), Number("7")});
}

TEST_P(PgValueRoads, TextsDatesAndNullsArriveAsTheServerWritesThem) {
    ExpectBothRoads(
        "SELECT 'Щи да каша'::text, ''::text, 'ab'::char(4), 'Ёлка'::varchar(9), DATE '2024-02-29', "
        "TIMESTAMP '2024-01-31 12:34:56', NULL::int4, NULL::text, NULL::numeric, '\\x41'::bytea, "
        "repeat('Я', 5000)",
        {Text("Щи да каша"), Text(""), Text("ab  "), Text("Ёлка"), Text("2024-02-29"), Text("2024-01-31 12:34:56"),
         kNull, kNull, kNull, Text("A"), Text([] {
             std::string s;
             for (int i = 0; i < 5000; ++i) s += "Я";
             return s;
         }())});
}

TEST_P(PgValueRoads, TextLosingCharactersShowsThemAsQuestionMarksAndWarnsOnEitherRoad) {
    // The host's statement text is CP1251, so the server makes the character it cannot hold.
    const std::string sql = "SELECT 'a' || chr(10003) || 'b', 'Щ'::text";
    for (bool streamed : {false, true}) {
        CleanHost();
        CValue replaced, plain;
        if (streamed) {
            auto stream = Sequential(sql);
            ASSERT_TRUE(stream.GetNextRow()) << LastError();
            ASSERT_TRUE(stream.GetFieldValue(0, replaced));
            ASSERT_TRUE(stream.GetFieldValue(1, plain));
        } else {
            auto whole = Direct(sql);
            ASSERT_TRUE(whole.GetRow(0)) << LastError();
            ASSERT_TRUE(whole.GetFieldValue(0, replaced));
            ASSERT_TRUE(whole.GetFieldValue(1, plain));
        }
        EXPECT_EQ(Utf8(replaced), "a?b") << streamed;
        EXPECT_EQ(Utf8(plain), "Щ") << streamed;
        ASSERT_EQ(GetBkEndUI()->Lines().size(), 1u) << streamed;
        EXPECT_EQ(GetBkEndUI()->Lines()[0].marker, 2) << streamed;
    }
}

TEST_P(PgValueRoads, StreamedTextsFollowTheirOwnRowAndNeverTheLastTextGiven) {
    auto stream = Sequential("SELECT v, n FROM (VALUES ('длинный текст первой строки', 1), ('x', 2), (NULL, 3)) t(v, n)");
    const std::vector<HostCell> want = {Text("длинный текст первой строки"), Text("x"), kNull};
    for (std::size_t row = 0; row < want.size(); ++row) {
        ASSERT_TRUE(stream.GetNextRow()) << LastError();
        EXPECT_EQ(Cell(stream, 0), want[row]) << row;
        EXPECT_EQ(Cell(stream, 1), Number(std::to_string(row + 1))) << row;
    }
    EXPECT_FALSE(stream.GetNextRow());
}
