// The layer's counted failures: each failable operation counts one call, the chosen call fails the
// way that operation fails for real, and the count lets a test know how many calls it made.

#include "platform/oledb/faults.h"
#include "platform/oledb/procedures.h"
#include "platform/runtime/module.h"
#include "tests/dynamic/dynamic_fixture.h"
#include "tests/support/host_fixture.h"
#include "tests/sweep/drain.h"

namespace sweep {
namespace {

using oledb_faults::Call;
using test_support::Cp;
using test_support::RaisedErrors;

class FailNthCall : public test_support::HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        db_ = std::make_unique<test_support::TestDatabase>();
        db_->Exec("CREATE TABLE t(a, b); INSERT INTO t VALUES (1, 'x'), (2, 'y'), (3, 'z');");
        command_ = OleDb::CCommandProxy(db_->connection()->CreateCommand());
    }
    void TearDown() override {
        oledb_backend::UnregisterProcedure("Three");
        command_ = OleDb::CCommandProxy();
        db_.reset();
        HostTest::TearDown();
    }
    OleDb::CResultDirectAccessProxy Direct(const char* sql, LONG& count) {
        CString text(sql);
        return command_.ExecuteStatementExternalDirect(text, count);
    }
    OleDb::CResultSequentialAccessProxy Sequential(const char* sql) {
        CString text(sql);
        LONG unused = 0;
        return command_.ExecuteStatementExternalSequential(text, unused);
    }

    std::unique_ptr<test_support::TestDatabase> db_;
    OleDb::CCommandProxy command_;
};

TEST_F(FailNthCall, CountsEveryFailableCallAndFailsNone) {
    oledb_faults::FailNthCall(0);
    LONG count = 0;
    auto result = Direct("SELECT a, b FROM t", count);  // the statement and its row count
    CValue v;
    ASSERT_TRUE(result.GetRow(2));
    ASSERT_TRUE(result.GetFieldValue(1, v));
    EXPECT_EQ(4, oledb_faults::CallsMade());
    EXPECT_FALSE(oledb_faults::NthCallFailed());
    EXPECT_EQ(3, count);

    auto seq = Sequential("SELECT a FROM t");  // the statement; the first row comes with it
    DrainSequential(seq);
    EXPECT_EQ(4 + 1 + 3, oledb_faults::CallsMade()) << "three steps after the first row: two rows and the end";
    EXPECT_TRUE(RaisedErrors().empty());
}

TEST_F(FailNthCall, FailingStatementIsRaisedAndGivesNoResult) {
    oledb_faults::FailNthCall(1);
    LONG count = 7;
    auto result = Direct("SELECT a FROM t", count);
    EXPECT_TRUE(oledb_faults::NthCallFailed());
    EXPECT_EQ(Call::kStatement, oledb_faults::FailedCall());
    EXPECT_FALSE(result.IsValid());
    EXPECT_EQ(0, count);
    EXPECT_EQ(std::vector<std::string>{"Ошибка базы данных: failure made on purpose"}, RaisedErrors());

    // Only that call: the next execution runs.
    result = Direct("SELECT a FROM t", count);
    EXPECT_TRUE(result.IsValid());
    EXPECT_EQ(3, count);
}

TEST_F(FailNthCall, FailingRowCountIsReportedUnknownWithEveryRowThere) {
    oledb_faults::FailNthCall(2);
    LONG count = 0;
    auto result = Direct("SELECT a FROM t", count);
    EXPECT_EQ(Call::kRowCount, oledb_faults::FailedCall());
    EXPECT_EQ(-1, count);
    EXPECT_TRUE(result.GetRow(2));
    EXPECT_TRUE(RaisedErrors().empty());
}

TEST_F(FailNthCall, FailingPositionLeavesNoCurrentRowAndFailingReadLeavesTheValue) {
    LONG count = 0;
    auto result = Direct("SELECT a FROM t ORDER BY a", count);
    oledb_faults::FailNthCall(1);
    EXPECT_FALSE(result.GetRow(1));
    CValue v;
    v = "untouched";
    EXPECT_FALSE(result.GetFieldValue(0, v)) << "no current row after the failed move";
    ASSERT_TRUE(result.GetRow(1));
    oledb_faults::FailNthCall(1);
    EXPECT_FALSE(result.GetFieldValue(0, v));
    EXPECT_EQ(Call::kFieldValue, oledb_faults::FailedCall());
    EXPECT_EQ("untouched", std::string(v.GetString().c_str()));
    EXPECT_TRUE(result.GetFieldValue(0, v));
    EXPECT_EQ("2", std::string(v.Format()));
}

TEST_F(FailNthCall, FailingStepOfAPassIsRaisedAndEndsThePass) {
    auto seq = Sequential("SELECT a FROM t ORDER BY a");
    oledb_faults::FailNthCall(2);  // the first row needs no step; the second step fails
    EXPECT_TRUE(seq.GetNextRow());
    EXPECT_TRUE(seq.GetNextRow());
    EXPECT_FALSE(seq.GetNextRow());
    EXPECT_EQ(Call::kNextRow, oledb_faults::FailedCall());
    EXPECT_EQ(std::vector<std::string>{"Ошибка базы данных: failure made on purpose"}, RaisedErrors());
    EXPECT_FALSE(seq.GetNextRow()) << "a failed pass is over";
    EXPECT_EQ(1u, RaisedErrors().size());
}

TEST_F(FailNthCall, FailingProcedureCallIsRaisedAsAFailingStatement) {
    oledb_backend::RegisterProcedure("Three", [](const oledb_backend::ProcedureSite&,
                                                 const std::vector<oledb_backend::ProcArg>&) {
        return std::make_unique<dynamic_test::AnswerCursor>(dynamic_test::Answer{{"1", "a"}, {"2", "b"}, {"3", "c"}});
    });
    oledb_faults::FailNthCall(1);
    auto seq = Sequential("Three ()");
    EXPECT_EQ(Call::kProcedure, oledb_faults::FailedCall());
    EXPECT_FALSE(seq.IsValid());
    EXPECT_EQ(1u, RaisedErrors().size());
    seq = Sequential("Three ()");
    EXPECT_EQ(3, DrainSequential(seq));
}

TEST_F(FailNthCall, EveryLaterCallFailsUntilCleared) {
    LONG count = 0;
    auto result = Direct("SELECT a FROM t", count);
    oledb_faults::FailNthCall(2, true);
    EXPECT_TRUE(result.GetRow(0));
    EXPECT_FALSE(result.GetRow(1));
    EXPECT_FALSE(result.GetRow(2));
    EXPECT_EQ(3, oledb_faults::CallsMade());
    oledb_faults::FailNthCall(0);
    EXPECT_TRUE(result.GetRow(2));
    oledb_faults::FailNthCall(1, true);
    oledb_faults::ResetAll();
    EXPECT_EQ(0, oledb_faults::CallsMade());
    EXPECT_TRUE(result.GetRow(1));
    EXPECT_FALSE(oledb_faults::NthCallFailed());
}

TEST_F(FailNthCall, ConnectionCommandAndTranslationFailTheirOwnWay) {
    oledb_faults::FailNthCall(1);
    EXPECT_EQ(nullptr, db_->connection()->CreateCommand());
    EXPECT_EQ(Call::kCreateCommand, oledb_faults::FailedCall());

    oledb_faults::FailNthCall(1);
    EXPECT_FALSE(db_->connection()->Execute("CREATE TABLE u(x)"));
    EXPECT_EQ(Call::kExecute, oledb_faults::FailedCall());
    EXPECT_TRUE(db_->connection()->Execute("CREATE TABLE u(x)")) << "the failed statement did not run";

    oledb_faults::FailNthCall(1);
    EXPECT_FALSE(db_->connection()->Open(":memory:"));
    EXPECT_TRUE(db_->connection()->IsOpen()) << "the previous connection stays";
    EXPECT_TRUE(db_->connection()->Execute("INSERT INTO u VALUES (1)")) << "on the same database";

    oledb_faults::FailNthCall(1);
    OleDb::CMetaNameParserProxy parser;
    parser.SetQueryText("goods");
    EXPECT_FALSE(parser.Parse());
    EXPECT_EQ("Не удалось перевести метаимя: goods", test_support::Utf(parser.GetLastError().c_str()));
    EXPECT_TRUE(parser.Parse());
    EXPECT_EQ("goods", std::string(parser.GetQueryText().c_str()));

    oledb_faults::FailNthCall(1);
    CValue value;
    value = 5L;
    CString text("old"), extra;
    bool flag = true;
    EXPECT_FALSE(OleDb::CMetaNameParserProxy::CValueToDBValue(value, 0, text, flag, extra));
    EXPECT_EQ("", std::string(text.c_str()));
    EXPECT_TRUE(OleDb::CMetaNameParserProxy::CValueToDBValue(value, 0, text, flag, extra));
    EXPECT_EQ("5", std::string(text.c_str()));
    EXPECT_EQ(2u, RaisedErrors().size()) << "Execute and Open raise; the others answer false";
}

}  // namespace
}  // namespace sweep
