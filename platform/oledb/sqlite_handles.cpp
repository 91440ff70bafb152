#include "platform/oledb/sqlite_handles.h"

#include <sqlite3.h>

namespace oledb_backend {

Database& Database::operator=(Database&& other) noexcept {
    if (this != &other) {
        sqlite3_close_v2(db_);
        db_ = other.db_;
        other.db_ = nullptr;
    }
    return *this;
}

// close_v2 defers the close until the last statement is finalized, so no order can leak the file.
Database::~Database() { sqlite3_close_v2(db_); }

Statement& Statement::operator=(Statement&& other) noexcept {
    if (this != &other) {
        sqlite3_finalize(stmt_);
        stmt_ = other.stmt_;
        other.stmt_ = nullptr;
    }
    return *this;
}

Statement::~Statement() { sqlite3_finalize(stmt_); }

std::string ErrorMessage(sqlite3* db) {
    const char* message = db ? sqlite3_errmsg(db) : nullptr;
    return message ? message : "unknown error";
}

}  // namespace oledb_backend
