#include "oledb_fixture.h"

class Faults : public OleDbTest {
protected:
    void SetUp() override {
        OleDbTest::SetUp();
        Exec("CREATE TABLE t(a, b); INSERT INTO t VALUES (1, 'x'), (2, 'y'), (3, 'z'), (4, 'w');");
    }
};

TEST_F(Faults, CommandThatIsNotMade) {
    oledb_faults::FailCreateCommand();
    EXPECT_EQ(data_->CreateCommand(), nullptr);
    EXPECT_FALSE(OleDb::CCommandProxy(data_->CreateCommand()).IsValid());
    oledb_faults::ResetAll();
    OleDb::CCommandProxy made(data_->CreateCommand());
    EXPECT_TRUE(made.IsValid());
}

TEST_F(Faults, RowThatCannotBePositioned) {
    auto result = Direct("SELECT a FROM t");
    oledb_faults::FailGetRowAt(1);
    EXPECT_TRUE(result.GetRow(0));
    EXPECT_FALSE(result.GetRow(1));
    CValue v;
    EXPECT_FALSE(result.GetFieldValue(0, v));  // a failed move leaves no current row
    EXPECT_TRUE(result.GetRow(2));
    EXPECT_TRUE(result.GetRow(3));
}

TEST_F(Faults, EveryRowFromSomeNumberOnCannotBePositioned) {
    auto result = Direct("SELECT a FROM t");
    oledb_faults::FailGetRowFrom(2);
    EXPECT_TRUE(result.GetRow(0));
    EXPECT_TRUE(result.GetRow(1));
    EXPECT_FALSE(result.GetRow(2));
    EXPECT_FALSE(result.GetRow(3));
}

TEST_F(Faults, ValueThatCannotBeRead) {
    oledb_faults::FailFieldValue(1, 2);
    auto result = Direct("SELECT a, b FROM t ORDER BY a");
    CValue v;
    ASSERT_TRUE(result.GetRow(2));
    EXPECT_TRUE(result.GetFieldValue(0, v));
    v = "untouched";
    EXPECT_FALSE(result.GetFieldValue(1, v));
    EXPECT_EQ(v.GetString(), "untouched");
    ASSERT_TRUE(result.GetRow(1));
    EXPECT_TRUE(result.GetFieldValue(1, v));

    // In a pass the row number is the row's place in it.
    auto seq = Sequential("SELECT a, b FROM t ORDER BY a");
    std::vector<bool> readable;
    while (seq.GetNextRow()) readable.push_back(seq.GetFieldValue(1, v));
    EXPECT_EQ(readable, (std::vector<bool>{true, true, false, true}));
}

TEST_F(Faults, DirectExecutionThatReportsNoRowCount) {
    for (long reported : {0L, -1L}) {
        oledb_faults::ReportRowCount(reported);
        LONG count = 123;
        auto result = Direct("SELECT a FROM t", count);
        EXPECT_EQ(count, reported);
        EXPECT_FALSE(result.IsEmpty());
        long rows = 0;
        while (result.GetRow(rows)) ++rows;  // the rows are all there to be counted
        EXPECT_EQ(rows, 4);
    }
}

TEST_F(Faults, ResetAllClearsEveryFailure) {
    oledb_faults::FailCreateCommand();
    oledb_faults::FailGetRowAt(0);
    oledb_faults::FailGetRowFrom(0);
    oledb_faults::FailFieldValue(0, 0);
    oledb_faults::ReportRowCount(-1);
    oledb_faults::ResetAll();
    LONG count = 0;
    auto result = Direct("SELECT a FROM t", count);
    EXPECT_EQ(count, 4);
    CValue v;
    EXPECT_TRUE(result.GetRow(0));
    EXPECT_TRUE(result.GetFieldValue(0, v));
    OleDb::CCommandProxy made(data_->CreateCommand());
    EXPECT_TRUE(made.IsValid());
}
