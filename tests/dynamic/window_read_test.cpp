// How a window reads: the row query runs inside the read the QueryRows walk already holds, and
// that read ends before the load returns, so a writer in another connection never waits for a
// window the grid was given. The row query's keys are matched by value where they are numbers,
// which must find exactly the rows the text of each number would.

#include <sqlite3.h>

#include <algorithm>

#include "dynamic_fixture.h"
#include "platform/oledb/sqlite_connection.h"

namespace dynamic_test {
namespace {

using Keys = std::vector<std::string>;
using test_support::RaisedErrors;

class WindowRead : public DynamicTest {
protected:
    void BuildDatabase() override {
        DynamicTest::BuildDatabase();
        // Text keys: three written as plain whole numbers, one as a fraction, one with a leading zero.
        backend_->Exec("CREATE TABLE codes (code TEXT PRIMARY KEY, name TEXT)");
        backend_->Exec("INSERT INTO codes VALUES ('42', 'a'), ('-5', 'b'), ('100', 'c'), ('2.5', 'd'), ('042', 'e')");
        backend_->AddIndexTag("codes", "name", "name", "code");
    }

    // Another connection that gives up at once when it has to wait for a lock.
    std::unique_ptr<BackendDatabase::Session> ImpatientWriter() {
        std::unique_ptr<BackendDatabase::Session> writer = backend_->OpenSession();
        writer->Exec(backend_->on_server() ? "SET lock_timeout = 1" : "PRAGMA busy_timeout = 0");
        return writer;
    }

    void ConfigureCodes(const std::string& query) {
        provider_->SetQueryText(Cp(query));
        provider_->SetKeyFieldQuery("code");
        provider_->SetKeyFieldBaseTable("code");
        provider_->SetBaseTable("codes");
        provider_->SetIndexTag("name");
        provider_->SetConnection(data_.get());
    }
};

// Statements of the connection that stand open (stepped, not reset): each holds the file's read lock.
int OpenStatements(sqlite3* db) {
    int open = 0;
    for (sqlite3_stmt* s = sqlite3_next_stmt(db, nullptr); s; s = sqlite3_next_stmt(db, s)) open += sqlite3_stmt_busy(s);
    return open;
}

TEST_F(WindowRead, RowQueryRunsInsideTheKeyWalksReadWhichEndsWithTheLoad) {
    if (backend_->on_server()) GTEST_SKIP() << "SQLite's read locks";
    sqlite3* db = oledb_backend::SqliteHandle(*data_->connection());
    // probe(): notes how many statements stand open while the row query runs, itself among them.
    struct Probe {
        sqlite3* db;
        int open_during_rows = 0;
    } probe{db};
    ASSERT_EQ(sqlite3_create_function(
                  db, "probe", 0, SQLITE_UTF8, &probe,
                  [](sqlite3_context* context, int, sqlite3_value**) {
                      auto* p = static_cast<Probe*>(sqlite3_user_data(context));
                      p->open_during_rows = std::max(p->open_during_rows, OpenStatements(p->db));
                      sqlite3_result_int(context, 1);
                  },
                  nullptr, nullptr),
              SQLITE_OK);
    Configure("SELECT id, code, name FROM items WHERE id IN (%СписокИД%) AND probe() = 1");
    provider_->GetData();
    probe.open_during_rows = 0;
    provider_->PrepareRows(nullptr, 4, 0);  // fewer rows than the table: the walk stops at its count
    EXPECT_GT(probe.open_during_rows, 1) << "the walk's read still stands while the row query reads";
    EXPECT_EQ(OpenStatements(db), 0) << "no read outlives the load";
    EXPECT_EQ(Drain(), (Keys{"10", "9", "8", "7"}));
    EXPECT_TRUE(RaisedErrors().empty());
}

TEST_F(WindowRead, WriterInAnotherConnectionProceedsWhileTheGridHoldsItsWindows) {
    Configure();
    provider_->GetData();
    provider_->PrepareRows(nullptr, 3, 0);
    RowPtr first = Next();  // taken; two rows wait in the window
    ASSERT_NE(first, nullptr);
    const std::unique_ptr<BackendDatabase::Session> writer = ImpatientWriter();
    EXPECT_NO_THROW(writer->Exec("UPDATE items SET name = 'Новое' WHERE id = 7"));
    provider_->PrepareRows(first.get(), 3, 0);  // all of the table's rows after it are more than 3
    EXPECT_NO_THROW(writer->Exec("INSERT INTO items VALUES (11, 'C00', 'Ещё')"));
    provider_->PrepareRows(first.get(), 20, 0);  // the walk reaches the end of the table first
    EXPECT_NO_THROW(writer->Exec("DELETE FROM items WHERE id = 11"));
    std::vector<RowPtr> rows;
    while (RowPtr row = Next()) rows.push_back(std::move(row));
    ASSERT_EQ(rows.size(), 9u);
    EXPECT_EQ(Cell(*rows[2], 2), "Новое") << "the window read the table as the writer left it";
    EXPECT_TRUE(RaisedErrors().empty());
}

TEST_F(WindowRead, QueryRowsAnswerKeptAfterItsLastRowHoldsNoLock) {
    CString text(Cp("QueryRows ('items', 'code', '', '', 3, 'id',1, '', '',0)").c_str());
    LONG unused = 0;
    OleDb::CCommandProxy command(data_->CreateCommand());
    OleDb::CResultSequentialAccessProxy answer = command.ExecuteStatementExternalSequential(text, unused);
    int rows = 0;
    while (answer.GetNextRow()) ++rows;
    EXPECT_EQ(rows, 3);
    EXPECT_NO_THROW(ImpatientWriter()->Exec("UPDATE items SET name = 'Новое' WHERE id = 10"));
    EXPECT_TRUE(RaisedErrors().empty());
}

TEST_F(WindowRead, ProcedureAnsweringMoreRowsThanAskedHasThemAllServed) {
    Configure();
    provider_->SetDebugMode(true);
    AnswerQueryRows({{"3", "a"}, {"5", "b"}, {"3", "c"}, {"7", "d"}, {"1", "e"}});
    provider_->GetData();  // asks for one row
    EXPECT_EQ(Drain(), (Keys{"3", "5", "7", "1"}));
    EXPECT_EQ(LinesStartingWith("ИД: ").size(), 5u);
    const auto lists = LinesStartingWith("Получена строка ИД: ");
    ASSERT_FALSE(lists.empty());
    EXPECT_EQ(lists.back(), "Получена строка ИД: '3','5','3','7','1'");
    EXPECT_TRUE(RaisedErrors().empty());
}

TEST_F(WindowRead, NumberKeysFindTheKeysWrittenAsThoseNumbers) {
    // The row query gives the text keys back as numbers: 42, -5 and 100 are written so, 2.5 is a
    // fraction, and 042 comes back as 42, which is another key's text.
    ConfigureCodes("SELECT CAST(code AS REAL) AS code, name FROM codes WHERE code IN (%СписокИД%) AND code <> '042'");
    provider_->GetData();
    Next();
    provider_->PrepareRows(nullptr, 10, 0);
    EXPECT_EQ(Drain(), (Keys{"42", "-5", "100", "2.5"}));
    ConfigureCodes("SELECT CAST(code AS INTEGER) AS code, name FROM codes WHERE code IN (%СписокИД%) AND code = '042'");
    provider_->GetData();
    provider_->PrepareRows(nullptr, 10, 0);
    std::vector<RowPtr> rows;
    while (RowPtr row = Next()) rows.push_back(std::move(row));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(Utf(Dyn(rows[0]).GetKeyText()), "42") << "42 is the text of the number 42";
    EXPECT_EQ(Cell(*rows[0], 1), "e");
    EXPECT_TRUE(RaisedErrors().empty());
    provider_->SetFilterFrom("e");  // the window of 042 alone
    provider_->PrepareRows(nullptr, 10, 0);
    EXPECT_EQ(Drain(), Keys{});
    ASSERT_EQ(RaisedErrors().size(), 1u);
    EXPECT_NE(RaisedErrors()[0].find("отсутствующем в списке ключей"), std::string::npos) << RaisedErrors()[0];
}

}  // namespace
}  // namespace dynamic_test
