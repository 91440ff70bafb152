// The order QueryRows walks a tag in: forwards and backwards, over text and number tags,
// from either end and from a start row, across runs of equal values.

#include <gtest/gtest-spi.h>

#include "tests/database/database_fixture.h"

namespace rowlark::database::testing {
namespace {

constexpr const char* kByName = "SELECT id, rtrim(name) FROM items NOT INDEXED ORDER BY rtrim(name), id";
constexpr const char* kByGrp = "SELECT id, grp FROM items NOT INDEXED ORDER BY grp, id";
constexpr const char* kByPrice = "SELECT id, price FROM items NOT INDEXED ORDER BY price, id";

Rows Slice(const Rows& rows, size_t from, size_t count) {
    return Rows(rows.begin() + from, rows.begin() + std::min(rows.size(), from + count));
}

using QueryRowsOrder = ItemsDb;

TEST_F(QueryRowsOrder, ForwardFromEmptyStartGivesFirstRowsByValueThenKey) {
    for (const auto& [tag, sql] : {std::pair{"name", kByName}, {"grp", kByGrp}, {"price", kByPrice}}) {
        Call call = On(tag);
        call.count = 7;
        EXPECT_EQ(Answer(db(), call), Slice(Select(db(), sql), 0, 7)) << tag;
    }
}

TEST_F(QueryRowsOrder, BackwardFromEmptyStartGivesLastRowsNearestFirst) {
    for (const auto& [tag, sql] : {std::pair{"name", kByName}, {"grp", kByGrp}, {"price", kByPrice}}) {
        Call call = On(tag);
        call.count = 7;
        call.forward = false;
        EXPECT_EQ(Answer(db(), call), Slice(Reversed(Select(db(), sql)), 0, 7)) << tag;
    }
}

TEST_F(QueryRowsOrder, PagingForwardVisitsEveryRowOnceInOrder) {
    for (const auto& [tag, sql] : {std::pair{"name", kByName}, {"grp", kByGrp}, {"price", kByPrice}}) {
        for (std::int64_t page : {1, 4, 7, 60, 100}) {
            const Rows expected = Select(db(), sql);
            EXPECT_EQ(PageThrough(db(), On(tag), page), expected) << tag << " page " << page;
        }
    }
}

TEST_F(QueryRowsOrder, PagingBackwardVisitsEveryRowOnceInReverseOrder) {
    for (const auto& [tag, sql] : {std::pair{"name", kByName}, {"grp", kByGrp}, {"price", kByPrice}}) {
        Call call = On(tag);
        call.forward = false;
        for (std::int64_t page : {1, 5, 60}) {
            EXPECT_EQ(PageThrough(db(), call, page), Reversed(Select(db(), sql))) << tag << " page " << page;
        }
    }
}

TEST_F(QueryRowsOrder, PagingThatRepeatsItsStartRowFailsTheTestInsteadOfHanging) {
    // A fault that takes every page's start row again: pages of one row never move.
    const auto repeating = [&](Call call) {
        call.inclusive = true;
        return Answer(db(), call);
    };
    Rows walked;
    EXPECT_NONFATAL_FAILURE(walked = PageThroughWith(repeating, On("name"), 1, 5), "has not ended after 5 pages");
    EXPECT_EQ(walked, Rows(5, Select(db(), kByName).front()));
    // The limit PageThrough sets leaves room for a whole walk with its last, empty page.
    EXPECT_EQ(PageThroughWith([&](const Call& call) { return Answer(db(), call); }, On("name"), 6, 60 / 6 + 1),
              Select(db(), kByName));
}

TEST_F(QueryRowsOrder, StartInsideRunOfEqualValuesContinuesWithLaterKeysThenLaterValues) {
    const Rows all = Select(db(), kByGrp);  // 20 rows with grp 0, then 20 with 1, 20 with 2
    Call call = On("grp");
    call.index = all[15].second;
    call.key = all[15].first;
    call.count = 10;
    EXPECT_EQ(Answer(db(), call), Slice(all, 16, 10));
    call.forward = false;
    EXPECT_EQ(Answer(db(), call), Reversed(Slice(all, 5, 10)));
}

TEST_F(QueryRowsOrder, InclusiveStartPutsTheStartRowFirst) {
    const Rows all = Select(db(), kByName);
    Call call = On("name");
    call.index = all[30].second;
    call.key = all[30].first;
    call.count = 3;
    call.inclusive = true;
    EXPECT_EQ(Answer(db(), call), Slice(all, 30, 3));
    call.forward = false;
    EXPECT_EQ(Answer(db(), call), Reversed(Slice(all, 28, 3)));
    call.count = 1;  // how the provider refreshes one row
    EXPECT_EQ(Answer(db(), call), Slice(all, 30, 1));
}

TEST_F(QueryRowsOrder, WalkStopsAtEitherEndOfTheTag) {
    const Rows all = Select(db(), kByPrice);
    Call call = On("price");
    call.index = all.back().second;
    call.key = all.back().first;
    call.count = 5;
    EXPECT_TRUE(Answer(db(), call).empty());
    call.index = all.front().second;
    call.key = all.front().first;
    call.forward = false;
    EXPECT_TRUE(Answer(db(), call).empty());
    call.inclusive = true;
    EXPECT_EQ(Answer(db(), call), Slice(all, 0, 1));
}

TEST_F(QueryRowsOrder, CountZeroAnswersNoRowsButKnowsItsColumns) {
    Call call = On("name");
    call.count = 0;
    auto cursor = QueryRows(db(), call.Args());
    ASSERT_EQ(cursor->ColumnCount(), 2);
    EXPECT_EQ(cursor->ColumnName(0), "key");
    EXPECT_EQ(cursor->ColumnName(1), "index_value");
    EXPECT_FALSE(cursor->Step());
    EXPECT_FALSE(cursor->Step());
}

TEST_F(QueryRowsOrder, StartIndexWithoutKeyStartsAtThatValue) {
    const Rows all = Select(db(), kByGrp);
    Call call = On("grp");
    call.index = "1";
    call.count = 3;
    EXPECT_EQ(Answer(db(), call), Slice(all, 40, 3)) << "exclusive: after every row of value 1";
    call.inclusive = true;
    EXPECT_EQ(Answer(db(), call), Slice(all, 20, 3)) << "inclusive: from the first row of value 1";
}

TEST_F(QueryRowsOrder, TextValuesComeBackWithoutTrailingBlanksAndFindTheirRowAgain) {
    const Rows all = Select(db(), kByName);
    for (const Row& row : all) ASSERT_NE(row.second.back(), ' ');
    // "Банан  " and "Банан" are one value of the tag; a start on either continues the walk.
    const auto first_banana = std::find_if(all.begin(), all.end(), [](const Row& r) { return r.second == "Банан"; });
    ASSERT_NE(first_banana, all.end());
    Call call = On("name");
    call.index = first_banana->second;
    call.key = first_banana->first;
    call.count = 2;
    const size_t at = static_cast<size_t>(first_banana - all.begin());
    EXPECT_EQ(Answer(db(), call), Slice(all, at + 1, 2));
}

TEST_F(QueryRowsOrder, NumberTagsOrderNumericallyNotAsText) {
    Execute(db(), "CREATE TABLE n (id INTEGER PRIMARY KEY, v REAL)");
    Execute(db(), "INSERT INTO n VALUES (1, 9), (2, 10.5), (3, 100), (4, -2), (5, 2.25)");
    AddIndexTag(db(), "n", "v", "v", "id", TagKind::Number);
    Call call;
    call.table = "n";
    call.tag = "v";
    call.count = 10;
    EXPECT_EQ(Answer(db(), call), (Rows{{"4", "-2"}, {"5", "2.25"}, {"1", "9"}, {"2", "10.5"}, {"3", "100"}}));
    call.index = "9";
    call.key = "1";
    EXPECT_EQ(Answer(db(), call), (Rows{{"2", "10.5"}, {"3", "100"}}));
}

TEST(QueryRowsTextKeys, ApostrophesInKeysAndValuesFindTheStartRow) {
    DbHandle db = OpenMemoryDb();
    Execute(db.get(), "CREATE TABLE people (sku TEXT PRIMARY KEY, title TEXT)");
    Execute(db.get(),
            "INSERT INTO people VALUES ('a''1', 'д''Артаньян'), ('b', 'д''Артаньян'), ('c''''', 'O''Brien'),"
            " ('d', 'Smith')");
    AddIndexTag(db.get(), "people", "title", "title", "sku", TagKind::Text);
    Call call;
    call.table = "people";
    call.tag = "title";
    call.key_field = "sku";
    call.index = "O'Brien";
    call.key = "c''";
    call.count = 10;
    call.inclusive = true;
    EXPECT_EQ(Answer(db.get(), call), (Rows{{"c''", "O'Brien"}, {"d", "Smith"}, {"a'1", "д'Артаньян"}, {"b", "д'Артаньян"}}));
    call.index = "д'Артаньян";
    call.key = "b";
    call.forward = false;
    call.inclusive = false;
    EXPECT_EQ(Answer(db.get(), call), (Rows{{"a'1", "д'Артаньян"}, {"d", "Smith"}, {"c''", "O'Brien"}}));
}

TEST(QueryRowsTextKeys, KeysAreWrittenAsPlainText) {
    DbHandle db = OpenMemoryDb();
    Execute(db.get(), "CREATE TABLE k (code TEXT PRIMARY KEY, n INTEGER)");
    Execute(db.get(), "INSERT INTO k VALUES ('007', 3), ('10', 1), ('9', 2)");
    AddIndexTag(db.get(), "k", "n", "n", "code", TagKind::Number);
    Call call;
    call.table = "k";
    call.tag = "n";
    call.key_field = "code";
    call.count = 5;
    // A text key "007" keeps its zeros; the start key "10" is compared as text, not as a number.
    EXPECT_EQ(Answer(db.get(), call), (Rows{{"10", "1"}, {"9", "2"}, {"007", "3"}}));
    call.index = "1";
    call.key = "10";
    EXPECT_EQ(Answer(db.get(), call), (Rows{{"9", "2"}, {"007", "3"}}));
}

TEST_F(QueryRowsOrder, CursorStreamsAcrossItsTwoStatementsWithoutRepeatingARow) {
    const Rows all = Select(db(), kByGrp);
    Call call = On("grp");
    call.index = all[18].second;
    call.key = all[18].first;
    call.count = 4;  // one row left in the start's run, then three from the next value
    auto cursor = QueryRows(db(), call.Args());
    Rows got = Read(*cursor);
    EXPECT_EQ(got, Slice(all, 19, 4));
    EXPECT_FALSE(cursor->Step());
}

}  // namespace
}  // namespace rowlark::database::testing
