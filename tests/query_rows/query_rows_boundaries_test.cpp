// QueryRows at its edges: start rows exactly on a filter bound (and on the first text above an
// upper bound), bounds with and without trailing blanks, empty index texts, bytes 0xFF at the end of
// a bound, number tags at the limits of 64-bit integers, and counts of 1, exactly what is left and the most.

#include <cstdint>
#include <limits>

#include "tests/query_rows/query_rows_fixture.h"

namespace query_rows_test {
namespace {

// "Арбуи" is the least text above every text beginning with "Арбуз" ("з" is D0 B7, "и" D0 B8).
// Tag order, by value then key: 1 Ар, 8 Арбуж, 2 3 7 Арбуз, 4 Арбузик, 5 9 Арбуи, 6 Арбуй;
// 20, 21, 22 have the empty index text (NULL, empty, blanks) and come first.
class QueryRowsBoundaries : public QueryRowsTest {
protected:
    void SetUp() override {
        QueryRowsTest::SetUp();
        if (IsSkipped()) return;
        db().Exec("CREATE TABLE w (id integer PRIMARY KEY, word text, qty integer)");
        db().Exec("INSERT INTO w VALUES (1, 'Ар', 1), (2, 'Арбуз', 2), (3, 'Арбуз  ', 3), (4, 'Арбузик', 4),"
                  " (5, 'Арбуи', 5), (6, 'Арбуй', 6), (7, 'Арбуз', 7), (8, 'Арбуж', 8), (9, 'Арбуи', 9),"
                  " (20, NULL, 0), (21, '', 0), (22, '  ', 0)");
        db().AddIndexTag("w", "word", "word", "id");
        db().AddIndexTag("w", "qty", "qty", "id", true);
    }

    Keys Walk(const std::string& from, const std::string& to, const std::string& index, const std::string& key,
              bool forward, bool inclusive, const std::string& tag = "word") {
        Call call;
        call.table = "w";
        call.tag = tag;
        call.count = 100;
        call.from = from;
        call.to = to;
        call.index = index;
        call.key = key;
        call.forward = forward;
        call.inclusive = inclusive;
        return KeysOf(call);
    }
};

constexpr bool kForward = true, kBackward = false, kInclusive = true, kExclusive = false;

TEST_F(QueryRowsBoundaries, ValuesEqualToEitherBoundAreInsideAndTheFirstTextAboveTheUpperIsOutside) {
    EXPECT_EQ(Walk("Арбуз", "", "", "", kForward, kExclusive), (Keys{"2", "3", "7", "4", "5", "9", "6"}));
    EXPECT_EQ(Walk("", "Арбуз", "", "", kForward, kExclusive), (Keys{"20", "21", "22", "1", "8", "2", "3", "7", "4"}));
    EXPECT_EQ(Walk("Арбуз", "Арбуз", "", "", kBackward, kExclusive), (Keys{"4", "7", "3", "2"}));
    EXPECT_EQ(Walk("Арбуи", "Арбуи", "", "", kForward, kExclusive), (Keys{"5", "9"}));
}

TEST_F(QueryRowsBoundaries, StartRowOnTheLowerBoundOfATextTag) {
    // The first row of the range, taken with and without itself, both ways.
    EXPECT_EQ(Walk("Арбуз", "", "Арбуз", "2", kForward, kInclusive), (Keys{"2", "3", "7", "4", "5", "9", "6"}));
    EXPECT_EQ(Walk("Арбуз", "", "Арбуз", "2", kForward, kExclusive), (Keys{"3", "7", "4", "5", "9", "6"}));
    EXPECT_EQ(Walk("Арбуз", "", "Арбуз", "2", kBackward, kInclusive), (Keys{"2"}));
    EXPECT_EQ(Walk("Арбуз", "", "Арбуз", "2", kBackward, kExclusive), (Keys{}));
    // The last row of the bound's run of equal values.
    EXPECT_EQ(Walk("Арбуз", "", "Арбуз", "7", kForward, kExclusive), (Keys{"4", "5", "9", "6"}));
    EXPECT_EQ(Walk("Арбуз", "", "Арбуз", "7", kBackward, kExclusive), (Keys{"3", "2"}));
    EXPECT_EQ(Walk("Арбуз", "", "Арбуз", "7", kBackward, kInclusive), (Keys{"7", "3", "2"}));
    // The bound's value without a key: the whole run, or what lies beyond it.
    EXPECT_EQ(Walk("Арбуз", "", "Арбуз", "", kForward, kInclusive), (Keys{"2", "3", "7", "4", "5", "9", "6"}));
    EXPECT_EQ(Walk("Арбуз", "", "Арбуз", "", kForward, kExclusive), (Keys{"4", "5", "9", "6"}));
    EXPECT_EQ(Walk("Арбуз", "", "Арбуз", "", kBackward, kInclusive), (Keys{"7", "3", "2"}));
}

TEST_F(QueryRowsBoundaries, StartRowJustBelowTheLowerBoundIsOutside) {
    EXPECT_EQ(Walk("Арбуз", "", "Арбуж", "8", kForward, kInclusive), (Keys{"2", "3", "7", "4", "5", "9", "6"}));
    EXPECT_EQ(Walk("Арбуз", "", "Арбуж", "8", kBackward, kInclusive), (Keys{}));
}

TEST_F(QueryRowsBoundaries, StartRowOnTheUpperBoundOfATextTag) {
    EXPECT_EQ(Walk("", "Арбуз", "Арбуз", "7", kBackward, kInclusive), (Keys{"7", "3", "2", "8", "1", "22", "21", "20"}));
    EXPECT_EQ(Walk("", "Арбуз", "Арбуз", "7", kForward, kInclusive), (Keys{"7", "4"}));
    EXPECT_EQ(Walk("", "Арбуз", "Арбузик", "4", kForward, kInclusive), (Keys{"4"}));
    EXPECT_EQ(Walk("", "Арбуз", "Арбузик", "4", kForward, kExclusive), (Keys{}));
}

TEST_F(QueryRowsBoundaries, StartRowOnTheFirstTextAboveTheUpperBoundIsOutside) {
    EXPECT_EQ(Walk("", "Арбуз", "Арбуи", "5", kBackward, kInclusive), (Keys{"4", "7", "3", "2", "8", "1", "22", "21", "20"}));
    EXPECT_EQ(Walk("", "Арбуз", "Арбуи", "9", kBackward, kInclusive), (Keys{"4", "7", "3", "2", "8", "1", "22", "21", "20"}));
    EXPECT_EQ(Walk("", "Арбуз", "Арбуи", "5", kForward, kInclusive), (Keys{}));
    EXPECT_EQ(Walk("", "Арбуз", "Арбуи", "", kBackward, kInclusive), (Keys{"4", "7", "3", "2", "8", "1", "22", "21", "20"}));
}

TEST_F(QueryRowsBoundaries, UpperBoundWithATrailingBlankKeepsTheWordAndNotItsLongerWords) {
    // Row 3 was stored with trailing blanks; its index text has none.
    EXPECT_EQ(Walk("", "Арбуз ", "", "", kForward, kExclusive), (Keys{"20", "21", "22", "1", "8", "2", "3", "7"}));
    EXPECT_EQ(Walk("", "Арбуз ", "Арбуз", "3", kForward, kInclusive), (Keys{"3", "7"}));
    EXPECT_EQ(Walk("", "Арбуз ", "Арбузик", "4", kBackward, kInclusive), (Keys{"7", "3", "2", "8", "1", "22", "21", "20"}));
}

TEST_F(QueryRowsBoundaries, LowerBoundWithTrailingBlanksKeepsTheRowsOfTheWord) {
    // A bound taken from a field value comes padded with blanks; the index holds the values without them.
    const Keys from_word = {"2", "3", "7", "4", "5", "9", "6"};
    EXPECT_EQ(Walk("Арбуз ", "", "", "", kForward, kExclusive), from_word);
    EXPECT_EQ(Walk("Арбуз \t\r\n\v\f", "", "", "", kForward, kExclusive), from_word);
    EXPECT_EQ(Walk("Арбуз   ", "Арбуз ", "", "", kBackward, kExclusive), (Keys{"7", "3", "2"}));
    // The start row on the word is inside the bound, taken with itself or not, both ways.
    EXPECT_EQ(Walk("Арбуз   ", "", "Арбуз", "2", kForward, kInclusive), from_word);
    EXPECT_EQ(Walk("Арбуз   ", "", "Арбуз", "3", kForward, kExclusive), (Keys{"7", "4", "5", "9", "6"}));
    EXPECT_EQ(Walk("Арбуз   ", "", "Арбуз", "7", kBackward, kInclusive), (Keys{"7", "3", "2"}));
    EXPECT_EQ(Walk("Арбуз   ", "", "Арбуз", "", kBackward, kInclusive), (Keys{"7", "3", "2"}));
    // The row below the word stays outside; a bound of blanks only is no bound.
    EXPECT_EQ(Walk("Арбуз ", "", "Арбуж", "8", kBackward, kInclusive), (Keys{}));
    EXPECT_EQ(Walk("   ", "", "", "", kForward, kExclusive).size(), 12u);
    // Leading blanks are part of the value: they still sort below every letter.
    EXPECT_EQ(Walk(" Арбуз", "", "", "", kForward, kExclusive), (Keys{"1", "8", "2", "3", "7", "4", "5", "9", "6"}));
}

TEST_F(QueryRowsBoundaries, EmptyIndexTextWithAKeyIsAStartRowNotAnEnd) {
    EXPECT_EQ(Walk("", "", "", "20", kForward, kExclusive), (Keys{"21", "22", "1", "8", "2", "3", "7", "4", "5", "9", "6"}));
    EXPECT_EQ(Walk("", "", "", "21", kForward, kInclusive), (Keys{"21", "22", "1", "8", "2", "3", "7", "4", "5", "9", "6"}));
    EXPECT_EQ(Walk("", "", "", "21", kBackward, kExclusive), (Keys{"20"}));
    EXPECT_EQ(Walk("", "", "", "20", kBackward, kExclusive), (Keys{}));
    EXPECT_EQ(Walk("", "Ар", "", "22", kForward, kExclusive), (Keys{"1", "8", "2", "3", "7", "4", "5", "9", "6"}));
}

TEST_F(QueryRowsBoundaries, CountsOfOneExactlyWhatIsLeftAndTheMost) {
    Call call;
    call.table = "w";
    call.tag = "word";
    call.count = 1;
    EXPECT_EQ(KeysOf(call), (Keys{"20"}));
    call.forward = false;
    EXPECT_EQ(KeysOf(call), (Keys{"6"}));
    call.index = "Арбуи";
    call.key = "5";
    call.count = 6;  // exactly the rows before it
    EXPECT_EQ(KeysOf(call), (Keys{"4", "7", "3", "2", "8", "1"})) << "filter-free run of six";
    call.count = 9;
    EXPECT_EQ(Answer(call).size(), 9u);
    call.count = 10;
    EXPECT_EQ(Answer(call).size(), 9u);
    call.count = std::numeric_limits<std::int64_t>::max();
    EXPECT_EQ(Answer(call).size(), 9u);
    call.forward = true;
    EXPECT_EQ(KeysOf(call), (Keys{"9", "6"}));
}

// Texts that are not UTF-8 can only be stored where the database takes any bytes.
class QueryRowsUpperBoundBytes : public QueryRowsTest {};

TEST_F(QueryRowsUpperBoundBytes, BoundEndingInBytesFFGoesUpAtTheLastByteBelowThem) {
    ROWLARK_ONLY_ON_SQLITE("a server database in UTF-8 refuses texts that are not");
    db().Exec("CREATE TABLE b (id integer PRIMARY KEY, t text)");
    db().Exec("INSERT INTO b VALUES (1, CAST(x'61' AS TEXT)), (2, CAST(x'62' AS TEXT)), (3, CAST(x'62FF' AS TEXT)),"
              " (4, CAST(x'62FFFF41' AS TEXT)), (5, CAST(x'63' AS TEXT)), (6, CAST(x'FF' AS TEXT)),"
              " (7, CAST(x'FFFF' AS TEXT))");
    db().AddIndexTag("b", "t", "t", "id");
    Call call;
    call.table = "b";
    call.tag = "t";
    call.count = 100;
    call.to = "b\xFF";  // everything beginning with "b" and 0xFF, and below: up to "c" exclusive
    EXPECT_EQ(KeysOf(call), (Keys{"1", "2", "3", "4"}));
    call.to = "\xFF\xFF";  // no text lies above every text beginning with it: no upper bound at all
    EXPECT_EQ(KeysOf(call), (Keys{"1", "2", "3", "4", "5", "6", "7"}));
    call.to = "b";
    call.index = "b\xFF\xFF" "A";
    call.key = "4";
    call.inclusive = true;
    EXPECT_EQ(KeysOf(call), (Keys{"4"}));
}

// Number tags at the limits of 64-bit integers, and integers beyond what a double holds exactly.
class QueryRowsNumberLimits : public QueryRowsTest {
protected:
    void SetUp() override {
        QueryRowsTest::SetUp();
        if (IsSkipped()) return;
        db().Exec("CREATE TABLE n (id integer PRIMARY KEY, v bigint)");
        db().Exec("INSERT INTO n VALUES (1, -9223372036854775807 - 1), (2, -1), (3, 0), (4, 9007199254740992),"
                  " (5, 9007199254740993), (6, 9223372036854775806), (7, 9223372036854775807), (8, 1)");
        db().AddIndexTag("n", "v", "v", "id", true);
    }
    static Call On() {
        Call call;
        call.table = "n";
        call.tag = "v";
        call.count = 100;
        return call;
    }
};

TEST_F(QueryRowsNumberLimits, PagingFindsEveryRowAgainFromItsIndexText) {
    const Rows expected = Select(Either("SELECT id, v FROM n NOT INDEXED ORDER BY v, id", "SELECT id, v FROM n ORDER BY n.v, n.id"));
    ASSERT_EQ(expected.front().second, "-9223372036854775808");
    ASSERT_EQ(expected.back().second, "9223372036854775807");
    for (std::int64_t page : {1, 2, 3}) {
        EXPECT_EQ(PageThrough(On(), page, 8 / page + 2), expected) << page;
        Call back = On();
        back.forward = false;
        EXPECT_EQ(PageThrough(back, page, 8 / page + 2), Reversed(expected)) << page;
    }
}

TEST_F(QueryRowsNumberLimits, BoundsAtTheLimitsKeepTheRowsOnThem) {
    Call call = On();
    call.from = "-9223372036854775808";
    call.to = "-9223372036854775808";
    EXPECT_EQ(KeysOf(call), (Keys{"1"}));
    call.from = "9223372036854775807";
    call.to = "9223372036854775807";
    EXPECT_EQ(KeysOf(call), (Keys{"7"}));
    call.from = "9223372036854775806";
    call.to = "";
    call.index = "9223372036854775806";
    call.key = "6";
    call.inclusive = true;
    EXPECT_EQ(KeysOf(call), (Keys{"6", "7"}));
}

TEST_F(QueryRowsNumberLimits, BoundsCompareWholeNumbersExactlyBeyondTwoToThe53) {
    Call call = On();
    call.from = "9007199254740993";
    EXPECT_EQ(KeysOf(call), (Keys{"5", "6", "7"}));
    call.from = "";
    call.to = "9007199254740992";
    EXPECT_EQ(KeysOf(call), (Keys{"1", "2", "3", "8", "4"}));
}

// The start row's place against the bounds must be exact, as the statements' own comparison is:
// in doubles 2^53 + 1 would count as on the bound 2^53.
TEST_F(QueryRowsNumberLimits, StartRowJustPastABoundBeyondTwoToThe53IsOutside) {
    Call call = On();
    call.to = "9007199254740992";
    call.index = "9007199254740993";
    call.key = "5";
    call.forward = false;
    call.inclusive = true;
    EXPECT_EQ(KeysOf(call), (Keys{"4", "8", "3", "2", "1"}));
    call.to = "";
    call.from = "9007199254740993";
    call.index = "9007199254740992";
    call.key = "4";
    call.forward = true;
    EXPECT_EQ(KeysOf(call), (Keys{"5", "6", "7"}));
}

}  // namespace
}  // namespace query_rows_test
