#pragma once
// How a FoxPro field becomes a column of the target database, and its value a written value. Every
// type maps to what the engine keeps exactly:
//   C, V, M        text (C with its width); binary-flagged (NOCPTRANS) ones and G, W, P, Q: blob
//   N, F, Y        SQLite: scale 0 (and at most 18 digits) an INTEGER, else a decimal column of the
//                  field's width (Y: 19, 4) fed the exact digits, which the writer keeps exactly
//                  (platform/oledb/sqlite_decimal_columns.h: a number up to 15 digits, the decimal
//                  text beyond); the server: numeric(p,s)
//   I              integer; B a double
//   D, T           ISO text on SQLite ("2024-03-01", "2024-03-01 13:35:39"), date and timestamp on the server
//   L              0/1 on SQLite, boolean on the server
// An empty date, a blank number, a '?' logical and a set null flag are NULL.

#include <string>

#include "foxpro/table_header.h"
#include "foxpro/value.h"
#include "platform/oledb/bulk_writer.h"

namespace import_tool {

enum class Engine { kSqlite, kServer };

// The column for field, named column, as engine keeps it.
oledb_backend::FieldDefinition MapField(const rowlark::foxpro::FieldInfo& field, const std::string& column, Engine engine);

// The written form of a value read from a field that MapField gave definition. Throws
// std::invalid_argument for a value of a kind the column does not take (a reader fault).
oledb_backend::FieldValue MapValue(rowlark::foxpro::Value& value, const oledb_backend::FieldDefinition& definition);

}  // namespace import_tool
