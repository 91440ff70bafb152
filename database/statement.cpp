#include "database/statement.h"

#include <sqlite3.h>

#include <utility>

#include "database/database_error.h"

namespace rowlark::database {

namespace {

[[noreturn]] void Fail(sqlite3* db) {
    throw DatabaseError(db ? oledb_backend::ErrorMessage(db) : "no database connection");
}

}  // namespace

Statement::Statement(sqlite3* db, std::string_view sql, bool persistent) : db_(db) {
    if (!db) Fail(db);
    const unsigned int flags = persistent ? SQLITE_PREPARE_PERSISTENT : 0;
    sqlite3_stmt* raw = nullptr;
    const int rc = sqlite3_prepare_v3(db, sql.data(), static_cast<int>(sql.size()), flags, &raw, nullptr);
    stmt_ = oledb_backend::Statement(raw);
    if (rc != SQLITE_OK) {
        stmt_ = oledb_backend::Statement();
        Fail(db);
    }
    if (!stmt_) throw DatabaseError("empty SQL statement");
}

void Statement::BindInt(int index, std::int64_t value) {
    if (sqlite3_bind_int64(stmt_.get(), index, value) != SQLITE_OK) Fail(db_);
}

void Statement::BindReal(int index, double value) {
    if (sqlite3_bind_double(stmt_.get(), index, value) != SQLITE_OK) Fail(db_);
}

void Statement::BindText(int index, std::string_view value) {
    if (sqlite3_bind_text64(stmt_.get(), index, value.data(), value.size(), SQLITE_TRANSIENT, SQLITE_UTF8) != SQLITE_OK)
        Fail(db_);
}

void Statement::BindNull(int index) {
    if (sqlite3_bind_null(stmt_.get(), index) != SQLITE_OK) Fail(db_);
}

bool Statement::Step() {
    const int rc = sqlite3_step(stmt_.get());
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    Fail(db_);
}

void Statement::Reset() { sqlite3_reset(stmt_.get()); }

void Statement::ClearBindings() { sqlite3_clear_bindings(stmt_.get()); }

int Statement::ColumnCount() const { return sqlite3_column_count(stmt_.get()); }

bool Statement::IsNull(int column) const { return sqlite3_column_type(stmt_.get(), column) == SQLITE_NULL; }

std::int64_t Statement::ColumnInt(int column) const { return sqlite3_column_int64(stmt_.get(), column); }

std::string Statement::ColumnText(int column) const {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_.get(), column));
    if (!text) return {};
    return std::string(text, static_cast<size_t>(sqlite3_column_bytes(stmt_.get(), column)));
}

void Execute(sqlite3* db, std::string_view sql) {
    if (!db) Fail(db);
    const std::string text(sql);
    char* message = nullptr;
    if (sqlite3_exec(db, text.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
        std::string error = message ? message : oledb_backend::ErrorMessage(db);
        sqlite3_free(message);
        throw DatabaseError(error);
    }
}

std::string Quoted(std::string_view text) { return "'" + std::string(text) + "'"; }

std::string QuoteIdentifier(std::string_view name) {
    std::string quoted = "\"";
    for (char c : name) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    quoted += '"';
    return quoted;
}

bool TableExists(sqlite3* db, std::string_view table) {
    Statement find(db, "SELECT 1 FROM sqlite_schema WHERE type = 'table' AND name = ?1 COLLATE NOCASE");
    find.BindText(1, table);
    return find.Step();
}

}  // namespace rowlark::database
