#include "backend_fixture.h"

// What the layer adds around the database: meta-names, value texts and the failures made on purpose.
class BackendLayer : public BackendTest {
protected:
    void SetUp() override {
        BackendTest::SetUp();
        if (IsSkipped()) return;
        Exec("CREATE TABLE t(a INTEGER, b TEXT); INSERT INTO t VALUES (1, 'x'), (2, 'y'), (3, 'z'), (4, 'w');");
    }
    static std::string Parse(const std::string& utf8) {
        OleDb::CMetaNameParserProxy parser;
        parser.SetQueryText(CString(std::string_view(cp1251::FromUtf8(utf8))));
        if (parser.Parse()) return cp1251::ToUtf8(parser.GetQueryText().view());
        return "error: " + cp1251::ToUtf8(parser.GetLastError().view());
    }
};
ROWLARK_BOTH_BACKENDS(BackendLayer);

TEST_P(BackendLayer, MetaNamesOfTheDatabasesCatalogueBecomeKnownOnOpenAndOnExecute) {
    Exec("CREATE TABLE rowlark_meta_names(meta_name TEXT, real_name TEXT);"
         "INSERT INTO rowlark_meta_names VALUES ('$Справочник.Товары', 'goods'), ('Склад', NULL);");
    EXPECT_EQ(Parse("$справочник.ТОВАРЫ"), "goods");
    EXPECT_EQ(Parse("$Склад"), "");
    oledb_backend::ClearMetaNames();
    COLEDBData other;
    ASSERT_TRUE(other.Open(ConnectionText().c_str())) << LastError();
    EXPECT_EQ(Parse("$Справочник.Товары"), "goods");
    EXPECT_EQ(Parse("$Нет"), "error: Неизвестное метаимя: $Нет");
}

TEST_P(BackendLayer, DatabaseValueTextsReadBackAsTheSameValues) {
    CValue number, text, empty;
    number = CNumeric::Parse("-1234.5");
    text = cp1251::FromUtf8("Ёлка").c_str();
    std::string sql = "SELECT ";
    for (const CValue* value : {&number, &text, &empty}) {
        CString out, extra;
        bool quoted = false;
        ASSERT_TRUE(OleDb::CMetaNameParserProxy::CValueToDBValue(*value, 0, out, quoted, extra));
        sql += std::string(value == &number ? "" : ", ") + (quoted ? "'" : "") + cp1251::ToUtf8(out.view()) +
               (quoted ? "'" : "");
    }
    auto result = Direct(sql);
    ASSERT_TRUE(result.GetRow(0)) << LastError();
    CValue v;
    ASSERT_TRUE(result.GetFieldValue(0, v));
    EXPECT_EQ(v.GetNumeric(), number.GetNumeric());
    ASSERT_TRUE(result.GetFieldValue(1, v));
    EXPECT_EQ(Utf8(v), "Ёлка");
    ASSERT_TRUE(result.GetFieldValue(2, v));
    EXPECT_EQ(v.GetKind(), CValue::Kind::Empty);
}

TEST_P(BackendLayer, FailuresMadeOnPurposeTakeTheirOwnRoads) {
    oledb_faults::FailNthCall(1);  // the statement
    EXPECT_FALSE(Direct("SELECT a FROM t").IsValid());
    EXPECT_EQ(LastError(), "Ошибка базы данных: failure made on purpose");

    auto direct = Direct("SELECT a FROM t ORDER BY a");
    oledb_faults::FailGetRowAt(1);
    oledb_faults::FailFieldValue(0, 2);
    CValue v;
    EXPECT_TRUE(direct.GetRow(0));
    EXPECT_FALSE(direct.GetRow(1));
    EXPECT_TRUE(direct.GetRow(2));
    EXPECT_FALSE(direct.GetFieldValue(0, v));
    oledb_faults::ResetAll();

    auto pass = Sequential("SELECT a FROM t ORDER BY a");
    ASSERT_TRUE(pass.GetNextRow());
    oledb_faults::FailNthCall(1);  // the next step
    host_errors::Clear();
    EXPECT_FALSE(pass.GetNextRow());
    EXPECT_EQ(LastError(), "Ошибка базы данных: failure made on purpose");
    EXPECT_FALSE(pass.GetNextRow());  // the pass is over
    oledb_faults::ResetAll();
    EXPECT_EQ(Scalar("SELECT count(*) FROM t"), "4");  // the connection was left ready
}

TEST_P(BackendLayer, ForcedRowCountsAreReportedInsteadOfTheRealOne) {
    oledb_faults::ReportRowCount(-1);
    LONG count = 0;
    auto result = Direct("SELECT a FROM t", count);
    EXPECT_EQ(count, -1);
    EXPECT_TRUE(result.GetRow(3));
}
