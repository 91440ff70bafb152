#pragma once
// A fresh database for one test on the backend the test run is for, so that one set of provider tests
// runs over SQLite and over a PostgreSQL server alike. ROWLARK_TEST_BACKEND=postgresql (CTest sets it
// for a suite's second registration) picks the server named by ROWLARK_PG: the test gets a schema of
// its own there, first in the search_path of every session opened with connection_text(). Otherwise
// the test gets a SQLite file in the temporary folder. Either is removed with the object.
//
// A side session of its own (sqlite3 or libpq) builds tables and tags and reads expected answers
// without the OLE DB layer under test. Statements are given in UTF-8 and written in the SQL both
// databases read; what only one reads is chosen by backend().

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "database/sample_goods.h"

namespace test_support {

enum class Backend { kSQLite, kPostgreSQL };

// The backend this run of the tests is for.
Backend TestBackend();

class BackendDatabase {
public:
    using Value = std::optional<std::string>;  // nullopt is NULL
    using Rows = std::vector<std::vector<Value>>;

    BackendDatabase();
    ~BackendDatabase();
    BackendDatabase(const BackendDatabase&) = delete;
    BackendDatabase& operator=(const BackendDatabase&) = delete;

    // Empty when the database is there; otherwise why this run has none (the test skips with it).
    const std::string& skip_reason() const { return skip_reason_; }
    Backend backend() const { return backend_; }
    bool on_server() const { return backend_ == Backend::kPostgreSQL; }
    // What COLEDBData::Open takes for this database (a file path or a server connection string).
    const std::string& connection_text() const { return connection_text_; }

    // Runs one or more statements that return no rows; fails the test when they fail.
    void Exec(const std::string& sql);
    // The rows of a query, every value as text.
    Rows Query(const std::string& sql);
    // Column 0 of every row of a query (NULL as "").
    std::vector<std::string> Column(const std::string& sql);
    // Inserts the rows into the table's columns with bound values, in one transaction.
    void Insert(const std::string& table, const std::vector<std::string>& columns, const Rows& rows);
    // Adds an index tag through the database's own catalogue.
    void AddIndexTag(const std::string& table, const std::string& tag, const std::string& expression,
                     const std::string& key_field, bool number = false);
    // The table's keys in the tag's order (value as the tag's index holds it, then key), by plain SQL.
    std::vector<std::string> KeysInTagOrder(const std::string& table, const std::string& tag);
    // The sample goods table with its tags name, code and price (database/sample_goods.h).
    void WriteGoods(const rowlark::database::GoodsOptions& options);

    // A session of one backend on this database. Every call throws rowlark::database::DatabaseError
    // with the database's message. Parameters are written "$1", "$2", ... (both databases read them).
    class Session {
    public:
        virtual ~Session() = default;
        virtual void Exec(const std::string& sql) = 0;
        virtual Rows Query(const std::string& sql, const std::vector<Value>& params) = 0;
        virtual void AddIndexTag(const std::string& table, const std::string& tag, const std::string& expression,
                                 const std::string& key_field, bool number) = 0;
        virtual std::string TagOrderSql(const std::string& table, const std::string& tag) = 0;
        virtual void WriteGoods(const rowlark::database::GoodsOptions& options) = 0;
    };
    // Another session of its own on this database (another desk), for use on one thread.
    std::unique_ptr<Session> OpenSession() const;

private:
    Backend backend_;
    std::string skip_reason_;
    std::string connection_text_;
    std::string schema_;  // on the server
    std::unique_ptr<Session> session_;
};

}  // namespace test_support
