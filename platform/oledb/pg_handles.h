#pragma once
// Owners of libpq's two handles: a connection (PQfinish) and a result (PQclear). Each owns exactly
// one handle, cannot be copied, may be moved. A result does not need its connection to stay open.

#include <libpq-fe.h>

#include <memory>
#include <string>

#include "platform/oledb/row_cursor.h"

namespace oledb_backend {

struct PgConnFinish {
    void operator()(PGconn* conn) const { PQfinish(conn); }
};
struct PgResultClear {
    void operator()(PGresult* result) const { PQclear(result); }
};
using PgConn = std::unique_ptr<PGconn, PgConnFinish>;
using PgResult = std::unique_ptr<PGresult, PgResultClear>;

// The server's own message for a failed result: its primary text (one line, as SQLite's messages
// are), else the connection's message with its line breaks folded into blanks.
std::string PgErrorMessage(const PGresult* result, const PGconn* conn);

// The server's SQLSTATE code of a failed result ("42P01"), empty when it gave none.
std::string PgSqlState(const PGresult* result);

// A statement the server refused because it could not tell a parameter's type from where the
// parameter stands ("SELECT $1", "$1 IS NULL"); SQLSTATE 42P18. Nothing of it ran.
struct PgUntypedParameter : CursorError {
    using CursorError::CursorError;
};
// Throws the failure of result: PgUntypedParameter for 42P18, else CursorError.
[[noreturn]] void PgThrowFailure(const PGresult* result, PGconn* conn);

// Ends whatever the last query left running (a COPY, results not yet read), so the connection can
// take the next query.
void PgSettle(PGconn* conn);

}  // namespace oledb_backend
