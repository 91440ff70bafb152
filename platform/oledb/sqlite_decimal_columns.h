#pragma once
// Decimals that SQLite cannot keep as numbers. Its numbers are 64-bit integers and doubles, and its own
// reading of a digit text keeps 15 significant digits (not always even the nearest double), so a decimal
// column that may hold more than 15 significant digits (FoxPro's N and F of 16 to 20, its currency Y)
// is declared "DECIMAL TEXT(p, s)" under the collation rowlark_decimal: TEXT affinity keeps every value
// as its exact decimal text, written as the host's number writes itself ("-12.5", "40702810900000012345"),
// and the collation (database/collation/decimal_order.h) orders and compares the texts by value, with
// each other and with numbers (SQLite turns a number into its text to compare it with such a column).
// The layer reads a decimal text of such a column back as the host's number, every digit kept.
// A decimal column of at most 15 digits stays NUMERIC(p, s), written as the nearest double of each
// value, which reads back as the same decimal.

#include <optional>
#include <string>
#include <string_view>

struct sqlite3;

namespace oledb_backend {

// Every decimal of at most this many significant digits reads back from its nearest double.
inline constexpr int kSqliteExactDigits = 15;

// Whether a decimal column of that precision is kept as exact decimal texts.
inline bool KeepsDecimalsAsText(int precision) { return precision > kSqliteExactDigits; }

// The column's type and collation as CREATE TABLE writes them: "DECIMAL TEXT(20, 4) COLLATE rowlark_decimal".
std::string DecimalTextDeclaration(int precision, int scale);

// Whether a declared type (sqlite3_column_decltype's, pragma_table_info's) is that of such a column;
// false for null.
bool IsDecimalTextType(const char* declared_type);

// What such a column holds for a decimal: the host number's text of it ("-012.50" gives "-12.5"), or
// the digits as they are where that number would round them; none when digits is not a decimal text
// (decimal_order.h).
std::optional<std::string> DecimalTextOf(std::string_view digits);

// Whether an index tag's expression over table is a column of such texts: "SELECT (expression) FROM
// table" is prepared (never run) and its one column's declared type asked. False when SQLite refuses it.
bool IsDecimalTextExpression(sqlite3* db, const std::string& table, const std::string& expression);

}  // namespace oledb_backend
