#pragma once
// Values between the server and the layer's SqlValue, both in the text format (UTF-8).
// Server types map as the SQLite side's storage classes do: int2/int4/int8/oid and bool (1, 0)
// are integers, float4/float8 reals, numeric an exact decimal, bytea a text of its bytes, and
// every other type (text, varchar, bpchar with its padding, date, timestamp, ...) the text the
// server writes for it (dates in ISO form: the connection asks for it).

#include <libpq-fe.h>

#include <optional>
#include <string>
#include <string_view>

#include "platform/oledb/row_cursor.h"

namespace oledb_backend {

// The value of one cell of a result. Requires: row and column lie in the result.
SqlValue PgCellValue(const PGresult* result, int row, int column);
// The same value handed to sink, with no SqlValue made: texts straight from the result, a numeric's
// digits through scratch (kept by the caller between cells, so its room is reused).
void PgCellInto(const PGresult* result, int row, int column, RowSink& sink, std::string& scratch);
// The cell in CP1251 when it is a text the server writes (not NULL, not a number, bool or bytea) and
// every character has a CP1251 byte: converted into buffer (grown as needed), text a view of it.
// False otherwise, the value then left to PgCellValue.
bool PgHostText(const PGresult* result, int row, int column, std::string& buffer, std::string_view& text);

inline constexpr Oid kTextType = 25;
inline constexpr Oid kNumericType = 1700;

// A parameter as it is sent: its text (none for NULL) and the type of its value (int8, numeric,
// float8 or text; text for NULL), given to the server only where it cannot infer one, but always
// for a numeric, so that it compares exactly wherever it stands (inferred from an integer column,
// a fraction or a number beyond the column's range would be refused).
struct PgParam {
    std::optional<std::string> text;
    Oid type = kTextType;
};

// Throws CursorError for a text with a NUL byte, which no server text can hold (it would arrive
// cut short).
PgParam PgParamOf(const SqlValue& value);

}  // namespace oledb_backend
