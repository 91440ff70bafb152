// Column names as the layer reports them, on both databases: in small letters whatever case the
// query wrote them in (bare or quoted, Latin or Cyrillic), Ё and the code page's other capitals
// kept as the module's key-field folding keeps them.

#include <vector>

#include "backend_fixture.h"

namespace {

class ColumnNameCase : public BackendTest {
protected:
    void SetUp() override {
        BackendTest::SetUp();
        if (IsSkipped()) return;
        Exec("CREATE TABLE t(id INTEGER, name TEXT);"
             "INSERT INTO t VALUES (1, 'one');");
    }
    static std::vector<std::string> Names(const OleDb::CResultProxy& result) {
        std::vector<std::string> names;
        for (int c = 0; c < result.GetNumFields(); ++c) names.push_back(cp1251::ToUtf8(result.GetFieldName(c).view()));
        return names;
    }
};
ROWLARK_BOTH_BACKENDS(ColumnNameCase);

const char* const kAliases =
    "SELECT id AS Код, name AS \"Name\", id AS \"ЦЕНА_Total\", id AS ЁМКОСТЬ, id AS \"ёлка\", id AS \"Їжак\", "
    "id AS \"Mixed Case 2\" FROM t";
const std::vector<std::string> kFolded = {"код", "name", "цена_total", "Ёмкость", "ёлка", "Їжак", "mixed case 2"};

TEST_P(ColumnNameCase, DirectResultsNameEveryColumnInSmallLettersButYo) {
    const auto result = Direct(kAliases);
    ASSERT_TRUE(result.IsValid()) << LastError();
    EXPECT_EQ(Names(result), kFolded);
}

TEST_P(ColumnNameCase, SequentialResultsNameTheirColumnsAlike) {
    auto result = Sequential(kAliases);
    ASSERT_TRUE(result.IsValid()) << LastError();
    EXPECT_EQ(Names(result), kFolded);
    ASSERT_TRUE(result.GetNextRow());
    CValue value;
    ASSERT_TRUE(result.GetFieldValue(1, value));
    EXPECT_EQ(Utf8(value), "one");
}

TEST_P(ColumnNameCase, TableColumnsDeclaredInCapitalsComeInSmallLetters) {
    Exec("CREATE TABLE \"Товары\"(\"Артикул\" INTEGER, \"ItemName\" TEXT)");
    const auto result = Direct("SELECT * FROM \"Товары\"");
    ASSERT_TRUE(result.IsValid()) << LastError();
    EXPECT_EQ(Names(result), (std::vector<std::string>{"артикул", "itemname"}));
}

}  // namespace
