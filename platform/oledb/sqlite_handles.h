#pragma once
// Owners of SQLite's two handles. Each owns exactly one handle, cannot be copied, may be moved,
// and closes (finalizes) it when destroyed. A Statement must be destroyed before the Database it
// was prepared on, unless that database is closed with sqlite3_close_v2 (which Database does).

#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace oledb_backend {

class Database {
public:
    Database() = default;
    explicit Database(sqlite3* db) : db_(db) {}
    Database(Database&& other) noexcept : db_(other.db_) { other.db_ = nullptr; }
    Database& operator=(Database&& other) noexcept;
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;
    ~Database();

    sqlite3* get() const { return db_; }

private:
    sqlite3* db_ = nullptr;
};

class Statement {
public:
    Statement() = default;
    explicit Statement(sqlite3_stmt* stmt) : stmt_(stmt) {}
    Statement(Statement&& other) noexcept : stmt_(other.stmt_) { other.stmt_ = nullptr; }
    Statement& operator=(Statement&& other) noexcept;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    ~Statement();

    sqlite3_stmt* get() const { return stmt_; }
    explicit operator bool() const { return stmt_ != nullptr; }

private:
    sqlite3_stmt* stmt_ = nullptr;
};

// The database's current error message (UTF-8), or "unknown error" without a handle.
std::string ErrorMessage(sqlite3* db);

}  // namespace oledb_backend
