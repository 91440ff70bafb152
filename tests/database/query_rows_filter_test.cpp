// The filter range of QueryRows: an inclusive lower bound, and an upper bound that also
// keeps every value beginning with it; numbers for number tags.

#include "tests/database/database_fixture.h"

namespace rowlark::database::testing {
namespace {

class QueryRowsFilter : public ::testing::Test {
protected:
    void SetUp() override {
        Execute(db(), "CREATE TABLE w (id INTEGER PRIMARY KEY, word TEXT, qty INTEGER)");
        Execute(db(),
                "INSERT INTO w VALUES (1, 'Ар', 5), (2, 'Арбуз', 10), (3, 'Арбузик', 10), (4, 'Арка', 20),"
                " (5, 'Ас', 25), (6, 'Б', 30), (7, 'Арбуз', 40), (8, 'Ар', 50)");
        AddIndexTag(db(), "w", "word", "word", "id", TagKind::Text);
        AddIndexTag(db(), "w", "qty", "qty", "id", TagKind::Number);
    }
    sqlite3* db() const { return db_.get(); }
    Call On(const std::string& tag) const {
        Call call;
        call.table = "w";
        call.tag = tag;
        call.count = 100;
        return call;
    }
    DbHandle db_ = OpenMemoryDb();
};

std::vector<std::string> Keys(const Rows& rows) {
    std::vector<std::string> keys;
    for (const Row& row : rows) keys.push_back(row.first);
    return keys;
}

using Keys_ = std::vector<std::string>;

TEST_F(QueryRowsFilter, UpperBoundKeepsValuesBelowItAndValuesBeginningWithIt) {
    Call call = On("word");
    call.to = "Арбуз";
    EXPECT_EQ(Keys(Answer(db(), call)), (Keys_{"1", "8", "2", "7", "3"}));  // "Арбузик" begins with "Арбуз"
    call.to = "Ар";
    EXPECT_EQ(Keys(Answer(db(), call)), (Keys_{"1", "8", "2", "7", "3", "4"}));
    call.to = "А";
    EXPECT_EQ(Keys(Answer(db(), call)), (Keys_{"1", "8", "2", "7", "3", "4", "5"}));
}

TEST_F(QueryRowsFilter, LowerBoundIsInclusive) {
    Call call = On("word");
    call.from = "Арбуз";
    EXPECT_EQ(Keys(Answer(db(), call)), (Keys_{"2", "7", "3", "4", "5", "6"}));
    call.from = "Арбуза";
    EXPECT_EQ(Keys(Answer(db(), call)), (Keys_{"3", "4", "5", "6"}));
}

TEST_F(QueryRowsFilter, BothBoundsMakeOnePrefixRange) {
    Call call = On("word");
    call.from = "Арб";
    call.to = "Арб";
    EXPECT_EQ(Keys(Answer(db(), call)), (Keys_{"2", "7", "3"}));
    call.forward = false;
    EXPECT_EQ(Keys(Answer(db(), call)), (Keys_{"3", "7", "2"}));
}

TEST_F(QueryRowsFilter, WalkFromAStartRowStaysInsideTheRange) {
    Call call = On("word");
    call.from = "Арб";
    call.to = "Арка";
    call.index = "Арбуз";
    call.key = "7";
    EXPECT_EQ(Keys(Answer(db(), call)), (Keys_{"3", "4"}));
    call.forward = false;
    EXPECT_EQ(Keys(Answer(db(), call)), (Keys_{"2"}));
}

TEST_F(QueryRowsFilter, InclusiveStartOutsideTheRangeIsLeftOut) {
    Call call = On("word");
    call.from = "Арбуз";
    call.index = "Ар";
    call.key = "1";
    call.inclusive = true;
    EXPECT_EQ(Keys(Answer(db(), call)), (Keys_{"2", "7", "3", "4", "5", "6"}));
    call = On("qty");
    call.to = "20";
    call.index = "25";
    call.key = "5";
    call.inclusive = true;
    call.forward = false;
    EXPECT_EQ(Keys(Answer(db(), call)), (Keys_{"4", "3", "2", "1"}));
    call.index = "20";
    call.key = "4";
    EXPECT_EQ(Keys(Answer(db(), call)), (Keys_{"4", "3", "2", "1"})) << "a start on the bound itself is inside";
}

TEST_F(QueryRowsFilter, NumberBoundsAreInclusiveNumbers) {
    Call call = On("qty");
    call.from = "10";
    call.to = "25";
    EXPECT_EQ(Keys(Answer(db(), call)), (Keys_{"2", "3", "4", "5"}));
    call.from = "10.5";
    call.to = "2.5e1";
    EXPECT_EQ(Keys(Answer(db(), call)), (Keys_{"4", "5"}));
    call.from = "";
    call.to = "5";  // no prefix rule for numbers: 50 does not begin-match 5
    EXPECT_EQ(Keys(Answer(db(), call)), (Keys_{"1"}));
}

TEST_F(QueryRowsFilter, NumberBoundThatIsNotANumberIsRefused) {
    Call call = On("qty");
    call.from = "ten";
    EXPECT_THROW(
        {
            try {
                QueryRows(db(), call.Args());
            } catch (const oledb_backend::CursorError& error) {
                EXPECT_STREQ(error.what(),
                             "QueryRows: filter from 'ten' is not a number (index tag 'qty' orders by a number)");
                throw;
            }
        },
        oledb_backend::CursorError);
    call.from = "";
    call.to = "1,5";
    EXPECT_THROW(QueryRows(db(), call.Args()), oledb_backend::CursorError);
}

TEST_F(QueryRowsFilter, EmptyRangeGivesNoRows) {
    Call call = On("word");
    call.from = "Б";
    call.to = "Арбуз";
    EXPECT_TRUE(Answer(db(), call).empty());
}

}  // namespace
}  // namespace rowlark::database::testing
