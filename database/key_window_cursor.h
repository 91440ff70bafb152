#pragma once
// Runs a KeyWindowPlan as one forward-only row stream: the plan's statements one after
// the other, stopping after the plan's count of rows. Nothing is read ahead or kept: each
// Step() steps one SQLite statement. Column 0 "key" is the row's key as plain text,
// column 1 "index_value" the tag's value as plain text (value_text.h).
//
// Borrows the connection: the sqlite3* must stay open while the cursor lives.
// Errors while preparing or stepping throw oledb_backend::CursorError.

#include <cstddef>
#include <vector>

#include "database/key_window.h"
#include "database/statement.h"
#include "platform/oledb/row_cursor.h"

namespace rowlark::database {

class KeyWindowCursor : public oledb_backend::RowCursor {
public:
    KeyWindowCursor(sqlite3* db, const KeyWindowPlan& plan);

    int ColumnCount() const override { return 2; }
    std::string ColumnName(int column) const override;
    bool Step() override;
    oledb_backend::SqlValue Column(int column) const override;

private:
    std::vector<Statement> statements_;
    std::size_t current_ = 0;      // the statement being read
    std::int64_t remaining_ = 0;   // rows still wanted
    bool on_row_ = false;          // Step() stopped on a row
};

// Prepares a planned statement and binds its parameters.
Statement PrepareAndBind(sqlite3* db, const PlannedStatement& planned);

}  // namespace rowlark::database
