#pragma once
// Runs a KeyWindowPlan as one forward-only row stream: the plan's statements one after
// the other, stopping after the plan's count of rows. Nothing is read ahead or kept: each
// Step() steps one SQLite statement. Column 0 "key" is the row's key as plain text,
// column 1 "index_value" the tag's value as plain text (value_text.h) in its token form
// (index_token.h). A key that the host's code page cannot carry ends the walk with a
// CursorError on the Step() that reaches it: the provider could never fetch that row.
//
// Borrows the connection: the sqlite3* must stay open while the cursor lives (statements lent by a
// pool keep it open through the pool's owner instead). Preparing throws DatabaseError; Step()
// throws oledb_backend::CursorError, and a walk that failed is over. When the walk is over (Step()
// answered false or threw) or the cursor is destroyed, its statements and read guard go back at
// once, so no lock outlives the rows. The layer reads both columns in the host's code page straight
// from the walk (host_text_cursor.h).

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "database/key_window.h"
#include "database/statement.h"
#include "database/statement_pool.h"
#include "platform/oledb/host_text_cursor.h"
#include "platform/oledb/row_cursor.h"

namespace rowlark::database {

class KeyWindowCursor : public oledb_backend::RowCursor, public oledb_backend::HostTextCursor {
public:
    // Prepares the plan's statements itself. Throws DatabaseError when one cannot be prepared.
    KeyWindowCursor(sqlite3* db, const KeyWindowPlan& plan);
    // Runs statements already bound, one per planned statement; read_guard (may be empty) holds
    // the read transaction they share until the walk is over.
    KeyWindowCursor(std::vector<LentStatement> statements, std::int64_t count, LentStatement read_guard);

    int ColumnCount() const override { return 2; }
    std::string ColumnName(int column) const override;
    bool Step() override;
    oledb_backend::SqlValue Column(int column) const override;
    // Both columns, straight from the walk's statement: the key, and the index value's token.
    bool HostText(int column, std::string_view& text) const override;

private:
    // Steps the statements in turn until one stands on a row; false when none has one left.
    bool Walk();
    // Throws CursorError when the current row's key cannot reach the host as itself.
    void CheckKeyTravels() const;
    void Finish();

    LentStatement read_guard_;     // declared before statements_: given back after them
    std::vector<LentStatement> statements_;
    std::size_t current_ = 0;      // the statement being read
    std::int64_t remaining_ = 0;   // rows still wanted
    bool on_row_ = false;          // Step() stopped on a row
    mutable std::string host_text_;  // the last HostText answer; its room serves the next
};

// Prepares a planned statement and binds its parameters.
Statement PrepareAndBind(sqlite3* db, const PlannedStatement& planned);
// Binds the planned parameters to statement, which was prepared from planned.sql.
void BindPlanned(Statement& statement, const PlannedStatement& planned);

}  // namespace rowlark::database
