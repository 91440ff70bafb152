#pragma once
// Values between the server and the layer's SqlValue, both in the text format (UTF-8).
// Server types map as the SQLite side's storage classes do: int2/int4/int8/oid and bool (1, 0)
// are integers, float4/float8 reals, numeric an exact decimal, bytea a text of its bytes, and
// every other type (text, varchar, bpchar with its padding, date, timestamp, ...) the text the
// server writes for it (dates in ISO form: the connection asks for it).

#include <libpq-fe.h>

#include <optional>
#include <string>

#include "platform/oledb/row_cursor.h"

namespace oledb_backend {

// The value of one cell of a result. Requires: row and column lie in the result.
SqlValue PgCellValue(const PGresult* result, int row, int column);

inline constexpr Oid kTextType = 25;

// A parameter as it is sent: its text (none for NULL) and the type of its value (int8, numeric,
// float8 or text; text for NULL), given to the server only where it cannot infer one.
struct PgParam {
    std::optional<std::string> text;
    Oid type = kTextType;
};

// Throws CursorError for a text with a NUL byte, which no server text can hold (it would arrive
// cut short).
PgParam PgParamOf(const SqlValue& value);

}  // namespace oledb_backend
