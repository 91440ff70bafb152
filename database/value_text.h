#pragma once
// How database values are written as plain text for the grid's provider, and how a
// number written that way is read back. Writing then reading a number gives the same
// value, so a text handed out as a start position finds its row again.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

struct sqlite3_stmt;

namespace rowlark::database {

// Shortest plain decimal that reads back as the same double, no trailing zeros:
// 12.5 -> "12.5", 3.0 -> "3", 1234.56 -> "1234.56". Very large or small values may use an exponent.
std::string FormatReal(double value);

// A column of the current row as text: integer in decimal, real by FormatReal,
// text as it is, NULL as "", a blob's bytes as they are.
std::string ColumnAsText(sqlite3_stmt* stmt, int column);

// A whole decimal number ("-42") or a finite decimal fraction ("12.5", "1e3"), nothing around it.
using Number = std::variant<std::int64_t, double>;
std::optional<Number> ParseNumber(std::string_view text);

}  // namespace rowlark::database
