#include "platform/oledb/pg_handles.h"

namespace oledb_backend {

std::string PgErrorMessage(const PGresult* result, const PGconn* conn) {
    const char* primary = result ? PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
    const char* raw = primary ? primary : PQerrorMessage(conn);
    std::string message;
    bool blank = false;
    for (const char* p = raw ? raw : ""; *p; ++p) {
        const bool is_blank = *p == '\n' || *p == '\r' || *p == '\t' || *p == ' ';
        if (is_blank) {
            blank = !message.empty();
            continue;
        }
        if (blank) message += ' ';
        blank = false;
        message += *p;
    }
    return message.empty() ? "unknown error" : message;
}

std::string PgSqlState(const PGresult* result) {
    const char* state = result ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
    return state ? state : "";
}

void PgThrowFailure(const PGresult* result, PGconn* conn) {
    const ExecStatusType status = result ? PQresultStatus(result) : PGRES_FATAL_ERROR;
    const bool copy = status == PGRES_COPY_IN || status == PGRES_COPY_OUT;
    const std::string message = copy ? "COPY is not available through this layer" : PgErrorMessage(result, conn);
    const bool untyped = PgSqlState(result) == "42P18";
    PgSettle(conn);
    if (untyped) throw PgUntypedParameter(message);
    throw CursorError(message);
}

void PgSettle(PGconn* conn) {
    while (PGresult* raw = PQgetResult(conn)) {
        const PgResult result(raw);
        const ExecStatusType status = PQresultStatus(raw);
        // A COPY expects the client's part: refuse to feed it, or read and drop what it sends.
        if (status == PGRES_COPY_IN) PQputCopyEnd(conn, "COPY is not available through this layer");
        if (status == PGRES_COPY_OUT) {
            char* row = nullptr;
            while (PQgetCopyData(conn, &row, 0) > 0) PQfreemem(row);
        }
        if (PQstatus(conn) == CONNECTION_BAD) return;
    }
}

}  // namespace oledb_backend
