// Bad QueryRows calls end in an error naming what is wrong, in the same words on both databases, and
// leave the database as it was and the connection usable.

#include "tests/query_rows/query_rows_fixture.h"

namespace query_rows_test {
namespace {

class QueryRowsErrors : public QueryRowsTest {
protected:
    void SetUp() override {
        QueryRowsTest::SetUp();
        if (IsSkipped()) return;
        db().Exec("CREATE TABLE items (id integer PRIMARY KEY, name text, price numeric)");
        BackendDatabase::Rows rows;
        for (int i = 1; i <= 20; ++i) rows.push_back({std::to_string(i), "name " + std::to_string(i), std::to_string(i * 1.5)});
        db().Insert("items", {"id", "name", "price"}, rows);
        db().AddIndexTag("items", "name", "name", "id");
        db().AddIndexTag("items", "price", "price", "id", true);
    }
    static Call Good() {
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
    call = Good();
    call.forward = 2;
    EXPECT_EQ(ErrorOf(call), "QueryRows argument 7 (direction) must be 1 or 0, got 2");
    call = Good();
    call.inclusive = -1;
    EXPECT_EQ(ErrorOf(call), "QueryRows argument 10 (inclusive) must be 1 or 0, got -1");
    EXPECT_EQ(Answer(Good()).size(), 5u) << "the connection goes on after refusals";
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
    db().Exec("CREATE TABLE bare (id integer PRIMARY KEY)");
    Call call = Good();
    call.table = "bare";
    EXPECT_EQ(ErrorOf(call), "QueryRows: table 'bare' has no index tag 'name'");
}

TEST_F(QueryRowsErrors, StartIndexTextThatIsNotANumberIsRefusedForNumberTags) {
    Call call = Good();
    call.tag = "price";
    call.index = "12,5";
    call.key = "3";
    EXPECT_EQ(ErrorOf(call), "QueryRows: start index text '12,5' is not a number (index tag 'price' orders by a number)");
    call.index = "12.5";
    EXPECT_EQ(Answer(call).size(), 5u) << "the connection goes on after refusals";
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
    db().Exec("DROP TABLE items");
    EXPECT_EQ(ErrorOf(Good()), "QueryRows: unknown table 'items'");
}

TEST_F(QueryRowsErrors, ArgumentsAreValuesNeverSql) {
    Call call = Good();
    call.index = "x'); DROP TABLE items; --";
    call.key = "'); DROP TABLE items; --";
    // The server refuses a start key its key column cannot hold; SQLite compares it as the text it is.
    EXPECT_EQ(ErrorOf(call),
              Either("", "QueryRows: start key ''); DROP TABLE items; --' is not a value of key field 'id' (integer)"));
    call.table = "items; DROP TABLE items";
    EXPECT_EQ(ErrorOf(call), "QueryRows: unknown table 'items; DROP TABLE items'");
    call = Good();
    call.tag = "name'; DROP TABLE items; --";
    EXPECT_EQ(ErrorOf(call), "QueryRows: table 'items' has no index tag 'name'; DROP TABLE items; --'");
    EXPECT_EQ(db().Column("SELECT count(*) FROM items"), Keys{"20"});
}

// A database that has never had a tag: SQLite has no tag catalogue at all then.
class QueryRowsWithoutTags : public QueryRowsTest {};

TEST_F(QueryRowsWithoutTags, TableOfADatabaseWithoutTagsIsRefused) {
    db().Exec("CREATE TABLE items (id integer PRIMARY KEY)");
    Call call;
    call.table = "items";
    call.tag = "name";
    call.count = 5;
    EXPECT_EQ(ErrorOf(call), "QueryRows: table 'items' has no index tag 'name'");
}

// What the server refuses before the walk, where SQLite takes whatever its column holds.
TEST_F(QueryRowsErrors, StartKeyThatIsNotAValueOfTheKeyColumnIsRefusedOnTheServer) {
    ROWLARK_ONLY_ON_SERVER("SQLite columns hold values of any type, so any start key is one");
    Call call = Good();
    call.tag = "price";
    call.index = "12.5";
    call.key = "three";
    EXPECT_EQ(ErrorOf(call), "QueryRows: start key 'three' is not a value of key field 'id' (integer)");
    call.key = "8";
    EXPECT_EQ(Answer(call).size(), 5u) << "the session goes on after refusals";
}

TEST_F(QueryRowsErrors, DroppedKeyColumnIsReportedOnTheServer) {
    ROWLARK_ONLY_ON_SERVER("SQLite cannot drop a primary key column");
    db().Exec("ALTER TABLE items DROP COLUMN id CASCADE");
    EXPECT_EQ(ErrorOf(Good()), "QueryRows: table 'items' has no key field 'id'");
}

}  // namespace
}  // namespace query_rows_test
