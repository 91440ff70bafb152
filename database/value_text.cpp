#include "database/value_text.h"

#include <sqlite3.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace rowlark::database {

std::string FormatReal(double value) {
    char buffer[64];
    // 15 significant digits suffice for every value stored from a short decimal (a price);
    // the rest need up to 17 to come back exactly.
    for (int precision = 15; precision <= 17; ++precision) {
        std::snprintf(buffer, sizeof buffer, "%.*g", precision, value);
        double back = 0;
        const auto end = buffer + std::strlen(buffer);
        if (std::from_chars(buffer, end, back).ptr == end && back == value) break;
    }
    return buffer;
}

std::string ColumnAsText(sqlite3_stmt* stmt, int column) {
    switch (sqlite3_column_type(stmt, column)) {
        case SQLITE_INTEGER:
            return std::to_string(static_cast<long long>(sqlite3_column_int64(stmt, column)));
        case SQLITE_FLOAT:
            return FormatReal(sqlite3_column_double(stmt, column));
        case SQLITE_NULL:
            return {};
        default: {
            const void* bytes = sqlite3_column_blob(stmt, column);
            const int size = sqlite3_column_bytes(stmt, column);
            return bytes ? std::string(static_cast<const char*>(bytes), static_cast<size_t>(size)) : std::string();
        }
    }
}

std::optional<Number> ParseNumber(std::string_view text) {
    const char* first = text.data();
    const char* last = text.data() + text.size();
    if (text.empty()) return std::nullopt;
    std::int64_t whole = 0;
    if (auto [end, error] = std::from_chars(first, last, whole); error == std::errc() && end == last) return whole;
    double fraction = 0;
    if (auto [end, error] = std::from_chars(first, last, fraction);
        error == std::errc() && end == last && std::isfinite(fraction))
        return fraction;
    return std::nullopt;
}

}  // namespace rowlark::database
