// The order the server's QueryRows walks a tag in: forwards and backwards, over text and number tags,
// from either end and from a start row, across runs of equal values; the same cases as on SQLite.

#include "tests/postgres/postgres_fixture.h"

namespace rowlark::postgres::testing {
namespace {

// The expected orders, by plain sorting (byte order for texts) without any tag.
// (Qualified: a bare "id" in ORDER BY would be the output column, a text.)
constexpr const char* kByName =
    "SELECT id::text, rtrim(name) FROM items ORDER BY rtrim(name) COLLATE \"C\", items.id";
constexpr const char* kByGrp = "SELECT id::text, grp::text FROM items ORDER BY items.grp, items.id";
constexpr const char* kByPrice = "SELECT id::text, price::text FROM items ORDER BY items.price, items.id";

// items: 60 rows; name with repeats and trailing blanks, grp with 3 distinct values, price with cents.
class QueryRowsOrder : public PgTest {
protected:
    void SetUp() override {
        PgTest::SetUp();
        if (IsSkipped()) return;
        Exec("CREATE TABLE items (id integer PRIMARY KEY, name text, grp integer, price numeric(10, 2))");
        Exec("INSERT INTO items SELECT (i * 37) % 61,"
             " (ARRAY['Яблоко', 'апельсин', 'Банан  ', 'Банан', 'Груша', 'ёж', 'Вишня', 'Арбуз'])[i % 8 + 1],"
             " i % 3, (i % 7) * 12.5 + (i % 2) * 0.01 FROM generate_series(1, 60) AS i");
        Exec("SELECT rowlark_add_index_tag('items', 'name', 'name', 'id', 'text')");
        Exec("SELECT rowlark_add_index_tag('items', 'grp', 'grp', 'id', 'number')");
        Exec("SELECT rowlark_add_index_tag('items', 'price', 'price', 'id', 'number')");
    }
    Call On(const std::string& tag) const {
        Call call;
        call.table = "items";
        call.tag = tag;
        return call;
    }
    // A number as the tag hands it out: no trailing zeros of a fraction.
    static std::string Plain(std::string number) {
        if (number.find('.') == std::string::npos) return number;
        while (number.back() == '0') number.pop_back();
        if (number.back() == '.') number.pop_back();
        return number;
    }
    Rows Expected(const char* sql) {
        Rows rows = Select(sql);
        for (Row& row : rows)
            if (sql != kByName) row.second = Plain(row.second);
        return rows;
    }
    std::vector<std::pair<std::string, const char*>> Tags() const {
        return {{"name", kByName}, {"grp", kByGrp}, {"price", kByPrice}};
    }
};

TEST_F(QueryRowsOrder, FromEitherEndGivesFirstOrLastRowsByValueThenKey) {
    for (const auto& [tag, sql] : Tags()) {
        Call call = On(tag);
        call.count = 7;
        EXPECT_EQ(Answer(call), Slice(Expected(sql), 0, 7)) << tag;
        call.forward = false;
        EXPECT_EQ(Answer(call), Slice(Reversed(Expected(sql)), 0, 7)) << tag;
    }
}

TEST_F(QueryRowsOrder, PagingEitherWayVisitsEveryRowOnceInOrder) {
    for (const auto& [tag, sql] : Tags()) {
        for (std::int64_t page : {1, 7, 60, 100}) {
            EXPECT_EQ(PageThrough(On(tag), page, 62), Expected(sql)) << tag << " page " << page;
            Call backward = On(tag);
            backward.forward = false;
            EXPECT_EQ(PageThrough(backward, page, 62), Reversed(Expected(sql))) << tag << " page " << page;
        }
    }
}

TEST_F(QueryRowsOrder, StartInsideRunOfEqualValuesContinuesWithLaterKeysThenLaterValues) {
    const Rows all = Expected(kByGrp);  // 20 rows with grp 0, then 20 with 1, 20 with 2
    Call call = On("grp");
    call.index = all[15].second;
    call.key = all[15].first;
    call.count = 10;
    EXPECT_EQ(Answer(call), Slice(all, 16, 10));
    call.forward = false;
    EXPECT_EQ(Answer(call), Reversed(Slice(all, 5, 10)));
}

TEST_F(QueryRowsOrder, InclusiveStartPutsTheStartRowFirst) {
    const Rows all = Expected(kByName);
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
    const Rows all = Expected(kByPrice);
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
    const Outcome none = Call_(call);
    EXPECT_EQ(none.error, "");
    EXPECT_TRUE(none.rows.empty());
    EXPECT_EQ(none.columns, (std::vector<std::string>{"key", "index_value"}));
}

TEST_F(QueryRowsOrder, StartIndexWithoutKeyStartsAtThatValueWhereTheKeyIsANumber) {
    const Rows all = Expected(kByGrp);
    Call call = On("grp");
    call.index = "1";
    call.count = 3;
    EXPECT_EQ(Answer(call), Slice(all, 40, 3)) << "exclusive: after every row of value 1";
    call.inclusive = true;
    EXPECT_EQ(Answer(call), Slice(all, 20, 3)) << "inclusive: from the first row of value 1";
}

TEST_F(QueryRowsOrder, TextValuesComeBackWithoutTrailingBlanksAndFindTheirRowAgain) {
    const Rows all = Expected(kByName);
    for (const Row& row : all) ASSERT_NE(row.second.back(), ' ');
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
    Exec("CREATE TABLE n (id integer PRIMARY KEY, v double precision)");
    Exec("INSERT INTO n VALUES (1, 9), (2, 10.5), (3, 100), (4, -2), (5, 2.25), (6, NULL)");
    Exec("SELECT rowlark_add_index_tag('n', 'v', 'v', 'id', 'number')");
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
    Exec("CREATE TABLE people (sku text PRIMARY KEY, title text)");
    Exec("INSERT INTO people VALUES ('a''1', 'д''Артаньян'), ('b', 'д''Артаньян'), ('c''''', 'O''Brien'), ('d', 'Smith')");
    Exec("SELECT rowlark_add_index_tag('people', 'title', 'title', 'sku', 'text')");
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
    Exec("CREATE TABLE k (code varchar(10) PRIMARY KEY, n integer)");
    Exec("INSERT INTO k VALUES ('007', 3), ('10', 1), ('9', 1), ('', 1), ('Б', 2), ('а', 2)");
    Exec("SELECT rowlark_add_index_tag('k', 'n', 'n', 'code', 'number')");
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
}

}  // namespace
}  // namespace rowlark::postgres::testing
