// The server's QueryRows after the session let go of its prepared walks (DEALLOCATE, DISCARD ALL):
// the call prepares its walk again and answers, whatever other statements the session holds and
// whatever another session changed meanwhile. Another session's tag change is made to land inside
// the call: the key's domain check waits on an advisory lock the other session holds, which keeps
// the call between its look-up of the tag and its walk until the change is committed.

#include <unistd.h>

#include "tests/postgres/postgres_fixture.h"

namespace rowlark::postgres::testing {
namespace {

class QueryRowsLetGo : public PgTest {
protected:
    void SetUp() override {
        PgTest::SetUp();
        if (IsSkipped()) return;
        // The lock of this test process alone: tests run side by side against one server.
        gate_ = std::to_string(::getpid());
        Exec("CREATE FUNCTION pass_gate() RETURNS boolean LANGUAGE plpgsql AS $$ BEGIN"
             " PERFORM pg_advisory_lock_shared(71402027, " + gate_ + "); PERFORM pg_advisory_unlock_shared(71402027, " +
             gate_ + "); RETURN true; END $$");
        Exec("CREATE DOMAIN gated_key AS integer CHECK (pass_gate())");
        Exec("CREATE TABLE t (id gated_key PRIMARY KEY, code text)");
        Exec("INSERT INTO t SELECT i, 'C' || lpad(i::text, 2, '0') FROM generate_series(1, 20) AS i");
        Exec("SELECT rowlark_add_index_tag('t', 'code', 'code', 'id')");
        Exec("DEALLOCATE ALL");
    }
    void TearDown() override {
        other_.reset();
        PgTest::TearDown();
    }
    // The tag's expression: by code, or the ids backwards.
    static void Retag(PGconn* conn, bool backwards) {
        Result dropped(PQexec(conn, "SELECT rowlark_drop_index_tag('t', 'code')"));
        ASSERT_EQ(PQresultStatus(dropped.get()), PGRES_TUPLES_OK) << PQerrorMessage(conn);
        Result added(PQexec(conn, backwards ? "SELECT rowlark_add_index_tag('t', 'code', '''Z'' || (100 - id)', 'id')"
                                            : "SELECT rowlark_add_index_tag('t', 'code', 'code', 'id')"));
        ASSERT_EQ(PQresultStatus(added.get()), PGRES_TUPLES_OK) << PQerrorMessage(conn);
    }
    // A second session on the test's schema.
    PGconn* Other() {
        if (!other_) {
            other_.reset(PQconnectdb(ServerConnectionString().c_str()));
            const std::string path = "SET search_path TO \"" + schema() + "\", public";
            Result set(PQexec(other_.get(), path.c_str()));
            EXPECT_EQ(PQresultStatus(set.get()), PGRES_COMMAND_OK) << PQerrorMessage(other_.get());
        }
        return other_.get();
    }
    std::string OtherValue(const std::string& sql) {
        Result result(PQexec(Other(), sql.c_str()));
        EXPECT_EQ(PQresultStatus(result.get()), PGRES_TUPLES_OK) << PQerrorMessage(Other());
        return PQntuples(result.get()) > 0 ? PQgetvalue(result.get(), 0, 0) : "";
    }

    std::string gate_;
    Connection other_;
};

TEST_F(QueryRowsLetGo, AWalkGoneAmongStatementsNamedLikeItIsPreparedAgain) {
    EXPECT_EQ(KeysOf(Answer(CodeCall("C05", "5", 3))), "6;7;8;");
    const std::string walk = Exec("SELECT name FROM pg_prepared_statements WHERE name LIKE 'rowlark\\_walk\\_%'").at(0).at(0);
    Exec("DEALLOCATE " + walk);
    // A statement whose name, read as a LIKE pattern, matches the walk's: its last character a '_'.
    Exec("PREPARE \"" + walk.substr(0, walk.size() - 1) + "_\" AS SELECT 1");
    EXPECT_EQ(KeysOf(Answer(CodeCall("C10", "10", 3))), "11;12;13;");
}

TEST_F(QueryRowsLetGo, AWalkGoneWhileAnotherSessionChangesTheTagIsPreparedForTheTagAsChanged) {
    // The session prepares the walk of the same call shape for both expressions, then lets go of both.
    EXPECT_EQ(KeysOf(Answer(CodeCall("C05", "5", 3))), "6;7;8;");
    Retag(conn(), true);
    EXPECT_EQ(KeysOf(Answer(CodeCall("Z95", "5", 3))), "4;3;2;");
    Retag(conn(), false);
    EXPECT_EQ(KeysOf(Answer(CodeCall("C05", "5", 3))), "6;7;8;");
    Exec("DEALLOCATE ALL");

    // The call waits at the gate, past its look-up of the tag, while the other session changes it.
    EXPECT_EQ(OtherValue("SELECT pg_advisory_lock(71402027, " + gate_ + ")::text"), "");
    const std::string backend = Exec("SELECT pg_backend_pid()::text").at(0).at(0);
    const Oid types[10] = {25, 25, 25, 25, 20, 25, 20, 25, 25, 20};
    const char* values[10] = {"t", "code", "C05", "5", "3", "id", "1", "", "", "0"};
    ASSERT_EQ(PQsendQueryParams(conn(), "SELECT * FROM queryrows($1, $2, $3, $4, $5, $6, $7, $8, $9, $10)", 10, types,
                                values, nullptr, nullptr, 0), 1);
    const std::string waiting = "SELECT count(*)::text FROM pg_locks WHERE locktype = 'advisory' AND NOT granted AND pid = " + backend;
    while (OtherValue(waiting) != "1") {
        ASSERT_EQ(PQconsumeInput(conn()), 1);
        ASSERT_EQ(PQisBusy(conn()), 1) << "the call ended without waiting at the gate";
    }
    Retag(Other(), true);
    EXPECT_EQ(OtherValue("SELECT pg_advisory_unlock(71402027, " + gate_ + ")::text"), "true");

    // The call answers in the tag's new order from where it started.
    Result answer(PQgetResult(conn()));
    ASSERT_EQ(PQresultStatus(answer.get()), PGRES_TUPLES_OK) << PQerrorMessage(conn());
    std::string keys;
    for (int row = 0; row < PQntuples(answer.get()); ++row) keys += std::string(PQgetvalue(answer.get(), row, 0)) + ";";
    EXPECT_EQ(keys, "20;19;18;");
    while (Result(PQgetResult(conn()))) {
    }
}

}  // namespace
}  // namespace rowlark::postgres::testing
