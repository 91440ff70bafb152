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

// The shortest decimal that reads back as the same double, written as the provider's host number
// writes itself, so that a key read back through the OLE DB layer gives the same text: plain from
// 10^-30 up to below 10^38 (12.5 -> "12.5", 3.0 -> "3", 0.1 + 0.2 -> "0.30000000000000004"),
// otherwise with an exponent of at least two digits (1e300 -> "1e+300", 5e-324 -> "5e-324").
// -0.0 is "0"; an infinity "inf" or "-inf".
std::string FormatReal(double value);

// A column of the current row as text: integer in decimal, real by FormatReal,
// text as it is, NULL as "", a blob's bytes as they are.
std::string ColumnAsText(sqlite3_stmt* stmt, int column);

// A whole decimal number ("-42") or a finite decimal fraction ("12.5", "1e3"), nothing around it.
using Number = std::variant<std::int64_t, double>;
std::optional<Number> ParseNumber(std::string_view text);

// -1, 0 or 1 as a lies below, on or above b, by exact value as SQLite compares numbers: an integer
// against a real is not rounded to a double first (2^53 + 1 lies above the real 2^53). A NaN,
// which SQLite keeps as NULL, lies below every number.
int CompareNumbers(const Number& a, const Number& b);

}  // namespace rowlark::database
