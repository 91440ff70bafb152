#include "database/value_text.h"

#include <sqlite3.h>

#include <charconv>
#include <cmath>
#include <cstring>

namespace rowlark::database {

namespace {

constexpr int kPlainMinPlace = -30;  // plain text from 10^-30 ...
constexpr int kPlainMaxPlace = 37;   // ... up to below 10^38

}  // namespace

std::string FormatReal(double value) {
    if (value == 0) return "0";  // -0.0 too: the provider's number has no negative zero
    if (!std::isfinite(value)) return value != value ? "nan" : value < 0 ? "-inf" : "inf";
    // The shortest digits that read back, "d.ddde±x", laid out as the provider's number writes itself.
    char text[40];
    const auto written = std::to_chars(text, text + sizeof text, value, std::chars_format::scientific);
    const std::string_view t(text, static_cast<std::size_t>(written.ptr - text));
    const std::size_t e_at = t.find('e');
    std::string out;
    std::string digits;
    for (const char c : t.substr(0, e_at)) {
        if (c == '-') out += c;
        else if (c != '.') digits += c;
    }
    int lead = 0;  // the place of the first digit
    std::string_view x = t.substr(e_at + 1);
    if (x.front() == '+') x.remove_prefix(1);
    (void)std::from_chars(x.data(), x.data() + x.size(), lead);
    const int n = static_cast<int>(digits.size());
    if (lead < kPlainMinPlace || lead > kPlainMaxPlace) {
        out += t.substr(t.front() == '-' ? 1 : 0);
        return out;
    }
    if (lead >= n - 1) {
        out += digits;
        out.append(static_cast<std::size_t>(lead - n + 1), '0');
    } else if (lead >= 0) {
        out.append(digits, 0, static_cast<std::size_t>(lead + 1));
        out += '.';
        out.append(digits, static_cast<std::size_t>(lead + 1));
    } else {
        out += "0.";
        out.append(static_cast<std::size_t>(-lead - 1), '0');
        out += digits;
    }
    return out;
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
