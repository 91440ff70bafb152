// What only the server's QueryRows meets, called in SQL rather than as the layer binds it: NULL
// arguments, and calls that name no function. The contract itself is tested on both databases in
// tests/query_rows.

#include "tests/postgres/postgres_fixture.h"

namespace rowlark::postgres::testing {
namespace {

class QueryRowsInSql : public PgTest {
protected:
    void SetUp() override {
        PgTest::SetUp();
        if (IsSkipped()) return;
        Exec("CREATE TABLE items (id integer PRIMARY KEY, name text)");
        Exec("INSERT INTO items SELECT i, 'name ' || i FROM generate_series(1, 20) AS i");
        Exec("SELECT rowlark_add_index_tag('items', 'name', 'name', 'id')");
    }
};

TEST_F(QueryRowsInSql, MissingArgumentsAreRefusedByPosition) {
    EXPECT_EQ(Try("SELECT * FROM queryrows(NULL, 'name', '', '', 5, 'id', 1, '', '', 0)").error,
              "QueryRows argument 1 (table) must be a quoted text, got NULL");
    EXPECT_EQ(Try("SELECT * FROM queryrows('items', 'name', '', '', NULL, 'id', 1, '', '', 0)").error,
              "QueryRows argument 5 (count) must be a whole number, got NULL");
    EXPECT_NE(Try("SELECT * FROM queryrows('items', 'name', '', '', 5, 'id', 1, '', '')").error, "")
        << "nine arguments name no function";
}

TEST_F(QueryRowsInSql, OutOfRangeNumbersInSqlAreRefusedByPosition) {
    const std::string sql = "SELECT * FROM queryrows('items', 'name', '', '', 5, 'id', $1::bigint, '', '', $2::bigint)";
    EXPECT_EQ(Try(sql, {"2", "0"}).error, "QueryRows argument 7 (direction) must be 1 or 0, got 2");
    EXPECT_EQ(Try(sql, {"1", "-1"}).error, "QueryRows argument 10 (inclusive) must be 1 or 0, got -1");
    EXPECT_EQ(Try(sql, {"1", "0"}).rows.size(), 5u);
}

}  // namespace
}  // namespace rowlark::postgres::testing
