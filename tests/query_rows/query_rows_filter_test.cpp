// The filter range of QueryRows: an inclusive lower bound read without trailing blanks, and an upper
// bound that also keeps every value beginning with it; numbers for number tags.

#include "tests/query_rows/query_rows_fixture.h"

namespace query_rows_test {
namespace {

class QueryRowsFilter : public QueryRowsTest {
protected:
    void SetUp() override {
        QueryRowsTest::SetUp();
        if (IsSkipped()) return;
        db().Exec("CREATE TABLE w (id integer PRIMARY KEY, word text, qty integer)");
        db().Exec("INSERT INTO w VALUES (1, 'Ар', 5), (2, 'Арбуз', 10), (3, 'Арбузик', 10), (4, 'Арка', 20),"
                  " (5, 'Ас', 25), (6, 'Б', 30), (7, 'Арбуз', 40), (8, 'Ар', 50)");
        db().AddIndexTag("w", "word", "word", "id");
        db().AddIndexTag("w", "qty", "qty", "id", true);
    }
    Call On(const std::string& tag) const {
        Call call;
        call.table = "w";
        call.tag = tag;
        call.count = 100;
        return call;
    }
};

TEST_F(QueryRowsFilter, UpperBoundKeepsValuesBelowItAndValuesBeginningWithIt) {
    Call call = On("word");
    call.to = "Арбуз";
    EXPECT_EQ(KeysOf(call), (Keys{"1", "8", "2", "7", "3"}));  // "Арбузик" begins with "Арбуз"
    call.to = "Ар";
    EXPECT_EQ(KeysOf(call), (Keys{"1", "8", "2", "7", "3", "4"}));
    call.to = "А";
    EXPECT_EQ(KeysOf(call), (Keys{"1", "8", "2", "7", "3", "4", "5"}));
}

TEST_F(QueryRowsFilter, UpperBoundEndingInTheLastCharacterStillKeepsItsPrefixRows) {
    const std::string last = "\xF4\x8F\xBF\xBF";  // U+10FFFF: no character follows it, the prefix rises
    db().Insert("w", {"id", "word", "qty"}, {{"9", "Ар" + last + "x", "1"}, {"10", "Ас", "2"}});
    Call call = On("word");
    call.to = "Ар" + last;
    EXPECT_EQ(KeysOf(call), (Keys{"1", "8", "2", "7", "3", "4", "9"}));
}

TEST_F(QueryRowsFilter, LowerBoundIsInclusiveAndTrimmedLikeTheValues) {
    Call call = On("word");
    call.from = "Арбуз";
    EXPECT_EQ(KeysOf(call), (Keys{"2", "7", "3", "4", "5", "6"}));
    call.from = "Арбуз  ";  // padded as a field value is: still keeps the rows "Арбуз"
    EXPECT_EQ(KeysOf(call), (Keys{"2", "7", "3", "4", "5", "6"}));
    call.from = "Арбуза";
    EXPECT_EQ(KeysOf(call), (Keys{"3", "4", "5", "6"}));
}

TEST_F(QueryRowsFilter, BothBoundsMakeOnePrefixRangeEitherWay) {
    Call call = On("word");
    call.from = "Арб";
    call.to = "Арб";
    EXPECT_EQ(KeysOf(call), (Keys{"2", "7", "3"}));
    call.forward = false;
    EXPECT_EQ(KeysOf(call), (Keys{"3", "7", "2"}));
}

TEST_F(QueryRowsFilter, WalkFromAStartRowStaysInsideTheRange) {
    Call call = On("word");
    call.from = "Арб";
    call.to = "Арка";
    call.index = "Арбуз";
    call.key = "7";
    EXPECT_EQ(KeysOf(call), (Keys{"3", "4"}));
    call.forward = false;
    EXPECT_EQ(KeysOf(call), (Keys{"2"}));
}

TEST_F(QueryRowsFilter, InclusiveStartOutsideTheRangeIsLeftOut) {
    Call call = On("word");
    call.from = "Арбуз";
    call.index = "Ар";
    call.key = "1";
    call.inclusive = true;
    EXPECT_EQ(KeysOf(call), (Keys{"2", "7", "3", "4", "5", "6"}));
    call = On("qty");
    call.to = "20";
    call.index = "25";
    call.key = "5";
    call.inclusive = true;
    call.forward = false;
    EXPECT_EQ(KeysOf(call), (Keys{"4", "3", "2", "1"}));
    call.index = "20";
    call.key = "4";
    EXPECT_EQ(KeysOf(call), (Keys{"4", "3", "2", "1"})) << "a start on the bound itself is inside";
}

TEST_F(QueryRowsFilter, NumberBoundsAreInclusiveNumbers) {
    Call call = On("qty");
    call.from = "10";
    call.to = "25";
    EXPECT_EQ(KeysOf(call), (Keys{"2", "3", "4", "5"}));
    call.from = "10.5";
    call.to = "2.5e1";
    EXPECT_EQ(KeysOf(call), (Keys{"4", "5"}));
    call.from = "";
    call.to = "5";  // no prefix rule for numbers: 50 does not begin-match 5
    EXPECT_EQ(KeysOf(call), (Keys{"1"}));
}

TEST_F(QueryRowsFilter, NumberBoundThatIsNotANumberIsRefused) {
    Call call = On("qty");
    call.from = "ten";
    EXPECT_EQ(ErrorOf(call), "QueryRows: filter from 'ten' is not a number (index tag 'qty' orders by a number)");
    call.from = "";
    call.to = "1,5";
    EXPECT_EQ(ErrorOf(call), "QueryRows: filter to '1,5' is not a number (index tag 'qty' orders by a number)");
    call.to = " 5";  // the server's numeric would take the blank; the contract does not
    EXPECT_NE(ErrorOf(call), "");
}

TEST_F(QueryRowsFilter, EmptyRangeGivesNoRows) {
    Call call = On("word");
    call.from = "Б";
    call.to = "Арбуз";
    const Outcome none = Try(call);
    EXPECT_EQ(none.error, "");
    EXPECT_TRUE(none.rows.empty());
}

}  // namespace
}  // namespace query_rows_test
