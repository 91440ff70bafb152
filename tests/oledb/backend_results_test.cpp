#include "backend_fixture.h"

class BackendResults : public BackendTest {
protected:
    void SetUp() override {
        BackendTest::SetUp();
        if (IsSkipped()) return;
        Exec("CREATE TABLE t(n INTEGER, k TEXT, v REAL);"
             "INSERT INTO t VALUES (1, 'a', 1.5), (2, 'б', NULL), (3, 'c', 0.1), (4, 'd', -2.0), (5, 'e', 1e20);");
    }
    // The k column of a whole sequential pass.
    std::vector<std::string> Pass(OleDb::CResultSequentialAccessProxy& result) {
        std::vector<std::string> seen;
        while (result.GetNextRow()) {
            CValue k;
            EXPECT_TRUE(result.GetFieldValue(1, k));
            seen.push_back(Utf8(k));
        }
        return seen;
    }
};
ROWLARK_BOTH_BACKENDS(BackendResults);

TEST_P(BackendResults, DirectResultCountsItsRowsAndPositionsOnAnyOfThem) {
    LONG count = 0;
    auto result = Direct("SELECT n, k, v FROM t ORDER BY n", count);
    ASSERT_TRUE(result.IsValid()) << LastError();
    EXPECT_EQ(count, 5);
    EXPECT_EQ(result.GetNumFields(), 3);
    EXPECT_EQ(result.GetFieldName(1), "k");
    CValue v;
    ASSERT_TRUE(result.GetRow(4));
    ASSERT_TRUE(result.GetFieldValue(2, v));
    EXPECT_EQ(v.GetNumeric(), CNumeric::Parse("1e20"));
    ASSERT_TRUE(result.GetRow(1));
    ASSERT_TRUE(result.GetFieldValue(1, v));
    EXPECT_EQ(Utf8(v), "б");
    ASSERT_TRUE(result.GetFieldValue(2, v));
    EXPECT_EQ(v.GetKind(), CValue::Kind::Empty);
    ASSERT_TRUE(result.GetRow(2));
    ASSERT_TRUE(result.GetFieldValue(2, v));
    EXPECT_EQ(v.GetString(), "0.1");  // the shortest decimal of the double, on both
    EXPECT_FALSE(result.GetRow(5));
    EXPECT_FALSE(result.GetFieldValue(0, v));
}

TEST_P(BackendResults, SequentialResultPassesEveryRowOnceInOrderAndStaysAtTheEnd) {
    auto result = Sequential("SELECT n, k FROM t ORDER BY n");
    ASSERT_TRUE(result.IsValid()) << LastError();
    EXPECT_FALSE(result.IsEmpty());
    CValue v;
    EXPECT_FALSE(result.GetFieldValue(0, v));  // no current row before the first move
    EXPECT_EQ(Pass(result), (std::vector<std::string>{"a", "б", "c", "d", "e"}));
    EXPECT_FALSE(result.GetNextRow());
    EXPECT_FALSE(result.GetFieldValue(0, v));
    EXPECT_FALSE(result.IsEmpty());
}

TEST_P(BackendResults, EmptyResultsAreValidAndEmpty) {
    auto sequential = Sequential("SELECT n, k FROM t WHERE n > 99");
    ASSERT_TRUE(sequential.IsValid());
    EXPECT_TRUE(sequential.IsEmpty());
    EXPECT_EQ(sequential.GetNumFields(), 2);
    EXPECT_FALSE(sequential.GetNextRow());
    LONG count = 7;
    auto direct = Direct("SELECT n FROM t WHERE n > 99", count);
    EXPECT_TRUE(direct.IsValid());
    EXPECT_TRUE(direct.IsEmpty());
    EXPECT_EQ(count, 0);
}

TEST_P(BackendResults, FailingSequentialStatementRaisesAndGivesNoValidResult) {
    auto result = Sequential("SELECT nope FROM t");
    EXPECT_FALSE(result.IsValid());
    EXPECT_FALSE(result.GetNextRow());
    ASSERT_EQ(host_errors::Raised().size(), 1u);
    EXPECT_EQ(LastError(), "Ошибка базы данных: " +
                               Either("no such column: nope", "column \"nope\" does not exist"));
}

TEST_P(BackendResults, SequentialPassKeepsItsConnectionWhenEveryOtherHolderLetsGo) {
    auto result = Sequential("SELECT n, k FROM t ORDER BY n");
    command_ = OleDb::CCommandProxy();
    data_->Close();
    EXPECT_EQ(Pass(result).size(), 5u);
}

TEST_P(BackendResults, OtherCommandsRunWhileASequentialPassIsHalfWay) {
    auto pass = Sequential("SELECT n, k FROM t ORDER BY n");
    ASSERT_TRUE(pass.GetNextRow());
    ASSERT_TRUE(pass.GetNextRow());
    // The same connection serves another command, a change and a second pass meanwhile.
    EXPECT_EQ(Scalar("SELECT count(*) FROM t"), "5");
    Exec("INSERT INTO t VALUES (6, 'f', 6.0)");
    auto second = Sequential("SELECT n, k FROM t WHERE n >= 5 ORDER BY n");
    EXPECT_EQ(Pass(second), (std::vector<std::string>{"e", "f"}));
    // The first pass goes on from where it stood, over the rows its statement saw.
    CValue k;
    ASSERT_TRUE(pass.GetFieldValue(1, k));
    EXPECT_EQ(Utf8(k), "б");
    EXPECT_EQ(Pass(pass), (std::vector<std::string>{"c", "d", "e"}));
}

TEST_P(BackendResults, AbandonedSequentialPassFreesTheConnectionForTheNextCommand) {
    Exec("INSERT INTO t SELECT n + 10, k, v FROM t");
    for (int i = 0; i < 3; ++i) {
        auto pass = Sequential("SELECT n, k FROM t ORDER BY n");
        ASSERT_TRUE(pass.GetNextRow());
    }  // each pass is let go after its first row
    EXPECT_EQ(Scalar("SELECT count(*) FROM t"), "10");
    EXPECT_TRUE(host_errors::Raised().empty()) << LastError();
}

TEST_P(BackendResults, TextsCrossInCodePage1251AndUnfitCharactersAreReplacedWithOneWarning) {
    // U+6F22 made by the database: the statement text itself crosses in CP1251, which lacks it.
    auto result = Direct("SELECT k AS \"Буква\", 'Ёж ' || " + Either("char(28450)", "chr(28450)") +
                         " AS other FROM t WHERE n = 2");
    ASSERT_TRUE(result.IsValid()) << LastError();
    EXPECT_EQ(cp1251::ToUtf8(result.GetFieldName(0).view()), "буква");
    CValue v;
    ASSERT_TRUE(result.GetRow(0));
    ASSERT_TRUE(result.GetFieldValue(0, v));
    EXPECT_EQ(v.GetString().view(), cp1251::FromUtf8("б"));
    ASSERT_TRUE(result.GetFieldValue(1, v));
    EXPECT_EQ(Utf8(v), "Ёж ?");
    ASSERT_EQ(GetBkEndUI()->Lines().size(), 1u);
    EXPECT_EQ(GetBkEndUI()->Lines()[0].marker, 2);
}
