// The direct result's encoding at the sizes where it changes: a text's length takes one more
// byte at 128, 16384 and 2097152 bytes, and is reserved by the UTF-8 size but written by the
// (smaller) CP1251 size; an integer takes 1, 2, 4 or 8 bytes by its value. Every value is read
// back beside a value stored after it, so a size written wrong shows in both.

#include <cstdint>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "oledb_fixture.h"
#include "platform/oledb/procedures.h"

namespace {

// A text of `cyrillic` letters "Ж" (two UTF-8 bytes, one CP1251 byte) then `ascii` letters "a".
struct TextCase {
    std::size_t cyrillic;
    std::size_t ascii;
    std::string Utf8() const {
        std::string text;
        text.reserve(cyrillic * 2 + ascii);
        for (std::size_t i = 0; i < cyrillic; ++i) text += "Ж";
        text.append(ascii, 'a');
        return text;
    }
    std::string Cp1251() const { return std::string(cyrillic, cp1251::FromUtf8("Ж")[0]) + std::string(ascii, 'a'); }
};

// CP1251 lengths on either side of each length-byte limit, reached by plain ASCII (UTF-8 size
// in the same class) and by Cyrillic (UTF-8 size one class higher: the text moves up after conversion).
const std::vector<TextCase> kTextCases = {
    {0, 0},       {0, 1},       {0, 127},     {0, 128},     {63, 1},      {64, 0},      {63, 2},
    {127, 0},     {128, 0},     {64, 63},     {0, 16383},   {0, 16384},   {8191, 1},    {8192, 0},
    {16383, 0},   {16384, 0},   {8192, 8191}, {0, 2097151}, {0, 2097152}, {1048576, 0}, {2097151, 0},
    {2097152, 0},
};

std::string Str(const CValue& value) { return std::string(value.GetString().view()); }

std::string Describe(const TextCase& c) {
    return std::to_string(c.cyrillic) + " Cyrillic + " + std::to_string(c.ascii) + " ASCII";
}

// Streams fixed rows, so the result is built by the cursor road rather than the statement road.
class RowsCursor : public oledb_backend::RowCursor {
public:
    explicit RowsCursor(std::vector<std::vector<oledb_backend::SqlValue>> rows) : rows_(std::move(rows)) {}
    int ColumnCount() const override { return 3; }
    std::string ColumnName(int column) const override { return "c" + std::to_string(column); }
    bool Step() override { return ++at_ < rows_.size(); }
    oledb_backend::SqlValue Column(int column) const override { return rows_[at_][static_cast<std::size_t>(column)]; }

private:
    std::vector<std::vector<oledb_backend::SqlValue>> rows_;
    std::size_t at_ = static_cast<std::size_t>(-1);
};

class DirectResultBoundaries : public OleDbTest {
protected:
    // Every row is (number, text, number); the numbers are the row's place, before and after the text.
    void ExpectTextRows(OleDb::CResultDirectAccessProxy result, const std::vector<TextCase>& cases) {
        ASSERT_TRUE(result.IsValid()) << LastError();
        // Backwards, so that each row is found by its own offset and not by reading on from the last.
        for (long row = static_cast<long>(cases.size()) - 1; row >= 0; --row) {
            const TextCase& c = cases[static_cast<std::size_t>(row)];
            CValue before, text, after;
            ASSERT_TRUE(result.GetRow(row)) << Describe(c);
            ASSERT_TRUE(result.GetFieldValue(0, before));
            ASSERT_TRUE(result.GetFieldValue(1, text));
            ASSERT_TRUE(result.GetFieldValue(2, after));
            EXPECT_EQ(Str(before), std::to_string(row)) << Describe(c);
            EXPECT_EQ(text.GetKind(), CValue::Kind::String) << Describe(c);
            const std::string expected = c.Cp1251();
            EXPECT_EQ(text.GetString().view().size(), expected.size()) << Describe(c);
            EXPECT_TRUE(text.GetString().view() == expected) << Describe(c);
            EXPECT_EQ(Str(after), std::to_string(-row)) << Describe(c);
        }
    }
};

TEST_F(DirectResultBoundaries, TextsAtEveryLengthByteLimitReadBackWholeWithTheValueAfterThem) {
    Exec("CREATE TABLE t(place INTEGER, cyrillic INTEGER, ascii INTEGER)");
    for (std::size_t i = 0; i < kTextCases.size(); ++i)
        Exec("INSERT INTO t VALUES (" + std::to_string(i) + ", " + std::to_string(kTextCases[i].cyrillic) + ", " +
             std::to_string(kTextCases[i].ascii) + ")");
    // hex(zeroblob(n)) is 2n zeros; each pair of them becomes one letter.
    LONG count = 0;
    auto result = Direct(
        "SELECT place, replace(hex(zeroblob(cyrillic)), '00', 'Ж') || replace(hex(zeroblob(ascii)), '00', 'a'),"
        " -place FROM t ORDER BY place",
        count);
    EXPECT_EQ(count, static_cast<long>(kTextCases.size()));
    ExpectTextRows(result, kTextCases);
    EXPECT_TRUE(host_errors::Raised().empty());
}

TEST_F(DirectResultBoundaries, TextsAtEveryLengthByteLimitReadBackWholeFromAProcedure) {
    std::vector<std::vector<oledb_backend::SqlValue>> rows;
    for (std::size_t i = 0; i < kTextCases.size(); ++i) {
        const auto place = static_cast<std::int64_t>(i);
        rows.push_back({oledb_backend::SqlValue::Int(place), oledb_backend::SqlValue::Text(kTextCases[i].Utf8()),
                        oledb_backend::SqlValue::Int(-place)});
    }
    oledb_backend::AddProcedure(*data_->connection(), "BoundaryRows", [rows](const oledb_backend::ProcedureSite&,
                                                            const std::vector<oledb_backend::ProcArg>&) {
        return std::make_unique<RowsCursor>(rows);
    });
    ExpectTextRows(Direct("BoundaryRows ()"), kTextCases);
}

TEST_F(DirectResultBoundaries, TextWithNulBytesAtALengthLimitKeepsThemAll) {
    // 128 bytes with NULs inside: the length, not a terminator, says where the text ends.
    Exec("CREATE TABLE z(t BLOB); INSERT INTO z VALUES (zeroblob(128)), (x'41004200');");
    auto result = Direct("SELECT t, 7 FROM z ORDER BY rowid");
    CValue text, after;
    ASSERT_TRUE(result.GetRow(0));
    ASSERT_TRUE(result.GetFieldValue(0, text));
    ASSERT_TRUE(result.GetFieldValue(1, after));
    EXPECT_TRUE(text.GetString().view() == std::string(128, '\0'));
    EXPECT_EQ(Str(after), "7");
    ASSERT_TRUE(result.GetRow(1));
    ASSERT_TRUE(result.GetFieldValue(0, text));
    EXPECT_TRUE(text.GetString().view() == std::string("A\0B\0", 4));
}

TEST_F(DirectResultBoundaries, IntegersOnEitherSideOfEveryWidthLimitKeepTheirValueAndTheValueAfterThem) {
    const char* const values[] = {"-9223372036854775808", "-9223372036854775807", "-2147483649", "-2147483648",
                                  "-2147483647",          "-32769",               "-32768",      "-32767",
                                  "-129",                 "-128",                 "-127",        "-1",
                                  "0",                    "1",                    "127",         "128",
                                  "32767",                "32768",                "2147483647",  "2147483648",
                                  "9223372036854775806",  "9223372036854775807"};
    Exec("CREATE TABLE n(v INTEGER, place INTEGER)");
    const long rows = static_cast<long>(std::size(values));
    for (long i = 0; i < rows; ++i)
        Exec(std::string("INSERT INTO n VALUES (CAST('") + values[i] + "' AS INTEGER), " + std::to_string(i) + ")");
    // Each row is (v, the next row's v, a text): a width written wrong moves the values after it.
    auto result = Direct("SELECT v, lead(v) OVER (ORDER BY place), 'end' || place FROM n ORDER BY place");
    ASSERT_TRUE(result.IsValid()) << LastError();
    for (long row = rows - 1; row >= 0; --row) {
        CValue v, next, text;
        ASSERT_TRUE(result.GetRow(row));
        ASSERT_TRUE(result.GetFieldValue(0, v));
        ASSERT_TRUE(result.GetFieldValue(1, next));
        ASSERT_TRUE(result.GetFieldValue(2, text));
        EXPECT_EQ(v.GetKind(), CValue::Kind::Number) << values[row];
        EXPECT_EQ(Str(v), values[row]);
        if (row + 1 < rows) EXPECT_EQ(Str(next), values[row + 1]) << "after " << values[row];
        else EXPECT_EQ(next.GetKind(), CValue::Kind::Empty);
        EXPECT_EQ(Str(text), "end" + std::to_string(row)) << "after " << values[row];
    }
}

TEST_F(DirectResultBoundaries, FirstAndLastRowsOfOneRowAndManyRowResults) {
    Exec("CREATE TABLE r(v INTEGER); INSERT INTO r VALUES (5);");
    auto one = Direct("SELECT v FROM r");
    CValue v;
    ASSERT_TRUE(one.GetRow(0));
    ASSERT_TRUE(one.GetFieldValue(0, v));
    EXPECT_EQ(Str(v), "5");
    EXPECT_FALSE(one.GetRow(1));
    EXPECT_FALSE(one.GetFieldValue(0, v)) << "a failed move leaves no current row";

    // 70,000 rows: more than 16-bit row numbers, each a value of its own width.
    Exec("WITH RECURSIVE s(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM s WHERE i < 70000)"
         " INSERT INTO r SELECT i * 40000 FROM s");
    LONG count = 0;
    auto many = Direct("SELECT v FROM r ORDER BY rowid", count);
    ASSERT_EQ(count, 70001);
    ASSERT_TRUE(many.GetRow(70000));
    ASSERT_TRUE(many.GetFieldValue(0, v));
    EXPECT_EQ(Str(v), std::to_string(70000LL * 40000)) << "the last row";
    EXPECT_FALSE(many.GetRow(70001));
    ASSERT_TRUE(many.GetRow(0));
    ASSERT_TRUE(many.GetFieldValue(0, v));
    EXPECT_EQ(Str(v), "5") << "the first row";
    ASSERT_TRUE(many.GetRow(65536));
    ASSERT_TRUE(many.GetFieldValue(0, v));
    EXPECT_EQ(Str(v), std::to_string(65536LL * 40000));
}

}  // namespace
