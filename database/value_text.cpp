#include "database/value_text.h"

#include <sqlite3.h>

#include <charconv>
#include <cmath>
#include <cstring>

#include "text/decimal_text.h"

namespace rowlark::database {

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
    if (!decimal_text::IsPlain(lead)) {
        out += t.substr(t.front() == '-' ? 1 : 0);
        return out;
    }
    decimal_text::AppendPlain(out, digits, lead);
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

namespace {

template <typename T>
int Order(T a, T b) {
    return a < b ? -1 : b < a ? 1 : 0;
}

int CompareReals(double a, double b) {
    if (std::isnan(a) || std::isnan(b)) return std::isnan(a) ? (std::isnan(b) ? 0 : -1) : 1;
    return Order(a, b);
}

int CompareIntegerWithReal(std::int64_t whole, double real) {
    constexpr double kTwoTo63 = 9223372036854775808.0;
    if (std::isnan(real)) return 1;
    if (real >= kTwoTo63) return -1;
    if (real < -kTwoTo63) return 1;
    // In this range the real's whole part is exact both as an int64 and as a double.
    const auto real_whole = static_cast<std::int64_t>(real);
    if (whole != real_whole) return Order(whole, real_whole);
    return Order(static_cast<double>(real_whole), real);
}

}  // namespace

int CompareNumbers(const Number& a, const Number& b) {
    const auto* a_whole = std::get_if<std::int64_t>(&a);
    const auto* b_whole = std::get_if<std::int64_t>(&b);
    if (a_whole && b_whole) return Order(*a_whole, *b_whole);
    if (a_whole) return CompareIntegerWithReal(*a_whole, std::get<double>(b));
    if (b_whole) return -CompareIntegerWithReal(*b_whole, std::get<double>(a));
    return CompareReals(std::get<double>(a), std::get<double>(b));
}

}  // namespace rowlark::database
