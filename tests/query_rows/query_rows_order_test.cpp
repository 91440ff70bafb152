// The order QueryRows walks a tag in: forwards and backwards, over text and number tags, from either
// end and from a start row, across runs of equal values; keys and numbers written as plain text.

#include <gtest/gtest-spi.h>

#include "tests/query_rows/query_rows_fixture.h"

namespace query_rows_test {
namespace {

// items: 60 rows; name with repeats and trailing blanks, grp with 3 distinct values, price with cents.
class QueryRowsOrder : public QueryRowsTest {
protected:
    void SetUp() override {
        QueryRowsTest::SetUp();
        if (IsSkipped()) return;
        db().Exec("CREATE TABLE items (id integer PRIMARY KEY, name text, grp integer, price " +
                  Either("REAL", "numeric(10, 2)") + ")");
        const char* names[] = {"Яблоко", "апельсин", "Банан  ", "Банан", "Груша", "ёж", "Вишня", "Арбуз"};
        BackendDatabase::Rows rows;
        for (int i = 1; i <= 60; ++i) {
            const int cents = (i % 7) * 1250 + (i % 2);
            const std::string price = std::to_string(cents / 100) + "." + std::to_string(cents % 100 / 10) +
                                      std::to_string(cents % 10);
            // ids out of insertion order
            rows.push_back({std::to_string((i * 37) % 61), std::string(names[i % 8]), std::to_string(i % 3), price});
        }
        db().Insert("items", {"id", "name", "grp", "price"}, rows);
        db().AddIndexTag("items", "name", "name", "id");
        db().AddIndexTag("items", "grp", "grp", "id", true);
        db().AddIndexTag("items", "price", "price", "id", true);
    }

    Call On(const std::string& tag) const {
        Call call;
        call.table = "items";
        call.tag = tag;
        return call;
    }

    // The tag's rows in its order, by plain sorting without any tag (byte order for texts; NOT INDEXED
    // keeps SQLite off the tag's own index); numbers as the tag writes them.
    Rows Expected(const std::string& tag) {
        if (tag == "name")
            return Select(Either("SELECT id, rtrim(name) FROM items NOT INDEXED ORDER BY rtrim(name), id",
                                 "SELECT id, rtrim(name) FROM items ORDER BY rtrim(name) COLLATE \"C\", items.id"));
        // (Qualified on the server: a bare "id" in ORDER BY would be the output column.)
        Rows rows = Select(Either("SELECT id, " + tag + " FROM items NOT INDEXED ORDER BY " + tag + ", id",
                                  "SELECT id, " + tag + " FROM items ORDER BY items." + tag + ", items.id"));
        for (Row& row : rows) row.second = Plain(row.second);
        return rows;
    }
    static std::vector<std::string> Tags() { return {"name", "grp", "price"}; }
};

TEST_F(QueryRowsOrder, ForwardFromEmptyStartGivesFirstRowsByValueThenKey) {
    for (const std::string& tag : Tags()) {
        Call call = On(tag);
        call.count = 7;
        EXPECT_EQ(Answer(call), Slice(Expected(tag), 0, 7)) << tag;
    }
}

TEST_F(QueryRowsOrder, BackwardFromEmptyStartGivesLastRowsNearestFirst) {
    for (const std::string& tag : Tags()) {
        Call call = On(tag);
        call.count = 7;
        call.forward = false;
        EXPECT_EQ(Answer(call), Slice(Reversed(Expected(tag)), 0, 7)) << tag;
    }
}

TEST_F(QueryRowsOrder, PagingForwardVisitsEveryRowOnceInOrder) {
    for (const std::string& tag : Tags()) {
        const Rows expected = Expected(tag);
        ASSERT_EQ(expected.size(), 60u);
        for (std::int64_t page : {1, 4, 7, 60, 100}) {
            EXPECT_EQ(PageThrough(On(tag), page, 60 / page + 2), expected) << tag << " page " << page;
        }
    }
}

TEST_F(QueryRowsOrder, PagingBackwardVisitsEveryRowOnceInReverseOrder) {
    for (const std::string& tag : Tags()) {
        Call call = On(tag);
        call.forward = false;
        for (std::int64_t page : {1, 5, 7, 60, 100}) {
            EXPECT_EQ(PageThrough(call, page, 60 / page + 2), Reversed(Expected(tag))) << tag << " page " << page;
        }
    }
}

TEST_F(QueryRowsOrder, PagingThatRepeatsItsStartRowFailsTheTestInsteadOfHanging) {
    // A fault that takes every page's start row again: pages of one row never move.
    const auto repeating = [&](Call call) {
        call.inclusive = true;
        return Answer(call);
    };
    Rows walked;
    EXPECT_NONFATAL_FAILURE(walked = PageThroughWith(repeating, On("name"), 1, 5), "has not ended after 5 pages");
    EXPECT_EQ(walked, Rows(5, Expected("name").front()));
    // The limit the paging tests set leaves room for a whole walk with its last, empty page.
    EXPECT_EQ(PageThrough(On("name"), 6, 60 / 6 + 1), Expected("name"));
}

TEST_F(QueryRowsOrder, StartInsideRunOfEqualValuesContinuesWithLaterKeysThenLaterValues) {
    const Rows all = Expected("grp");  // 20 rows with grp 0, then 20 with 1, 20 with 2
    Call call = On("grp");
    call.index = all[15].second;
    call.key = all[15].first;
    call.count = 10;
    EXPECT_EQ(Answer(call), Slice(all, 16, 10));
    call.forward = false;
    EXPECT_EQ(Answer(call), Reversed(Slice(all, 5, 10)));
}

TEST_F(QueryRowsOrder, WalkGoesOnFromTheStartRunIntoTheNextValueWithoutRepeatingARow) {
    const Rows all = Expected("grp");
    Call call = On("grp");
    call.index = all[18].second;
    call.key = all[18].first;
    call.count = 4;  // one row left in the start's run, then three from the next value
    EXPECT_EQ(Answer(call), Slice(all, 19, 4));
    call.forward = false;
    call.index = all[21].second;
    call.key = all[21].first;
    EXPECT_EQ(Answer(call), Reversed(Slice(all, 17, 4)));
}

TEST_F(QueryRowsOrder, InclusiveStartPutsTheStartRowFirst) {
    const Rows all = Expected("name");
    Call call = On("name");
    call.index = all[30].second;
    call.key = all[30].first;
    call.count = 3;
    call.inclusive = true;
    EXPECT_EQ(Answer(call), Slice(all, 30, 3));
    call.forward = false;
    EXPECT_EQ(Answer(call), Reversed(Slice(all, 28, 3)));
    call.count = 1;  // how the provider refreshes one row
    EXPECT_EQ(Answer(call), Slice(all, 30, 1));
}

TEST_F(QueryRowsOrder, WalkStopsAtEitherEndOfTheTag) {
    const Rows all = Expected("price");
    Call call = On("price");
    call.index = all.back().second;
    call.key = all.back().first;
    call.count = 5;
    EXPECT_TRUE(Answer(call).empty());
    call.index = all.front().second;
    call.key = all.front().first;
    call.forward = false;
    EXPECT_TRUE(Answer(call).empty());
    call.inclusive = true;
    EXPECT_EQ(Answer(call), Slice(all, 0, 1));
}

TEST_F(QueryRowsOrder, CountZeroAnswersNoRowsUnderTheTwoColumnNames) {
    Call call = On("name");  // count 0
    const Outcome none = Try(call);
    EXPECT_EQ(none.error, "");
    EXPECT_TRUE(none.rows.empty());
    EXPECT_EQ(none.columns, (std::vector<std::string>{"key", "index_value"}));
    call.count = 2;
    EXPECT_EQ(Try(call).columns, (std::vector<std::string>{"key", "index_value"}));
}

TEST_F(QueryRowsOrder, StartIndexWithoutKeyStartsAtThatValueWhereTheKeyIsANumber) {
    const Rows all = Expected("grp");
    Call call = On("grp");
    call.index = "1";
    call.count = 3;
    EXPECT_EQ(Answer(call), Slice(all, 40, 3)) << "exclusive: after every row of value 1";
    call.inclusive = true;
    EXPECT_EQ(Answer(call), Slice(all, 20, 3)) << "inclusive: from the first row of value 1";
}

TEST_F(QueryRowsOrder, TextValuesComeBackWithoutTrailingBlanksAndFindTheirRowAgain) {
    const Rows all = Expected("name");
    for (const Row& row : Answer([this] {
             Call whole = On("name");
             whole.count = 100;
             return whole;
         }()))
        ASSERT_NE(row.second.back(), ' ') << row.first;
    // "Банан  " and "Банан" are one value of the tag; a start on either continues the walk.
    const auto first_banana = std::find_if(all.begin(), all.end(), [](const Row& r) { return r.second == "Банан"; });
    ASSERT_NE(first_banana, all.end());
    Call call = On("name");
    call.index = first_banana->second;
    call.key = first_banana->first;
    call.count = 2;
    const auto at = static_cast<std::size_t>(first_banana - all.begin());
    EXPECT_EQ(Answer(call), Slice(all, at + 1, 2));
}

TEST_F(QueryRowsOrder, NumberTagsOrderNumericallyAndWriteNumbersPlainly) {
    db().Exec("CREATE TABLE n (id integer PRIMARY KEY, v double precision)");
    db().Exec("INSERT INTO n VALUES (1, 9), (2, 10.5), (3, 100), (4, -2), (5, 2.25), (6, NULL)");
    db().AddIndexTag("n", "v", "v", "id", true);
    Call call;
    call.table = "n";
    call.tag = "v";
    call.count = 10;
    EXPECT_EQ(Answer(call), (Rows{{"4", "-2"}, {"6", "0"}, {"5", "2.25"}, {"1", "9"}, {"2", "10.5"}, {"3", "100"}}))
        << "NULL counts as 0";
    call.index = "9";
    call.key = "1";
    EXPECT_EQ(Answer(call), (Rows{{"2", "10.5"}, {"3", "100"}}));
    call.index = "9.00";  // the same number written otherwise finds the same place
    EXPECT_EQ(Answer(call), (Rows{{"2", "10.5"}, {"3", "100"}}));
}

TEST_F(QueryRowsOrder, ApostrophesInTextKeysAndValuesFindTheStartRow) {
    db().Exec("CREATE TABLE people (sku text PRIMARY KEY, title text)");
    db().Exec("INSERT INTO people VALUES ('a''1', 'д''Артаньян'), ('b', 'д''Артаньян'), ('c''''', 'O''Brien'),"
              " ('d', 'Smith')");
    db().AddIndexTag("people", "title", "title", "sku");
    Call call;
    call.table = "people";
    call.tag = "title";
    call.key_field = "sku";
    call.index = "O'Brien";
    call.key = "c''";
    call.count = 10;
    call.inclusive = true;
    EXPECT_EQ(Answer(call), (Rows{{"c''", "O'Brien"}, {"d", "Smith"}, {"a'1", "д'Артаньян"}, {"b", "д'Артаньян"}}));
    call.index = "д'Артаньян";
    call.key = "b";
    call.forward = false;
    call.inclusive = false;
    EXPECT_EQ(Answer(call), (Rows{{"a'1", "д'Артаньян"}, {"d", "Smith"}, {"c''", "O'Brien"}}));
}

TEST_F(QueryRowsOrder, TextKeysStayTextAndOrderByBytes) {
    db().Exec("CREATE TABLE k (code varchar(10) PRIMARY KEY, n integer)");
    db().Exec("INSERT INTO k VALUES ('007', 3), ('10', 1), ('9', 1), ('', 1), ('Б', 2), ('а', 2)");
    db().AddIndexTag("k", "n", "n", "code", true);
    Call call;
    call.table = "k";
    call.tag = "n";
    call.key_field = "code";
    call.count = 10;
    // "007" keeps its zeros; "10" sorts before "9" as text; "Б" before "а" by bytes, whatever the locale.
    EXPECT_EQ(Answer(call), (Rows{{"", "1"}, {"10", "1"}, {"9", "1"}, {"Б", "2"}, {"а", "2"}, {"007", "3"}}));
    call.index = "1";
    call.key = "";  // the empty text is a key like any other where keys are texts
    EXPECT_EQ(Answer(call), (Rows{{"10", "1"}, {"9", "1"}, {"Б", "2"}, {"а", "2"}, {"007", "3"}}));
    call.key = "10";  // compared as the text it is, not as the number 10
    EXPECT_EQ(Answer(call), (Rows{{"9", "1"}, {"Б", "2"}, {"а", "2"}, {"007", "3"}}));
}

}  // namespace
}  // namespace query_rows_test
