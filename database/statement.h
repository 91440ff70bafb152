#pragma once
// One prepared SQLite statement with typed binds and reads (its handle held by the SQLite backend's
// owner, sqlite_handles.h), plus the few helpers every file of the database side needs. A Statement
// borrows the connection: the sqlite3* must stay open for the statement's whole life. Failures throw
// DatabaseError with SQLite's message.

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/oledb/sqlite_handles.h"

namespace rowlark::database {

class Statement {
public:
    // persistent: the statement is meant to be kept and run many times (SQLite then allocates
    // for it outside its small-allocation pool).
    Statement(sqlite3* db, std::string_view sql, bool persistent = false);
    Statement(Statement&& other) noexcept = default;
    Statement& operator=(Statement&& other) noexcept = default;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    // Parameters are numbered from 1, as in SQLite. Texts are copied.
    void BindInt(int index, std::int64_t value);
    void BindReal(int index, double value);
    void BindText(int index, std::string_view value);
    void BindNull(int index);

    // Moves to the next row; false when the statement is done.
    bool Step();
    // Makes the statement ready to run again; bindings stay.
    void Reset();
    // Sets every parameter back to NULL.
    void ClearBindings();

    int ColumnCount() const;
    bool IsNull(int column) const;
    std::int64_t ColumnInt(int column) const;
    std::string ColumnText(int column) const;  // a NULL reads as ""

    sqlite3_stmt* get() const { return stmt_.get(); }

private:
    sqlite3* db_ = nullptr;
    oledb_backend::Statement stmt_;
};

// Runs one or more statements that return no rows.
void Execute(sqlite3* db, std::string_view sql);

// A text in apostrophes, as messages show it: 'goods'. Not for SQL.
std::string Quoted(std::string_view text);

// An SQL identifier in double quotes, inner quotes doubled: safe to splice into SQL.
std::string QuoteIdentifier(std::string_view name);

// True when the database has a table (not a view) of that name, in any ASCII letter case.
bool TableExists(sqlite3* db, std::string_view table);

}  // namespace rowlark::database
