#pragma once
// A RowCursor over one prepared SQLite statement (parameters already bound). It owns the
// statement and shares the connection, so it may outlive every other holder of either.
// Blobs are read as texts of their bytes.

#include <memory>

#include "platform/oledb/sqlite_connection.h"
#include "platform/oledb/row_cursor.h"
#include "platform/oledb/sqlite_handles.h"

namespace oledb_backend {

class StatementCursor : public RowCursor {
public:
    StatementCursor(std::shared_ptr<SqliteConnection> connection, Statement statement);

    int ColumnCount() const override;
    std::string ColumnName(int column) const override;
    bool Step() override;
    SqlValue Column(int column) const override;

    sqlite3_stmt* stmt() const { return statement_.get(); }

private:
    std::shared_ptr<SqliteConnection> connection_;  // declared first: outlives the statement
    Statement statement_;
    bool done_ = false;  // SQLite would start the statement over if stepped after its end
};

}  // namespace oledb_backend
