#include "platform/oledb/pg_values.h"

#include <charconv>

namespace oledb_backend {

namespace {

// Type numbers of the server's catalogue (pg_type); fixed by its wire protocol.
enum : Oid { kBool = 16, kBytea = 17, kInt8 = 20, kInt2 = 21, kInt4 = 23, kOid = 26, kFloat4 = 700,
             kFloat8 = 701, kNumeric = 1700 };

// from_chars, not strtod: the host may run under a locale whose decimal point is a comma.
// It reads "Infinity" and "NaN" as such; the host refuses them when the value is read.
double ParseDouble(const char* text, std::size_t size) {
    double value = 0.0;
    std::from_chars(text, text + size, value);
    return value;
}

}  // namespace

SqlValue PgCellValue(const PGresult* result, int row, int column) {
    if (PQgetisnull(result, row, column)) return SqlValue::Null();
    const char* text = PQgetvalue(result, row, column);
    const auto size = static_cast<std::size_t>(PQgetlength(result, row, column));
    switch (PQftype(result, column)) {
        case kInt2:
        case kInt4:
        case kInt8:
        case kOid: {
            std::int64_t value = 0;
            const auto [end, error] = std::from_chars(text, text + size, value);
            if (error == std::errc() && end == text + size) return SqlValue::Int(value);
            break;  // an oid beyond int64 cannot be: keep its text all the same
        }
        case kBool: return SqlValue::Int(size > 0 && text[0] == 't' ? 1 : 0);
        case kFloat4:
        case kFloat8: return SqlValue::Real(ParseDouble(text, size));  // "Infinity", "NaN" as such
        case kNumeric: return SqlValue::Decimal(std::string(text, size), ParseDouble(text, size));
        case kBytea: {
            std::size_t length = 0;
            unsigned char* bytes = PQunescapeBytea(reinterpret_cast<const unsigned char*>(text), &length);
            if (!bytes) throw CursorError("out of memory reading a bytea value");
            SqlValue value = SqlValue::Text(std::string(reinterpret_cast<const char*>(bytes), length));
            PQfreemem(bytes);
            return value;
        }
        default: break;
    }
    return SqlValue::Text(std::string(text, size));
}

PgParam PgParamOf(const SqlValue& value) {
    switch (value.kind) {
        case SqlValue::Kind::Null: return {std::nullopt, kTextType};
        case SqlValue::Kind::Integer: return {std::to_string(value.integer), kInt8};
        case SqlValue::Kind::Real: {
            char buffer[32];
            const auto end = std::to_chars(buffer, buffer + sizeof buffer, value.real).ptr;
            return {std::string(buffer, end), kFloat8};
        }
        case SqlValue::Kind::Decimal: return {value.text, kNumeric};
        case SqlValue::Kind::Text:
            if (value.text.find('\0') != std::string::npos)
                throw CursorError("a text parameter holds a NUL character, which the server cannot store");
            return {value.text, kTextType};
    }
    return {};
}

}  // namespace oledb_backend
