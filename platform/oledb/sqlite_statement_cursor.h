#pragma once
// A RowCursor over one prepared SQLite statement (parameters already bound). It owns the
// statement and shares the connection, so it may outlive every other holder of either.
// Blobs are read as texts of their bytes, the decimal texts of a column of exact decimals
// (sqlite_decimal_columns.h) as decimals. A statement of a shaped text (in_list_literals.h) goes
// back to the connection's statement cache when the cursor is done with it.

#include <memory>
#include <string>

#include "platform/oledb/sqlite_connection.h"
#include "platform/oledb/row_cursor.h"
#include "platform/oledb/sqlite_handles.h"

namespace oledb_backend {

class StatementCursor : public RowCursor {
public:
    // shape: the shaped text the statement was prepared from, when it is to be cached; else empty.
    StatementCursor(std::shared_ptr<SqliteConnection> connection, Statement statement, std::string shape = {});
    ~StatementCursor() override;
    StatementCursor(const StatementCursor&) = delete;
    StatementCursor& operator=(const StatementCursor&) = delete;

    // Steps to the first row now, so that a statement SQLite has to prepare again (the schema
    // changed since it was cached) shows its new columns before they are asked for. The row is
    // Step()'s first answer. False when the step failed: the statement is then not cached again.
    bool StepAhead();

    int ColumnCount() const override;
    std::string ColumnName(int column) const override;
    bool Step() override;
    SqlValue Column(int column) const override;
    // Reads each value straight from SQLite: one column call per value, no SqlValue.
    void DrainInto(RowSink& sink) override;

    sqlite3_stmt* stmt() const { return statement_.get(); }

private:
    std::shared_ptr<SqliteConnection> connection_;  // declared first: outlives the statement
    Statement statement_;
    std::string shape_;
    bool done_ = false;  // SQLite would start the statement over if stepped after its end
    int ahead_ = 0;      // the result code of StepAhead, until Step() hands it out
};

}  // namespace oledb_backend
