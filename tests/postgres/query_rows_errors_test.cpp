// Bad calls of the server's QueryRows end in an error naming what is wrong, with the texts the
// SQLite procedure uses, and leave the session usable.

#include "tests/postgres/postgres_fixture.h"

namespace rowlark::postgres::testing {
namespace {

class QueryRowsErrors : public PgTest {
protected:
    void SetUp() override {
        PgTest::SetUp();
        if (IsSkipped()) return;
        Exec("CREATE TABLE items (id integer PRIMARY KEY, name text, price numeric)");
        Exec("INSERT INTO items SELECT i, 'name ' || i, i * 1.5 FROM generate_series(1, 20) AS i");
        Exec("SELECT rowlark_add_index_tag('items', 'name', 'name', 'id')");
        Exec("SELECT rowlark_add_index_tag('items', 'price', 'price', 'id', 'number')");
    }
    Call Good() const {
        Call call;
        call.table = "items";
        call.tag = "name";
        call.count = 5;
        return call;
    }
};

TEST_F(QueryRowsErrors, OutOfRangeNumbersAreRefusedByPosition) {
    Call call = Good();
    call.count = -20;
    EXPECT_EQ(ErrorOf(call), "QueryRows argument 5 (count) must be 0 or more, got -20");
    const std::string sql = "SELECT * FROM queryrows('items', 'name', '', '', 5, 'id', $1::bigint, '', '', $2::bigint)";
    EXPECT_EQ(Try(sql, {"2", "0"}).error, "QueryRows argument 7 (direction) must be 1 or 0, got 2");
    EXPECT_EQ(Try(sql, {"1", "-1"}).error, "QueryRows argument 10 (inclusive) must be 1 or 0, got -1");
}

TEST_F(QueryRowsErrors, MissingArgumentsAreRefusedByPosition) {
    EXPECT_EQ(Try("SELECT * FROM queryrows(NULL, 'name', '', '', 5, 'id', 1, '', '', 0)").error,
              "QueryRows argument 1 (table) must be a quoted text, got NULL");
    EXPECT_EQ(Try("SELECT * FROM queryrows('items', 'name', '', '', NULL, 'id', 1, '', '', 0)").error,
              "QueryRows argument 5 (count) must be a whole number, got NULL");
    EXPECT_NE(Try("SELECT * FROM queryrows('items', 'name', '', '', 5, 'id', 1, '', '')").error, "")
        << "nine arguments name no function";
}

TEST_F(QueryRowsErrors, UnknownTableTagOrKeyFieldIsRefused) {
    Call call = Good();
    call.table = "nothing";
    EXPECT_EQ(ErrorOf(call), "QueryRows: unknown table 'nothing'");
    call = Good();
    call.tag = "colour";
    EXPECT_EQ(ErrorOf(call), "QueryRows: table 'items' has no index tag 'colour'");
    call = Good();
    call.key_field = "name";
    EXPECT_EQ(ErrorOf(call), "QueryRows: key field 'name' is not the key field 'id' of index tag 'name'");
}

TEST_F(QueryRowsErrors, TableWithoutAnyTagsIsRefused) {
    Exec("CREATE TABLE bare (id integer PRIMARY KEY)");
    Call call = Good();
    call.table = "bare";
    EXPECT_EQ(ErrorOf(call), "QueryRows: table 'bare' has no index tag 'name'");
}

TEST_F(QueryRowsErrors, StartTextsThatCannotBeValuesAreRefused) {
    Call call = Good();
    call.tag = "price";
    call.index = "12,5";
    call.key = "3";
    EXPECT_EQ(ErrorOf(call), "QueryRows: start index text '12,5' is not a number (index tag 'price' orders by a number)");
    call.index = "12.5";
    call.key = "three";
    EXPECT_EQ(ErrorOf(call), "QueryRows: start key 'three' is not a value of key field 'id' (integer)");
    call.key = "8";
    EXPECT_EQ(Answer(call).size(), 5u) << "the session goes on after refusals";
}

TEST_F(QueryRowsErrors, TagNamesAndTableNamesMatchInAnyAsciiLetterCase) {
    Call call = Good();
    call.table = "ITEMS";
    call.tag = "Name";
    call.key_field = "ID";
    EXPECT_EQ(ErrorOf(call), "");
    EXPECT_EQ(Answer(call).size(), 5u);
}

TEST_F(QueryRowsErrors, DroppedTableBehindATagIsReportedNotCrashed) {
    Exec("DROP TABLE items");
    EXPECT_EQ(ErrorOf(Good()), "QueryRows: unknown table 'items'");
}

TEST_F(QueryRowsErrors, DroppedKeyColumnIsReported) {
    Exec("ALTER TABLE items DROP COLUMN id CASCADE");
    EXPECT_EQ(ErrorOf(Good()), "QueryRows: table 'items' has no key field 'id'");
}

TEST_F(QueryRowsErrors, ArgumentsAreValuesNeverSql) {
    Call call = Good();
    call.index = "x'); DROP TABLE items; --";
    call.key = "'); DROP TABLE items; --";
    EXPECT_EQ(ErrorOf(call), "QueryRows: start key ''); DROP TABLE items; --' is not a value of key field 'id' (integer)");
    call.table = "items; DROP TABLE items";
    EXPECT_EQ(ErrorOf(call), "QueryRows: unknown table 'items; DROP TABLE items'");
    EXPECT_EQ(Exec("SELECT count(*) FROM items")[0][0], "20");
}

}  // namespace
}  // namespace rowlark::postgres::testing
