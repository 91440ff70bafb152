// The server's QueryRows prepares the walk of each call shape once per session and runs it again for
// the next window: one statement per shape and count, the server's own plan still the walk of the
// tag's index once it is reused, and nothing stale after the tag changes, the session lets go of its
// statements or a transaction that prepared one is rolled back.

#include "tests/postgres/postgres_fixture.h"

namespace rowlark::postgres::testing {
namespace {

class QueryRowsPrepared : public PgTest {
protected:
    void SetUp() override {
        PgTest::SetUp();
        if (IsSkipped()) return;
        Exec("CREATE TABLE t (id integer PRIMARY KEY, code text, kind integer)");
        Exec("INSERT INTO t SELECT i, 'C' || lpad(i::text, 6, '0'), i % 10 FROM generate_series(1, 20000) AS i");
        Exec("SELECT rowlark_add_index_tag('t', 'code', 'code', 'id')");
        Exec("SELECT rowlark_add_index_tag('t', 'kind', 'kind', 'id', 'number')");
        Exec("ANALYZE t");
        Exec("DEALLOCATE ALL");  // the session's statements from here on are this test's
    }
    std::string Walks() { return Exec("SELECT count(*) FROM pg_prepared_statements WHERE name LIKE 'rowlark_walk_%'")[0][0]; }
};

TEST_F(QueryRowsPrepared, EachCallShapeAndCountIsPreparedOnceAndAnswersEveryStart) {
    EXPECT_EQ(KeysOf(Answer(CodeCall("C000010", "10", 3))), "11;12;13;");
    EXPECT_EQ(KeysOf(Answer(CodeCall("C000500", "500", 3))), "501;502;503;");
    EXPECT_EQ(KeysOf(Answer(CodeCall("C019999", "19999", 3))), "20000;");
    EXPECT_EQ(Walks(), "1");
    EXPECT_EQ(KeysOf(Answer(CodeCall("C000500", "500", 3, false))), "499;498;497;");
    EXPECT_EQ(KeysOf(Answer(CodeCall("C000500", "500", 2))), "501;502;");
    EXPECT_EQ(KeysOf(Answer(CodeCall("", "", 2))), "1;2;");
    EXPECT_EQ(Walks(), "4");
    // The same shape through another spelling of the table and tag is the same walk.
    Call other = CodeCall("C000700", "700", 3);
    other.table = "T";
    other.tag = "CODE";
    EXPECT_EQ(KeysOf(Answer(other)), "701;702;703;");
    EXPECT_EQ(Walks(), "4");
}

TEST_F(QueryRowsPrepared, ReusedWalksKeepTheServersOwnPlanOfAnIndexWalk) {
    // After five runs the server weighs a plan for any start; it must still be the seek.
    for (const bool forward : {true, false}) {
        Call call = CodeCall("C010000", "10000", 50, forward);
        Call number;
        number.table = "t";
        number.tag = "kind";
        number.index = "5";
        number.key = "777";
        number.count = 50;
        number.forward = forward;
        number.from = "2";
        for (const Call& each : {call, number}) {
            for (int run = 0; run < 7; ++run) ASSERT_EQ(Answer(each).size(), 50u);
            std::string plan;
            for (const std::string& line : Explain(each)) plan += line + "\n";
            EXPECT_NE(plan.find(forward ? "Index Scan using rowlark_tag_t_" : "Index Scan Backward using rowlark_tag_t_"),
                      std::string::npos) << plan;
            EXPECT_NE(plan.find("$1"), std::string::npos) << "the plan for any start\n" << plan;
            EXPECT_EQ(plan.find("Sort"), std::string::npos) << plan;
            EXPECT_EQ(plan.find("Seq Scan"), std::string::npos) << plan;
        }
    }
    EXPECT_EQ(Exec("SELECT count(*) FROM pg_prepared_statements WHERE name LIKE 'rowlark_walk_%' AND generic_plans = 0")[0][0],
              "0");
}

TEST_F(QueryRowsPrepared, ATagAddedAgainWithAnotherExpressionIsWalkedByItsNewOne) {
    EXPECT_EQ(KeysOf(Answer(CodeCall("", "", 3))), "1;2;3;");
    Exec("SELECT rowlark_drop_index_tag('t', 'code')");
    Exec("SELECT rowlark_add_index_tag('t', 'code', '''Z'' || (100000 - id)', 'id')");  // the ids backwards
    EXPECT_EQ(KeysOf(Answer(CodeCall("", "", 3))), "20000;19999;19998;");
    // A tag and table that are gone fail as they always did, prepared walk or not.
    Exec("SELECT rowlark_drop_index_tag('t', 'code')");
    EXPECT_EQ(Call_(CodeCall("", "", 3)).error, "QueryRows: table 't' has no index tag 'code'");
}

TEST_F(QueryRowsPrepared, WalksTheSessionLetGoOfOrARollbackForgotArePreparedAgain) {
    EXPECT_EQ(KeysOf(Answer(CodeCall("C000010", "10", 2))), "11;12;");
    Exec("DEALLOCATE ALL");
    EXPECT_EQ(KeysOf(Answer(CodeCall("C000020", "20", 2))), "21;22;");
    EXPECT_EQ(Walks(), "1");
    // Statements outlive a rolled-back transaction; the session's note of them does not.
    Exec("BEGIN");
    EXPECT_EQ(KeysOf(Answer(CodeCall("C000030", "30", 4))), "31;32;33;34;");
    Exec("ROLLBACK");
    EXPECT_EQ(KeysOf(Answer(CodeCall("C000040", "40", 4))), "41;42;43;44;");
    EXPECT_EQ(Walks(), "2");
    Exec("DISCARD ALL");
    Exec("SET search_path TO \"" + schema() + "\", public");
    EXPECT_EQ(KeysOf(Answer(CodeCall("C000050", "50", 4))), "51;52;53;54;");
}

TEST_F(QueryRowsPrepared, TheTagListGivesEachTagsTextOrder) {
    Exec("SELECT rowlark_add_index_tag('t', 'code_ru', 'code', 'id', 'text', 'russian')");
    const auto rows = Exec("SELECT tag, kind, text_order FROM rowlark_index_tag_list() WHERE table_name = 't'"
                           " AND EXISTS (SELECT FROM pg_tables WHERE schemaname = $1 AND tablename = 't') ORDER BY tag",
                           {schema()});
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"code", "text", "bytes"}));
    EXPECT_EQ(rows[1], (std::vector<std::string>{"code_ru", "text", "russian"}));
    EXPECT_EQ(rows[2], (std::vector<std::string>{"kind", "number", "bytes"}));
}

}  // namespace
}  // namespace rowlark::postgres::testing
