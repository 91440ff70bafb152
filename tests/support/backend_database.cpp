#include "tests/support/backend_database.h"

#include <sqlite3.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include <gtest/gtest.h>

#include "database/collation/sqlite_russian_order.h"
#include "database/database_error.h"
#include "database/index_tags.h"
#include "database/statement.h"
#include "database/value_text.h"
#include "tests/support/server_text.h"

#ifdef ROWLARK_POSTGRES
#include <libpq-fe.h>

#include "database/postgres/server_goods.h"
#endif

namespace test_support {

namespace db = rowlark::database;

Backend TestBackend() {
    const char* chosen = std::getenv("ROWLARK_TEST_BACKEND");
    return chosen && std::string(chosen) == "postgresql" ? Backend::kPostgreSQL : Backend::kSQLite;
}

namespace {

std::string UniqueName(const char* prefix) {
    static int made = 0;
    return prefix + std::to_string(::getpid()) + "_" + std::to_string(++made);
}

}  // namespace

namespace {

using Rows = BackendDatabase::Rows;
using Value = BackendDatabase::Value;

// A session on a SQLite file; the owner's makes the file afresh and removes it at the end.
class SQLiteSession : public BackendDatabase::Session {
public:
    SQLiteSession(std::string path, bool owner) : path_(std::move(path)), owner_(owner) {
        if (owner_) std::filesystem::remove(path_);
        if (sqlite3_open(path_.c_str(), &db_) != SQLITE_OK) throw db::DatabaseError(sqlite3_errmsg(db_));
        sqlite3_busy_timeout(db_, 5000);
        // As on the layer's connections: a Russian-order tag's index can be read and written here too.
        rowlark::collation::EnsureRussianOrder(db_);
    }
    ~SQLiteSession() override {
        sqlite3_close(db_);
        if (owner_) std::filesystem::remove(path_);
    }

    void Exec(const std::string& sql) override { db::Execute(db_, sql); }

    Rows Query(const std::string& sql, const std::vector<Value>& params) override {
        db::Statement statement(db_, sql);
        for (std::size_t i = 0; i < params.size(); ++i) {
            if (params[i]) statement.BindText(static_cast<int>(i) + 1, *params[i]);
            else statement.BindNull(static_cast<int>(i) + 1);
        }
        Rows rows;
        while (statement.Step()) {
            std::vector<Value> row;
            for (int column = 0; column < statement.ColumnCount(); ++column) {
                if (statement.IsNull(column)) row.emplace_back();
                else row.emplace_back(db::ColumnAsText(statement.get(), column));
            }
            rows.push_back(std::move(row));
        }
        return rows;
    }

    void AddIndexTag(const std::string& table, const std::string& tag, const std::string& expression,
                     const std::string& key_field, bool number) override {
        db::AddIndexTag(db_, table, tag, expression, key_field, number ? db::TagKind::Number : db::TagKind::Text);
    }

    std::string TagOrderSql(const std::string& table, const std::string& tag) override {
        const auto found = db::FindIndexTag(db_, table, tag);
        if (!found) throw db::DatabaseError("no tag " + tag + " on " + table);
        return "SELECT " + found->key_field + " FROM " + found->table + " ORDER BY " + db::KeyExpression(*found) +
               ", " + found->key_field;
    }

    void WriteGoods(const db::GoodsOptions& options) override { db::CreateGoodsTable(db_, options); }

    sqlite3* db_ = nullptr;

private:
    std::string path_;
    bool owner_;
};

#ifdef ROWLARK_POSTGRES

struct ClearResult {
    void operator()(PGresult* result) const { PQclear(result); }
};
using PgResult = std::unique_ptr<PGresult, ClearResult>;

// A session on the server with a schema first in its search_path; the owner's makes the schema
// afresh and drops it at the end with its tags.
class ServerSession : public BackendDatabase::Session {
public:
    ServerSession(const std::string& server, std::string schema, bool owner)
        : server_(server), schema_(std::move(schema)), owner_(owner), conn_(PQconnectdb(server.c_str())) {
        if (PQstatus(conn_) != CONNECTION_OK) {
            const std::string message = PQerrorMessage(conn_);
            PQfinish(conn_);
            throw db::DatabaseError(message);
        }
        Exec("SET client_min_messages = warning");
        if (owner_) {
            if (Query("SELECT 1 FROM pg_proc WHERE proname = 'rowlark_add_index_tag'", {}).empty())
                throw db::DatabaseError("the server lacks database/postgres/rowlark.sql (scripts/pg_cluster installs it)");
            Exec("DROP SCHEMA IF EXISTS " + schema_ + " CASCADE; CREATE SCHEMA " + schema_);
        }
        Exec("SET search_path TO " + schema_ + ", public");
    }
    ~ServerSession() override {
        if (owner_ && PQstatus(conn_) == CONNECTION_OK) {
            try {
                Query("DELETE FROM public.rowlark_index_tags WHERE table_schema = $1", {schema_});
                Exec("DROP SCHEMA IF EXISTS " + schema_ + " CASCADE");
            } catch (const db::DatabaseError& error) {
                ADD_FAILURE() << "the test schema stays on the server: " << error.what();
            }
        }
        PQfinish(conn_);
    }

    // The server's connection string with this schema first in the search_path.
    std::string ConnectionText() const { return WithSearchPath(server_, schema_, true); }

    void Exec(const std::string& sql) override { Check(PgResult(PQexec(conn_, sql.c_str())), sql); }

    Rows Query(const std::string& sql, const std::vector<Value>& params) override {
        std::vector<const char*> values;
        for (const Value& param : params) values.push_back(param ? param->c_str() : nullptr);
        PgResult result(PQexecParams(conn_, sql.c_str(), static_cast<int>(values.size()), nullptr, values.data(),
                                     nullptr, nullptr, 0));
        Check(result, sql);
        Rows rows;
        for (int row = 0; row < PQntuples(result.get()); ++row) {
            std::vector<Value> fields;
            for (int column = 0; column < PQnfields(result.get()); ++column) {
                if (PQgetisnull(result.get(), row, column)) fields.emplace_back();
                else fields.emplace_back(PQgetvalue(result.get(), row, column));
            }
            rows.push_back(std::move(fields));
        }
        return rows;
    }

    void AddIndexTag(const std::string& table, const std::string& tag, const std::string& expression,
                     const std::string& key_field, bool number) override {
        Query("SELECT rowlark_add_index_tag($1, $2, $3, $4, $5)",
              {table, tag, expression, key_field, std::string(number ? "number" : "text")});
    }

    std::string TagOrderSql(const std::string& table, const std::string& tag) override {
        const Rows found = Query(
            "SELECT format('SELECT %I FROM %I.%I ORDER BY %s, %I', key_field, table_schema, table_name, "
            "public.rowlark_tag_value_sql(expression, kind, text_order), key_field) FROM public.rowlark_index_tags "
            "WHERE table_schema = $1 AND lower(table_name) = lower($2) AND lower(tag) = lower($3)",
            {schema_, table, tag});
        if (found.size() != 1) throw db::DatabaseError("no tag " + tag + " on " + table);
        return *found[0][0];
    }

    void WriteGoods(const db::GoodsOptions& options) override { db::WriteGoodsToServer(ConnectionText(), options); }

private:
    void Check(const PgResult& result, const std::string& sql) {
        const ExecStatusType status = result ? PQresultStatus(result.get()) : PGRES_FATAL_ERROR;
        if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK) return;
        const char* primary = result ? PQresultErrorField(result.get(), PG_DIAG_MESSAGE_PRIMARY) : nullptr;
        throw db::DatabaseError(sql.substr(0, 80) + ": " + (primary ? primary : PQerrorMessage(conn_)));
    }

    std::string server_;
    std::string schema_;
    bool owner_;
    PGconn* conn_;
};

#endif  // ROWLARK_POSTGRES

}  // namespace

BackendDatabase::BackendDatabase() : backend_(TestBackend()) {
    try {
        if (backend_ == Backend::kSQLite) {
            connection_text_ =
                (std::filesystem::temp_directory_path() / (UniqueName("rowlark_test_") + ".db")).string();
            session_ = std::make_unique<SQLiteSession>(connection_text_, true);
            return;
        }
#ifdef ROWLARK_POSTGRES
        const char* server = std::getenv("ROWLARK_PG");
        if (!server || !*server) {
            skip_reason_ = "ROWLARK_PG is not set: no PostgreSQL server to test against "
                           "(scripts/pg_cluster start DIR prints a connection string for it)";
            return;
        }
        schema_ = UniqueName("rowlark_test_");
        auto session = std::make_unique<ServerSession>(server, schema_, true);
        connection_text_ = session->ConnectionText();
        session_ = std::move(session);
#else
        skip_reason_ = "this build of the OLE DB layer has no PostgreSQL backend";
#endif
    } catch (const db::DatabaseError& error) {
        ADD_FAILURE() << "no test database: " << error.what();
        skip_reason_ = error.what();
    }
}

BackendDatabase::~BackendDatabase() = default;

std::unique_ptr<BackendDatabase::Session> BackendDatabase::OpenSession() const {
    if (backend_ == Backend::kSQLite) return std::make_unique<SQLiteSession>(connection_text_, false);
#ifdef ROWLARK_POSTGRES
    return std::make_unique<ServerSession>(std::getenv("ROWLARK_PG"), schema_, false);
#else
    throw db::DatabaseError("this build has no PostgreSQL client");
#endif
}

void BackendDatabase::Exec(const std::string& sql) {
    try {
        session_->Exec(sql);
    } catch (const db::DatabaseError& error) {
        ADD_FAILURE() << sql << ": " << error.what();
    }
}

BackendDatabase::Rows BackendDatabase::Query(const std::string& sql) {
    try {
        return session_->Query(sql, {});
    } catch (const db::DatabaseError& error) {
        ADD_FAILURE() << sql << ": " << error.what();
        return {};
    }
}

std::vector<std::string> BackendDatabase::Column(const std::string& sql) {
    std::vector<std::string> column;
    for (const auto& row : Query(sql)) column.push_back(row.empty() ? "" : row[0].value_or(""));
    return column;
}

void BackendDatabase::Insert(const std::string& table, const std::vector<std::string>& columns, const Rows& rows) {
    std::string sql = "INSERT INTO " + table + " (";
    for (std::size_t i = 0; i < columns.size(); ++i) sql += (i ? ", " : "") + columns[i];
    sql += ") VALUES (";
    for (std::size_t i = 0; i < columns.size(); ++i) sql += (i ? ", $" : "$") + std::to_string(i + 1);
    sql += ")";
    try {
        session_->Exec("BEGIN");
        for (const auto& row : rows) session_->Query(sql, row);
        session_->Exec("COMMIT");
    } catch (const db::DatabaseError& error) {
        ADD_FAILURE() << sql << ": " << error.what();
        try {
            session_->Exec("ROLLBACK");
        } catch (const db::DatabaseError&) {
        }
    }
}

void BackendDatabase::AddIndexTag(const std::string& table, const std::string& tag, const std::string& expression,
                                  const std::string& key_field, bool number) {
    try {
        session_->AddIndexTag(table, tag, expression, key_field, number);
    } catch (const db::DatabaseError& error) {
        ADD_FAILURE() << "tag " << tag << " of " << table << ": " << error.what();
    }
}

std::vector<std::string> BackendDatabase::KeysInTagOrder(const std::string& table, const std::string& tag) {
    try {
        return Column(session_->TagOrderSql(table, tag));
    } catch (const db::DatabaseError& error) {
        ADD_FAILURE() << error.what();
        return {};
    }
}

void BackendDatabase::WriteGoods(const db::GoodsOptions& options) {
    try {
        session_->WriteGoods(options);
    } catch (const db::DatabaseError& error) {
        ADD_FAILURE() << "sample goods: " << error.what();
    }
}

}  // namespace test_support
