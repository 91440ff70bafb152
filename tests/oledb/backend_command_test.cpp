#include "backend_fixture.h"

class BackendCommand : public BackendWithRows {};
ROWLARK_BOTH_BACKENDS(BackendCommand);

TEST_P(BackendCommand, FailingStatementIsRaisedWithTheDatabasesOwnMessageAndGivesNoResult) {
    LONG count = 99;
    auto result = Direct("SELECT * FROM missing", count);
    EXPECT_FALSE(result.IsValid());
    EXPECT_EQ(count, 0);
    ASSERT_EQ(host_errors::Raised().size(), 1u);
    EXPECT_EQ(host_errors::Raised()[0].flag, 7);
    EXPECT_EQ(LastError(), "Ошибка базы данных: " +
                               Either("no such table: missing", "relation \"missing\" does not exist"));
    EXPECT_EQ(Scalar("SELECT count(*) FROM t"), "3");  // the connection goes on after the failure
}

TEST_P(BackendCommand, FailingStatementMayLeaveByTheHostsThrowAndTheCommandStaysUsable) {
    host_errors::SetRaiseThrows(true);
    CString bad("SELECT FROM WHERE");
    LONG count = 0;
    EXPECT_THROW(command_.ExecuteStatementExternalDirect(bad, count), HostRuntimeError);
    EXPECT_THROW(command_.ExecuteStatementExternalSequential(bad, count), HostRuntimeError);
    EXPECT_EQ(host_errors::Raised().size(), 2u);
    host_errors::SetRaiseThrows(false);
    EXPECT_EQ(Scalar("SELECT count(*) FROM t"), "3");
}

TEST_P(BackendCommand, RefusesEmptyTextsAndMoreThanOneStatementWithTheSameWords) {
    EXPECT_FALSE(Direct("   ").IsValid());
    EXPECT_EQ(LastError(), "Ошибка базы данных: empty statement text");
    EXPECT_FALSE(Direct(" -- only a comment\n ;").IsValid());
    EXPECT_EQ(LastError(), "Ошибка базы данных: empty statement text");
    EXPECT_FALSE(Direct("DELETE FROM t; SELECT 1").IsValid());
    EXPECT_EQ(LastError(), "Ошибка базы данных: more than one statement in one command");
    EXPECT_FALSE(Sequential("DELETE FROM t; SELECT 1").IsValid());
    EXPECT_EQ(Scalar("SELECT count(*) FROM t"), "3");  // nothing of the refused texts ran
    EXPECT_EQ(Scalar("SELECT 1; -- trailing comment\n ;"), "1");
    EXPECT_EQ(Scalar("SELECT ';' || name FROM t WHERE id = 1 /* ; */;"), ";one");
}

TEST_P(BackendCommand, StatementWithoutRowsRunsAndGivesAValidEmptyResult) {
    LONG count = 5;
    auto result = Direct("UPDATE t SET qty = qty + 1", count);
    EXPECT_TRUE(result.IsValid());
    EXPECT_TRUE(result.IsEmpty());
    EXPECT_EQ(result.GetNumFields(), 0);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(Scalar("SELECT sum(qty) FROM t"), "63");
}

TEST_P(BackendCommand, BindsParametersByNameInEachOfTheThreeNotations) {
    command_.SetTextParam("a", CValue() = 1L);
    CValue two;
    two = "two";
    command_.SetTextParam(":b", two);
    command_.SetTextParam("@c", CValue() = 30L);
    EXPECT_EQ(Scalar("SELECT count(*) FROM t WHERE id = :a OR name = @b OR qty = $c"), "3");
    // One name used twice is one parameter.
    command_.SetTextParam("a", CValue() = 1L);
    EXPECT_EQ(Scalar("SELECT count(*) FROM t WHERE id = :a OR qty = :a * 10"), "1");
}

TEST_P(BackendCommand, BindsWholeNumbersAsIntegersFractionsAsNumbersTextsAsTextEmptyAsNull) {
    CValue whole, fraction, text, empty;
    whole = CNumeric(9223372036854775807LL);
    fraction = CNumeric::Parse("1234.56");
    text = cp1251::FromUtf8("Ёжик").c_str();
    const std::string type_of = Either("typeof", "pg_typeof");
    command_.SetTextParam("w", whole);
    EXPECT_EQ(Scalar("SELECT " + type_of + "(:w) || ' ' || :w"), Either("integer", "bigint") + " 9223372036854775807");
    // The server takes a fraction as the exact decimal it is; SQLite has no such type.
    command_.SetTextParam("f", fraction);
    EXPECT_EQ(Scalar("SELECT " + type_of + "(:f) || ' ' || :f"), Either("real", "numeric") + " 1234.56");
    command_.SetTextParam("s", text);
    EXPECT_EQ(Scalar("SELECT " + type_of + "(:s) || ' ' || :s || ' ' || length(:s)"), Either("text", "text") + " Ёжик 4");
    command_.SetTextParam("e", empty);
    EXPECT_EQ(Scalar("SELECT count(*) FROM t WHERE :e IS NULL"), "3");
}

TEST_P(BackendCommand, TakesTheLatestValueAndCopiesShareTheCommand) {
    command_.SetTextParam("id", CValue() = 1L);
    command_.SetTextParam("id", CValue() = 3L);
    EXPECT_EQ(Scalar("SELECT name FROM t WHERE id = :id"), "три");
    OleDb::CCommandProxy copy = command_;  // copies share the command and its parameters
    copy.SetTextParam("id", CValue() = 2L);
    EXPECT_EQ(Scalar("SELECT name FROM t WHERE id = :id"), "two");
}

TEST_P(BackendCommand, NumbersTextsAndEmptyValuesTravelIntoRowsAndBackUnchanged) {
    Exec("CREATE TABLE v(id INTEGER, big BIGINT, amount NUMERIC(12, 2), label TEXT)");
    CValue big, amount, label;
    big = CNumeric(9223372036854775807LL);
    amount = CNumeric::Parse("1234.56");
    label = cp1251::FromUtf8("O'Brien «цитата» ; -- :x").c_str();
    command_.SetTextParam("big", big);
    command_.SetTextParam("amount", amount);
    command_.SetTextParam("label", label);
    ASSERT_TRUE(Direct("INSERT INTO v VALUES (1, :big, :amount, :label)").IsValid()) << LastError();
    command_.SetTextParam("none", CValue());
    ASSERT_TRUE(Direct("INSERT INTO v VALUES (2, :none, :none, :none)").IsValid()) << LastError();
    auto result = Direct("SELECT big, amount, label FROM v ORDER BY id");
    ASSERT_TRUE(result.GetRow(0));
    CValue v;
    ASSERT_TRUE(result.GetFieldValue(0, v));
    EXPECT_EQ(v.GetKind(), CValue::Kind::Number);
    EXPECT_EQ(v.GetNumeric(), CNumeric(9223372036854775807LL));
    ASSERT_TRUE(result.GetFieldValue(1, v));
    EXPECT_EQ(v.GetNumeric(), CNumeric::Parse("1234.56"));
    ASSERT_TRUE(result.GetFieldValue(2, v));
    EXPECT_EQ(Utf8(v), "O'Brien «цитата» ; -- :x");
    ASSERT_TRUE(result.GetRow(1));
    for (int c = 0; c < 3; ++c) {
        ASSERT_TRUE(result.GetFieldValue(c, v));
        EXPECT_EQ(v.GetKind(), CValue::Kind::Empty) << c;
    }
}

TEST_P(BackendCommand, DebugModeWritesEachStatementWhileOn) {
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

TEST_P(BackendCommand, ExecuteRunsSeveralStatementsAndRaisesTheDatabasesMessage) {
    Exec("INSERT INTO t VALUES (4, 'four', 40); INSERT INTO t VALUES (5, 'пять', 50)");
    EXPECT_EQ(Scalar("SELECT name FROM t WHERE id = 5"), "пять");
    EXPECT_FALSE(data_->Execute("DROP TABLE nope"));
    EXPECT_EQ(LastError(), "Ошибка базы данных: " + Either("no such table: nope", "table \"nope\" does not exist"));
    EXPECT_TRUE(data_->IsOpen());
}

TEST_P(BackendCommand, HandleWithoutACommandIsNotValidAndRaisesOnExecution) {
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
    EXPECT_TRUE(GetBkEndUI()->Lines().empty()) << "a missing command writes no statement";
}
