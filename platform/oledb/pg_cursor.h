#pragma once
// RowCursors over the server's results. A whole cursor reads a result the server sent at once;
// a stream cursor receives it row by row (libpq's single-row mode) and holds the session until
// its last row, unless the session is needed first (then it takes the rest into memory).
// Both share the connection, so they may outlive every other holder of it. Both give the server's
// texts in CP1251 themselves (host_text_cursor.h), and a whole cursor drains its rows into a sink
// straight from the result.

#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/oledb/pg_connection.h"
#include "platform/oledb/host_text_cursor.h"
#include "platform/oledb/pg_handles.h"
#include "platform/oledb/row_cursor.h"

namespace oledb_backend {

class PgWholeCursor : public RowCursor, public HostTextCursor {
public:
    // Requires: result holds rows (PGRES_TUPLES_OK) or none (PGRES_COMMAND_OK).
    explicit PgWholeCursor(PgResult result) : result_(std::move(result)) {}

    int ColumnCount() const override { return PQnfields(result_.get()); }
    std::string ColumnName(int column) const override;
    bool Step() override;
    SqlValue Column(int column) const override;
    void DrainInto(RowSink& sink) override;
    bool HostText(int column, std::string_view& text) const override;

private:
    PgResult result_;
    int row_ = -1;
    mutable std::string host_text_;  // the last text HostText gave, its room reused
};

class PgStreamCursor : public RowCursor, public HostTextCursor {
public:
    // Requires: the query was just sent in single-row mode on connection's session. Reads up to
    // its first row; throws CursorError, with the session settled, when the query fails.
    explicit PgStreamCursor(std::shared_ptr<PgConnection> connection);
    // Stops a query still running (the server cancels it) and frees the session.
    ~PgStreamCursor() override;
    PgStreamCursor(const PgStreamCursor&) = delete;
    PgStreamCursor& operator=(const PgStreamCursor&) = delete;

    int ColumnCount() const override { return static_cast<int>(names_.size()); }
    std::string ColumnName(int column) const override { return names_[static_cast<std::size_t>(column)]; }
    bool Step() override;
    SqlValue Column(int column) const override;
    bool HostText(int column, std::string_view& text) const override;

    // Takes every remaining row (and a failure met among them, given out in its place) into
    // memory and lets go of the session. Called by the connection before it runs another query.
    void TakeRest();

private:
    // The next row of the running query; null at its end (the session is then free).
    PgResult NextFromServer();
    void Release();

    std::shared_ptr<PgConnection> connection_;
    std::vector<std::string> names_;
    bool running_ = true;       // the query still holds the session
    PgResult first_;            // the row read at the start, not handed out yet
    PgResult current_;          // the row Step stopped on (a one-row result)
    std::deque<PgResult> kept_;           // rows taken into memory by TakeRest
    std::optional<std::string> kept_error_;  // the failure TakeRest met after them
    bool done_ = false;
    mutable std::string host_text_;  // the last text HostText gave, its room reused
};

}  // namespace oledb_backend
