#include "oledb_fixture.h"

class Command : public OleDbTest {
protected:
    void SetUp() override {
        OleDbTest::SetUp();
        Exec("CREATE TABLE t(id INTEGER PRIMARY KEY, name TEXT, qty);"
             "INSERT INTO t VALUES (1, 'one', 10), (2, 'two', 20), (3, 'три', 30);");
    }
};

TEST_F(Command, FailingStatementIsRaisedWithTheDatabasesMessageAndGivesNoResult) {
    LONG count = 99;
    auto result = Direct("SELECT * FROM missing", count);
    EXPECT_FALSE(result.IsValid());
    EXPECT_EQ(count, 0);
    ASSERT_EQ(host_errors::Raised().size(), 1u);
    EXPECT_EQ(host_errors::Raised()[0].flag, 7);
    EXPECT_EQ(LastError(), "Ошибка базы данных: no such table: missing");
}

TEST_F(Command, FailingStatementMayLeaveByTheHostsThrowAndTheCommandStaysUsable) {
    host_errors::SetRaiseThrows(true);
    CString bad("SELECT FROM");
    LONG count = 0;
    EXPECT_THROW(command_.ExecuteStatementExternalDirect(bad, count), HostRuntimeError);
    EXPECT_THROW(command_.ExecuteStatementExternalSequential(bad, count), HostRuntimeError);
    EXPECT_EQ(host_errors::Raised().size(), 2u);
    EXPECT_EQ(Scalar("SELECT count(*) FROM t"), "3");
}

TEST_F(Command, RefusesEmptyTextsAndMoreThanOneStatement) {
    EXPECT_FALSE(Direct("   ").IsValid());
    EXPECT_NE(LastError().find("empty statement"), std::string::npos) << LastError();
    EXPECT_FALSE(Direct("DELETE FROM t; SELECT 1").IsValid());
    EXPECT_NE(LastError().find("more than one statement"), std::string::npos) << LastError();
    EXPECT_EQ(Scalar("SELECT count(*) FROM t"), "3");  // nothing of the refused text ran
    EXPECT_TRUE(Direct("SELECT 1; -- trailing comment\n ;").IsValid());
}

TEST_F(Command, StatementWithoutRowsRunsAndGivesAValidEmptyResult) {
    LONG count = 5;
    auto result = Direct("UPDATE t SET qty = qty + 1", count);
    EXPECT_TRUE(result.IsValid());
    EXPECT_TRUE(result.IsEmpty());
    EXPECT_EQ(count, 0);
    EXPECT_EQ(Scalar("SELECT sum(qty) FROM t"), "63");
}

TEST_F(Command, BindsParametersByNameInEachOfTheThreeNotations) {
    command_.SetTextParam("a", CValue() = 1L);
    CValue two;
    two = "two";
    command_.SetTextParam(":b", two);
    command_.SetTextParam("@c", CValue() = 30L);
    EXPECT_EQ(Scalar("SELECT count(*) FROM t WHERE id = :a OR name = @b OR qty = $c"), "3");
}

TEST_F(Command, BindsWholeNumbersAsIntegersOthersAsRealsTextsAsTextEmptyAsNull) {
    CValue whole, fraction, text, empty;
    whole = CNumeric(9223372036854775807LL);
    fraction = CNumeric::Parse("1234.56");
    text = cp1251::FromUtf8("Ёжик").c_str();
    command_.SetTextParam("w", whole);
    command_.SetTextParam("f", fraction);
    command_.SetTextParam("s", text);
    command_.SetTextParam("e", empty);
    EXPECT_EQ(Scalar("SELECT typeof(:w) || ' ' || :w"), "integer 9223372036854775807");
    EXPECT_EQ(Scalar("SELECT typeof(:f) || ' ' || :f"), "real 1234.56");
    EXPECT_EQ(Scalar("SELECT typeof(:s) || ' ' || :s || ' ' || length(:s)"), "text Ёжик 4");
    EXPECT_EQ(Scalar("SELECT typeof(:e)"), "null");
}

TEST_F(Command, KeepsParametersForLaterExecutionsAndTakesTheLatestValue) {
    command_.SetTextParam("id", CValue() = 1L);
    EXPECT_EQ(Scalar("SELECT name FROM t WHERE id = :id"), "one");
    EXPECT_EQ(Scalar("SELECT qty FROM t WHERE id = :id"), "10");
    command_.SetTextParam("id", CValue() = 3L);
    EXPECT_EQ(Scalar("SELECT name FROM t WHERE id = :id"), "три");
}

TEST_F(Command, ParameterNamesAreCaseSensitiveAndUnsetOnesAreNull) {
    command_.SetTextParam("Id", CValue() = 2L);
    EXPECT_EQ(Scalar("SELECT :id IS NULL"), "1");
    EXPECT_EQ(Scalar("SELECT :Id"), "2");
}

TEST_F(Command, ParametersTravelIntoInsertedRowsUnchanged) {
    CValue name;
    name = cp1251::FromUtf8("O'Brien «цитата»").c_str();
    command_.SetTextParam("n", name);
    EXPECT_TRUE(Direct("INSERT INTO t(id, name) VALUES (4, :n)").IsValid());
    EXPECT_EQ(Scalar("SELECT name FROM t WHERE id = 4"), "O'Brien «цитата»");
}

TEST_F(Command, DebugModeWritesEachStatementWhileOn) {
    command_.SetDebugMode(true);
    Direct("SELECT name FROM t WHERE name = 'три'");
    Sequential("SELECT 2");
    Direct("SELECT * FROM missing");  // failing statements are written too
    command_.SetDebugMode(false);
    Direct("SELECT 3");
    const auto& lines = GetBkEndUI()->Lines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].text, cp1251::FromUtf8("SELECT name FROM t WHERE name = 'три'"));
    EXPECT_EQ(lines[0].marker, 1);
    EXPECT_EQ(lines[1].text, "SELECT 2");
    EXPECT_EQ(lines[2].text, "SELECT * FROM missing");
}

TEST_F(Command, HandleWithoutACommandIsNotValidAndRaisesOnExecution) {
    OleDb::CCommandProxy none;
    EXPECT_FALSE(none.IsValid());
    none.SetTextParam("a", CValue());
    none.SetDebugMode(true);
    CString text("SELECT 1");
    LONG count = 3;
    EXPECT_FALSE(none.ExecuteStatementExternalDirect(text, count).IsValid());
    EXPECT_EQ(count, 0);
    EXPECT_FALSE(none.ExecuteStatementExternalSequential(text, count).IsValid());
    EXPECT_EQ(host_errors::Raised().size(), 2u);
    EXPECT_EQ(LastError(), "Команда OLE DB не создана");
}

TEST_F(Command, CopiesShareOneCommandAndItsParameters) {
    OleDb::CCommandProxy copy = command_;
    copy.SetTextParam("x", CValue() = 7L);
    EXPECT_EQ(Scalar("SELECT :x"), "7");
}
