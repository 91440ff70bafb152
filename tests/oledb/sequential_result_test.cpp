#include "oledb_fixture.h"

class SequentialResult : public OleDbTest {
protected:
    void SetUp() override {
        OleDbTest::SetUp();
        Exec("CREATE TABLE t(k TEXT, v); INSERT INTO t VALUES ('a', 1), ('б', NULL), ('c', 2.5);");
    }
};

TEST_F(SequentialResult, PassesEveryRowOnceInOrder) {
    auto result = Sequential("SELECT k, v FROM t ORDER BY rowid");
    ASSERT_TRUE(result.IsValid());
    EXPECT_FALSE(result.IsEmpty());
    EXPECT_EQ(result.GetNumFields(), 2);
    std::vector<std::string> seen;
    while (result.GetNextRow()) {
        CValue k, v;
        ASSERT_TRUE(result.GetFieldValue(0, k));
        ASSERT_TRUE(result.GetFieldValue(1, v));
        seen.push_back(Utf8(k) + "=" + (v.GetKind() == CValue::Kind::Empty ? "NULL" : Utf8(v)));
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"a=1", "б=NULL", "c=2.5"}));
    EXPECT_FALSE(result.GetNextRow());  // stays at the end, never starts over
    CValue v;
    EXPECT_FALSE(result.GetFieldValue(0, v));
}

TEST_F(SequentialResult, HasNoCurrentRowBeforeTheFirstMove) {
    auto result = Sequential("SELECT k FROM t");
    CValue v;
    EXPECT_FALSE(result.GetFieldValue(0, v));
    ASSERT_TRUE(result.GetNextRow());
    EXPECT_TRUE(result.GetFieldValue(0, v));
}

TEST_F(SequentialResult, EmptyResultIsValidAndEmpty) {
    auto result = Sequential("SELECT k FROM t WHERE 0");
    ASSERT_TRUE(result.IsValid());
    EXPECT_TRUE(result.IsEmpty());
    EXPECT_FALSE(result.GetNextRow());
}

TEST_F(SequentialResult, StaysNotEmptyAfterThePass) {
    auto result = Sequential("SELECT k FROM t");
    while (result.GetNextRow()) {
    }
    EXPECT_FALSE(result.IsEmpty());
}

TEST_F(SequentialResult, KeepsItsConnectionOpenWhileStreaming) {
    auto result = Sequential("SELECT k FROM t ORDER BY rowid");
    command_ = OleDb::CCommandProxy();
    data_->Close();
    int rows = 0;
    while (result.GetNextRow()) ++rows;
    EXPECT_EQ(rows, 3);
}

TEST_F(SequentialResult, FailingStatementRaisesAndGivesNoValidResult) {
    auto result = Sequential("SELECT nope FROM t");
    EXPECT_FALSE(result.IsValid());
    EXPECT_TRUE(result.IsEmpty());
    EXPECT_FALSE(result.GetNextRow());
    ASSERT_EQ(host_errors::Raised().size(), 1u);
    EXPECT_EQ(host_errors::Raised()[0].flag, 7);
    EXPECT_NE(LastError().find("no such column: nope"), std::string::npos) << LastError();
}
