// The server's QueryRows keeps a tag's look-up for the session and serves the next call of that tag
// without it; every change to what the look-up found (the table's name or schema, the key column's
// name or type, the tag's catalogue row) is noticed, and the call answers as a first call would:
// never a walk of a stale statement, nor of a table by a name it no longer has. Look-ups are counted
// by the server's function statistics of the current transaction (a look-up that raises is not
// counted), so each test runs in one transaction.

#include "tests/postgres/postgres_fixture.h"

namespace rowlark::postgres::testing {
namespace {

class QueryRowsKnownTag : public PgTest {
protected:
    void SetUp() override {
        PgTest::SetUp();
        if (IsSkipped()) return;
        Exec("CREATE TABLE t (id integer PRIMARY KEY, code text, alt integer UNIQUE)");
        Exec("INSERT INTO t SELECT i, 'C' || lpad(i::text, 4, '0'), 1000 - i FROM generate_series(1, 200) AS i");
        Exec("SELECT rowlark_add_index_tag('t', 'code', 'code', 'id')");
        Exec("SET track_functions = 'pl'");
    }
    void TearDown() override {
        if (!moved_.empty()) Try("DROP SCHEMA IF EXISTS \"" + moved_ + "\" CASCADE");
        PgTest::TearDown();
    }
    static Call Code(const std::string& index, const std::string& key, std::int64_t count = 3) {
        return CodeCall(index, key, count);
    }
    static std::string Keys(const Rows& rows) { return KeysOf(rows); }
    // How many times the tag was looked up by the calls made since the last count.
    int LookUps() {
        const auto rows = Exec("SELECT coalesce(pg_stat_get_xact_function_calls("
                               "'public.rowlark_queryrows_tag(text, text, text)'::regprocedure), 0)");
        const int total = std::stoi(rows.at(0).at(0));
        const int since = total - counted_;
        counted_ = total;
        return since;
    }
    // A call that must be refused: its error, the test's transaction kept.
    std::string Refusal(const Call& call) {
        Exec("SAVEPOINT refusal");
        std::string error = Call_(call).error;
        Exec("ROLLBACK TO SAVEPOINT refusal");
        return error;
    }
    void Warm() {
        Exec("BEGIN");  // the statistics of a transaction are read within it
        EXPECT_EQ(Keys(Answer(Code("C0010", "10"))), "11;12;13;");
        EXPECT_EQ(Keys(Answer(Code("C0020", "20"))), "21;22;23;");
        EXPECT_EQ(LookUps(), 1) << "the second call of the tag takes the look-up the first one kept";
    }

    std::string moved_;  // a schema a test made, dropped after it
    int counted_ = 0;
};

TEST_F(QueryRowsKnownTag, EveryStartAndDirectionOfAKnownTagSkipsTheLookUpAndAnswersAsBefore) {
    Warm();
    Call backward = Code("C0100", "100");
    backward.forward = false;
    Call inclusive = Code("C0050", "50", 2);
    inclusive.inclusive = true;
    const Call at_value = Code("C0060", "", 2);  // a number key: the value alone starts the walk
    // The first call of each shape prepares its walk on the checked road; the next ones skip the look-up.
    for (const int looked_up : {4, 0}) {
        EXPECT_EQ(Keys(Answer(backward)), "99;98;97;");
        EXPECT_EQ(Keys(Answer(Code("", "", 2))), "1;2;");
        EXPECT_EQ(Keys(Answer(inclusive)), "50;51;");
        EXPECT_EQ(Keys(Answer(at_value)), "61;62;");
        EXPECT_EQ(LookUps(), looked_up);
    }
    Call other_case = Code("C0010", "10");
    other_case.key_field = "ID";
    EXPECT_EQ(Keys(Answer(other_case)), "11;12;13;");
    EXPECT_EQ(LookUps(), 0);
    Call other_tag_case = Code("C0010", "10");
    other_tag_case.tag = "CODE";  // another spelling is looked up once, then known too
    EXPECT_EQ(Keys(Answer(other_tag_case)), "11;12;13;");
    EXPECT_EQ(Keys(Answer(other_tag_case)), "11;12;13;");
    EXPECT_EQ(LookUps(), 1);
    // Refusals still come from the checked road, with their own messages.
    Call bad_key = Code("C0010", "x1");
    EXPECT_EQ(Refusal(bad_key), "QueryRows: start key 'x1' is not a value of key field 'id' (integer)");
    Call bad_field = Code("C0010", "10");
    bad_field.key_field = "alt";
    EXPECT_EQ(Refusal(bad_field), "QueryRows: key field 'alt' is not the key field 'id' of index tag 'code'");
    Exec("COMMIT");
}

TEST_F(QueryRowsKnownTag, ARenamedKeyColumnIsNoKeyField) {
    Warm();
    Exec("ALTER TABLE t RENAME COLUMN id TO ident");
    EXPECT_EQ(Refusal(Code("C0030", "30")), "QueryRows: table 't' has no key field 'id'");
    Exec("ALTER TABLE t RENAME COLUMN ident TO id");  // the same name again: a first call's answer
    EXPECT_EQ(Keys(Answer(Code("C0030", "30"))), "31;32;33;");
    EXPECT_EQ(LookUps(), 1);
    Exec("ROLLBACK");
}

TEST_F(QueryRowsKnownTag, AKeyColumnOfAnotherTypeReadsTheStartKeyByItsNewType) {
    Exec("ALTER TABLE t ALTER COLUMN id TYPE text");
    Warm();  // a text key: any start key reads
    EXPECT_EQ(Keys(Answer(Code("C0010", "10x"))), "11;12;13;");
    Exec("ALTER TABLE t ALTER COLUMN id TYPE integer USING id::integer");
    EXPECT_EQ(Keys(Answer(Code("C0010", "10"))), "11;12;13;");
    EXPECT_EQ(LookUps(), 1);
    EXPECT_EQ(Refusal(Code("C0010", "10x")),
              "QueryRows: start key '10x' is not a value of key field 'id' (integer)");
    Exec("ROLLBACK");
}

TEST_F(QueryRowsKnownTag, ATableRenamedTakesItsTagsAlongAndIsWalkedUnderItsNewName) {
    Warm();
    Exec("ALTER TABLE t RENAME TO u");
    Exec("CREATE TABLE t (id integer PRIMARY KEY, code text)");  // the old name, another table
    Call renamed = Code("C0030", "30");
    renamed.table = "u";
    EXPECT_EQ(Keys(Answer(renamed)), "31;32;33;");
    EXPECT_EQ(Keys(Answer(renamed)), "31;32;33;");
    EXPECT_EQ(LookUps(), 1) << "the walk names the table: the rename is a change, looked up once";
    EXPECT_EQ(Refusal(Code("C0030", "30")), "QueryRows: table 't' has no index tag 'code'");
    Exec("ROLLBACK");
}

TEST_F(QueryRowsKnownTag, ATableMovedToAnotherSchemaTakesItsTagsAlong) {
    moved_ = schema() + "_moved";
    Exec("CREATE SCHEMA \"" + moved_ + "\"");
    Exec("SET search_path TO \"" + schema() + "\", \"" + moved_ + "\", public");
    Warm();
    Exec("ALTER TABLE t SET SCHEMA \"" + moved_ + "\"");
    EXPECT_EQ(Keys(Answer(Code("C0030", "30"))), "31;32;33;");
    EXPECT_EQ(Keys(Answer(Code("C0030", "30"))), "31;32;33;");
    EXPECT_EQ(LookUps(), 1);
    Exec("ROLLBACK");
}

TEST_F(QueryRowsKnownTag, ATagAddedAgainOverAnotherKeyFieldIsWalkedByIt) {
    Warm();
    Exec("SELECT rowlark_drop_index_tag('t', 'code')");
    Exec("SELECT rowlark_add_index_tag('t', 'code', 'code', 'alt')");
    EXPECT_EQ(Refusal(Code("C0030", "30")),
              "QueryRows: key field 'id' is not the key field 'alt' of index tag 'code'");
    Call by_alt = Code("C0030", "970");
    by_alt.key_field = "alt";
    EXPECT_EQ(Keys(Answer(by_alt)), "969;968;967;");
    EXPECT_EQ(Keys(Answer(by_alt)), "969;968;967;");
    EXPECT_EQ(LookUps(), 1);
    // The catalogue's row changed in place is a change too.
    Exec("UPDATE rowlark_index_tags SET key_field = 'id' WHERE table_schema = $1", {schema()});
    EXPECT_EQ(Refusal(by_alt), "QueryRows: key field 'alt' is not the key field 'id' of index tag 'code'");
    Exec("ROLLBACK");
}

TEST_F(QueryRowsKnownTag, ADroppedTableOrTagFailsAsAlways) {
    Warm();
    Exec("SAVEPOINT kept");
    Exec("SELECT rowlark_drop_index_tag('t', 'code')");
    EXPECT_EQ(Refusal(Code("C0030", "30")), "QueryRows: table 't' has no index tag 'code'");
    Exec("ROLLBACK TO SAVEPOINT kept");
    Exec("DROP TABLE t");
    EXPECT_EQ(Refusal(Code("C0030", "30")), "QueryRows: unknown table 't'");
    Exec("ROLLBACK");
}

}  // namespace
}  // namespace rowlark::postgres::testing
