// The server backend prepares what repeats: a row query's quoted key lists bound as one array, and a
// call of a server function, each once per session. What is run must answer and fail exactly as the
// text would: a shape the server will not prepare, a transaction in progress, statements the session
// let go of and a session lost all lead back to the text itself.

#include "backend_fixture.h"

class ServerPrepared : public BackendTest {
protected:
    void SetUp() override {
        BackendTest::SetUp();
        if (IsSkipped()) return;
        Exec("CREATE TABLE g(id integer PRIMARY KEY, name text, code char(4))");
        Exec("INSERT INTO g VALUES (1, 'Ёж', 'a'), (2, 'it''s', 'b'), (3, NULL, 'c'), (4, 'a\"b\\c', 'd')");
        Exec("CREATE FUNCTION twice(x bigint) RETURNS TABLE(v bigint) LANGUAGE plpgsql AS $$ BEGIN "
             "IF x < 0 THEN RAISE EXCEPTION 'negative %', x; END IF; RETURN QUERY VALUES (x * 2); END $$");
    }
    // The column's values of every row, joined by ";".
    std::string Column(const std::string& sql, int column = 0) {
        auto result = Direct(sql);
        if (!result.IsValid()) return "<error: " + LastError() + ">";
        std::string text;
        for (LONG row = 0; result.GetRow(row); ++row) {
            CValue v;
            EXPECT_TRUE(result.GetFieldValue(column, v)) << LastError();
            text += (v.GetKind() == CValue::Kind::Empty ? "NULL" : Utf8(v)) + ";";
        }
        return text;
    }
    std::string Prepared(const std::string& prefix) {
        return Scalar("SELECT count(*) FROM pg_prepared_statements WHERE name LIKE '" + prefix + "%'");
    }
};
INSTANTIATE_TEST_SUITE_P(Backends, ServerPrepared, ::testing::Values(Backend::kPostgres), BackendName);

TEST_P(ServerPrepared, KeyListsOfOneShapeShareOneStatementAndAnswerEachText) {
    EXPECT_EQ(Column("SELECT id FROM g WHERE id IN ('3', '1', '3') ORDER BY id"), "1;3;");
    EXPECT_EQ(Column("SELECT id FROM g WHERE id IN ('2') ORDER BY id"), "2;");
    EXPECT_EQ(Column("SELECT id FROM g WHERE id IN ('4','9') ORDER BY id"), "4;");
    EXPECT_EQ(Prepared("rowlark_shape_"), "1");
    // Elements are the literals' texts: quotes, backslashes, letters beyond ASCII, the text NULL.
    EXPECT_EQ(Column("SELECT id FROM g WHERE name IN ('it''s', 'a\"b\\c', 'Ёж', 'NULL') ORDER BY id"), "1;2;4;");
    // The list's left side gives the type, as it gives the literals theirs: char(4) ignores padding.
    EXPECT_EQ(Column("SELECT id FROM g WHERE code IN ('a   ', 'c') ORDER BY id"), "1;3;");
    EXPECT_EQ(Prepared("rowlark_shape_"), "3");
}

TEST_P(ServerPrepared, ShapesTheServerWillNotPrepareRunAsTheirTexts) {
    // POSITION's IN is no list: "position('b' = ANY($1))" is refused, and the text answers.
    EXPECT_EQ(Scalar("SELECT position('b' IN ('abc'))"), "2");
    EXPECT_EQ(Scalar("SELECT position('c' IN ('abc'))"), "3");
    // A left side of no type reads the literals as texts, and so does the array.
    EXPECT_EQ(Scalar("SELECT 'a' IN ('a', 'b')"), "1");
    EXPECT_EQ(Scalar("SELECT 'z' IN ('a', 'b')"), "0");
    EXPECT_EQ(Prepared("rowlark_shape_"), "2");  // the two texts of 'a' and 'z': POSITION's stayed texts
}

TEST_P(ServerPrepared, ErrorsAreTheTextsOwn) {
    Exec("BEGIN");  // inside a transaction the text runs as itself: its own error to compare with
    const std::string own = Column("SELECT id FROM g WHERE id IN ('1', 'x')");
    Exec("ROLLBACK");
    ASSERT_NE(own.find("<error: "), std::string::npos);
    EXPECT_EQ(Column("SELECT id FROM g WHERE id IN ('1', 'x')"), own);
    EXPECT_EQ(Column("SELECT id FROM g WHERE id IN ('1', 'x')"), own);
    EXPECT_EQ(Column("SELECT id FROM g WHERE id IN ('2')"), "2;");  // the session is fine afterwards
}

TEST_P(ServerPrepared, InsideATransactionNothingIsPreparedAndNothingIsAborted) {
    Exec("BEGIN");
    EXPECT_EQ(Column("SELECT id FROM g WHERE id IN ('1')"), "1;");
    EXPECT_EQ(Column("SELECT v FROM twice(4)"), "8;");
    EXPECT_EQ(Column("twice(5)"), "10;");
    EXPECT_EQ(Prepared("rowlark_"), "0");
    Exec("UPDATE g SET name = 'new' WHERE id = 1");
    Exec("COMMIT");
    EXPECT_EQ(Column("SELECT name FROM g WHERE id IN ('1')"), "new;");
}

TEST_P(ServerPrepared, StatementsTheSessionLetGoOfArePreparedAgain) {
    EXPECT_EQ(Column("SELECT id FROM g WHERE id IN ('1')"), "1;");
    EXPECT_EQ(Column("twice(2)"), "4;");
    Exec("DEALLOCATE ALL");
    EXPECT_EQ(Column("SELECT id FROM g WHERE id IN ('2')"), "2;");
    EXPECT_EQ(Column("twice(3)"), "6;");
    EXPECT_EQ(Column("SELECT id FROM g WHERE id IN ('3')"), "3;");
    EXPECT_EQ(Column("twice(4)"), "8;");
    EXPECT_EQ(Prepared("rowlark_shape_"), "2");  // the row query's shape and the call
}

TEST_P(ServerPrepared, ACallIsPreparedOnceAndFailsWithItsOwnErrorOnce) {
    EXPECT_EQ(Column("twice(1)"), "2;");
    EXPECT_EQ(Column("twice(21)"), "42;");
    EXPECT_EQ(Prepared("rowlark_shape_"), "1");
    // A sequence outlives the failed call's rollback: it counts how often the function really ran.
    Exec("CREATE SEQUENCE calls");
    Exec("CREATE FUNCTION counted(x bigint) RETURNS TABLE(v bigint) LANGUAGE plpgsql AS $$ BEGIN "
         "PERFORM nextval('calls'); IF x < 0 THEN RAISE EXCEPTION 'negative %', x; END IF; "
         "RETURN QUERY VALUES (x); END $$");
    EXPECT_EQ(Column("twice(-1)"), "<error: Ошибка базы данных: negative -1>");
    EXPECT_EQ(Column("counted(-1)"), "<error: Ошибка базы данных: negative -1>");
    EXPECT_EQ(Column("counted(-1)"), "<error: Ошибка базы данных: negative -1>");
    EXPECT_EQ(Column("counted(7)"), "7;");
    EXPECT_EQ(Scalar("SELECT last_value FROM calls"), "3");
}

TEST_P(ServerPrepared, ReadSequentiallyTheShapedStatementStreamsItsRows) {
    for (const char* keys : {"'1', '2'", "'3', '4'"}) {
        auto result = Sequential(std::string("SELECT id FROM g WHERE id IN (") + keys + ") ORDER BY id");
        ASSERT_TRUE(result.IsValid()) << LastError();
        std::string seen;
        while (result.GetNextRow()) {
            CValue v;
            ASSERT_TRUE(result.GetFieldValue(0, v)) << LastError();
            seen += Utf8(v) + ";";
        }
        EXPECT_EQ(seen, keys[1] == '1' ? "1;2;" : "3;4;");
    }
    EXPECT_EQ(Prepared("rowlark_shape_"), "1");
}
