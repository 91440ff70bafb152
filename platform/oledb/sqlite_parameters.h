#pragma once
// The parameters of a statement text as SQLite reads and numbers them, found by its tokenizer
// (sqlite_tokens.h), so none is seen inside a string, a quoted name or a comment. Named ones
// (":a", "@a", "$a", "#a", with the suffixes SQLite takes; "$1" too) bind by their name without
// the first byte; "?NNN" by NNN (without leading zeros); a plain "?" by the number SQLite gives it: one past
// the highest so far, where each named parameter's first appearance took the next number too.
// Beside them, how a decimal value goes in where SQLite has no decimal type.

#include <string_view>
#include <vector>

#include "platform/oledb/connection.h"

struct sqlite3_stmt;

namespace oledb_backend {

std::vector<ParameterRef> SqliteParametersIn(std::string_view sql);

// Whether a decimal (SqlValue::Decimal's text: "-12.5", "40702810900000012345", "1e+40") has more
// significant digits than SQLite writes of a REAL when it compares one with an exact decimal column
// (kSqliteExactDigits, sqlite_decimal_columns.h): its nearest double would lose them there.
bool HasDigitsBeyondDouble(std::string_view decimal);

// Whether stmt opens a table that has a column of exact decimal texts, read from the EXPLAIN listing
// of its text (prepared again, never run); false when that cannot be read.
bool OpensDecimalTextTables(sqlite3_stmt* stmt);

}  // namespace oledb_backend
