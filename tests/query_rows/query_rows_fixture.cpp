#include "tests/query_rows/query_rows_fixture.h"

#include <sqlite3.h>

#include <fstream>
#include <sstream>

#include "database/query_rows.h"
#include "platform/oledb/row_cursor.h"

#ifdef ROWLARK_POSTGRES
#include <libpq-fe.h>
#endif

namespace query_rows_test {

namespace {

// The SQLite procedure, called as the layer calls it, on a connection of the door's own.
class SQLiteDoor : public Door {
public:
    explicit SQLiteDoor(const std::string& path) {
        if (sqlite3_open(path.c_str(), &db_) != SQLITE_OK) ADD_FAILURE() << "cannot open " << path;
        sqlite3_busy_timeout(db_, 5000);
    }
    ~SQLiteDoor() override { sqlite3_close(db_); }

    Outcome Run(const Call& call) override {
        using oledb_backend::ProcArg;
        const auto text = [](const std::string& value) { return ProcArg{true, value, 0}; };
        const auto number = [](std::int64_t value) { return ProcArg{false, {}, value}; };
        const std::vector<ProcArg> args = {text(call.table), text(call.tag),       text(call.index),
                                           text(call.key),   number(call.count),   text(call.key_field),
                                           number(call.forward), text(call.from), text(call.to),
                                           number(call.inclusive)};
        Outcome outcome;
        try {
            const auto cursor = rowlark::database::QueryRows(db_, args);
            for (int column = 0; column < cursor->ColumnCount(); ++column)
                outcome.columns.push_back(cursor->ColumnName(column));
            while (cursor->Step()) outcome.rows.emplace_back(cursor->Column(0).text, cursor->Column(1).text);
        } catch (const oledb_backend::CursorError& error) {
            outcome.error = error.what();
        }
        return outcome;
    }

private:
    sqlite3* db_ = nullptr;
};

#ifdef ROWLARK_POSTGRES

struct ClearResult {
    void operator()(PGresult* result) const { PQclear(result); }
};
using PgResult = std::unique_ptr<PGresult, ClearResult>;

// The schema file of the source tree, installed once per test process (the server may have been
// started with an older one); the lock keeps parallel test processes from replacing it at once.
bool InstallSchemaFile(PGconn* conn) {
    static const bool installed = [conn] {
        std::ifstream file(ROWLARK_PG_SCHEMA_FILE);
        std::stringstream text;
        text << file.rdbuf();
        const std::string script = "BEGIN; SELECT pg_advisory_xact_lock(71402026); " + text.str() + "; COMMIT;";
        const PgResult result(PQexec(conn, script.c_str()));
        const bool ok = result && PQresultStatus(result.get()) == PGRES_COMMAND_OK;
        if (!ok) ADD_FAILURE() << "cannot install the schema file: " << PQerrorMessage(conn);
        return ok;
    }();
    return installed;
}

// The server's function, its arguments typed as the OLE DB layer binds them: texts as text, numbers as bigint.
class ServerDoor : public Door {
public:
    explicit ServerDoor(const std::string& connection) : conn_(PQconnectdb(connection.c_str())) {
        if (PQstatus(conn_) != CONNECTION_OK) ADD_FAILURE() << "cannot connect: " << PQerrorMessage(conn_);
        else InstallSchemaFile(conn_);
    }
    ~ServerDoor() override { PQfinish(conn_); }

    Outcome Run(const Call& call) override {
        constexpr Oid kText = 25, kBigint = 20;
        const Oid types[10] = {kText, kText, kText, kText, kBigint, kText, kBigint, kText, kText, kBigint};
        const std::string texts[10] = {call.table, call.tag, call.index, call.key, std::to_string(call.count),
                                       call.key_field, std::to_string(call.forward), call.from, call.to,
                                       std::to_string(call.inclusive)};
        const char* values[10];
        for (int i = 0; i < 10; ++i) values[i] = texts[i].c_str();
        const PgResult result(PQexecParams(conn_, "SELECT * FROM queryrows($1, $2, $3, $4, $5, $6, $7, $8, $9, $10)",
                                           10, types, values, nullptr, nullptr, 0));
        Outcome outcome;
        if (!result || PQresultStatus(result.get()) != PGRES_TUPLES_OK) {
            const char* message = result ? PQresultErrorField(result.get(), PG_DIAG_MESSAGE_PRIMARY) : nullptr;
            outcome.error = message ? message : PQerrorMessage(conn_);
            return outcome;
        }
        for (int column = 0; column < PQnfields(result.get()); ++column)
            outcome.columns.emplace_back(PQfname(result.get(), column));
        for (int row = 0; row < PQntuples(result.get()); ++row)
            outcome.rows.emplace_back(PQgetvalue(result.get(), row, 0), PQgetvalue(result.get(), row, 1));
        return outcome;
    }

private:
    PGconn* conn_;
};

#endif  // ROWLARK_POSTGRES

}  // namespace

void QueryRowsTest::SetUp() {
    if (!db_->skip_reason().empty()) GTEST_SKIP() << db_->skip_reason();
#ifdef ROWLARK_POSTGRES
    if (on_server()) {
        door_ = std::make_unique<ServerDoor>(db_->connection_text());
        return;
    }
#endif
    door_ = std::make_unique<SQLiteDoor>(db_->connection_text());
}

void QueryRowsTest::TearDown() {
    door_.reset();  // before the database goes
}

Rows QueryRowsTest::Answer(const Call& call) {
    Outcome outcome = Try(call);
    EXPECT_EQ(outcome.error, "") << "QueryRows ('" << call.table << "', '" << call.tag << "', '" << call.index
                                 << "', '" << call.key << "', " << call.count << ", ...)";
    return outcome.rows;
}

Keys QueryRowsTest::KeysOf(const Call& call) { return KeysOfRows(Answer(call)); }

Rows QueryRowsTest::Select(const std::string& sql) {
    Rows rows;
    for (const auto& row : db().Query(sql)) rows.emplace_back(row.at(0).value_or(""), row.at(1).value_or(""));
    return rows;
}

Rows QueryRowsTest::PageThrough(Call call, std::int64_t page, std::int64_t max_pages) {
    return PageThroughWith([this](const Call& each) { return Answer(each); }, std::move(call), page, max_pages);
}

}  // namespace query_rows_test
