#include "platform/oledb/pg_cursor.h"

#include "platform/oledb/pg_values.h"

namespace oledb_backend {

std::string PgWholeCursor::ColumnName(int column) const {
    const char* name = PQfname(result_.get(), column);
    return name ? name : "";
}

bool PgWholeCursor::Step() {
    if (row_ >= PQntuples(result_.get())) return false;
    return ++row_ < PQntuples(result_.get());
}

SqlValue PgWholeCursor::Column(int column) const { return PgCellValue(result_.get(), row_, column); }

void PgWholeCursor::DrainInto(RowSink& sink) {
    const int columns = ColumnCount();
    std::string scratch;
    while (Step()) {
        sink.BeginRow();
        for (int c = 0; c < columns; ++c) PgCellInto(result_.get(), row_, c, sink, scratch);
    }
}

bool PgWholeCursor::HostText(int column, std::string_view& text) const {
    return PgHostText(result_.get(), row_, column, host_text_, text);
}

PgStreamCursor::PgStreamCursor(std::shared_ptr<PgConnection> connection) : connection_(std::move(connection)) {
    PGconn* conn = connection_->conn();
    PgResult first(PQgetResult(conn));
    const ExecStatusType status = first ? PQresultStatus(first.get()) : PGRES_FATAL_ERROR;
    if (status != PGRES_SINGLE_TUPLE && status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK)
        PgThrowFailure(first.get(), conn);
    for (int c = 0; c < PQnfields(first.get()); ++c) {
        const char* name = PQfname(first.get(), c);
        names_.emplace_back(name ? name : "");
    }
    if (status == PGRES_SINGLE_TUPLE) {
        first_ = std::move(first);
        connection_->SetStreaming(this);
    } else {
        PgSettle(conn);
        running_ = false;
    }
}

PgStreamCursor::~PgStreamCursor() {
    if (!running_) return;
    // Reading the rest could mean millions of rows: ask the server to stop, then drop what came.
    if (PGcancel* cancel = PQgetCancel(connection_->conn())) {
        char reason[256];
        PQcancel(cancel, reason, sizeof reason);
        PQfreeCancel(cancel);
    }
    PgSettle(connection_->conn());
    Release();
}

void PgStreamCursor::Release() {
    running_ = false;
    if (connection_->streaming() == this) connection_->SetStreaming(nullptr);
}

PgResult PgStreamCursor::NextFromServer() {
    PGconn* conn = connection_->conn();
    PgResult next(PQgetResult(conn));
    const ExecStatusType status = next ? PQresultStatus(next.get()) : PGRES_TUPLES_OK;
    if (status == PGRES_SINGLE_TUPLE) return next;
    Release();
    if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK) PgThrowFailure(next.get(), conn);
    PgSettle(conn);
    return nullptr;
}

void PgStreamCursor::TakeRest() {
    try {
        while (running_) {
            PgResult row = NextFromServer();
            if (row) kept_.push_back(std::move(row));
        }
    } catch (const CursorError& e) {
        kept_error_ = e.what();
    }
}

bool PgStreamCursor::Step() {
    if (done_) return false;
    current_.reset();
    if (first_) {
        current_ = std::move(first_);
        return true;
    }
    if (!kept_.empty()) {
        current_ = std::move(kept_.front());
        kept_.pop_front();
        return true;
    }
    try {
        if (running_) current_ = NextFromServer();
    } catch (...) {
        done_ = true;
        throw;
    }
    if (current_) return true;
    done_ = true;
    if (kept_error_) throw CursorError(*kept_error_);
    return false;
}

bool PgStreamCursor::HostText(int column, std::string_view& text) const {
    return current_ && PgHostText(current_.get(), 0, column, host_text_, text);
}

SqlValue PgStreamCursor::Column(int column) const {
    return current_ ? PgCellValue(current_.get(), 0, column) : SqlValue::Null();
}

}  // namespace oledb_backend
