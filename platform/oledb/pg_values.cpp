#include "platform/oledb/pg_values.h"

#include <charconv>

#include "platform/oledb/text_out.h"

namespace oledb_backend {

namespace {

// Type numbers of the server's catalogue (pg_type); fixed by its wire protocol.
enum : Oid { kBool = 16, kBytea = 17, kInt8 = 20, kInt2 = 21, kInt4 = 23, kOid = 26, kFloat4 = 700,
             kFloat8 = 701, kNumeric = kNumericType };

// from_chars, not strtod: the host may run under a locale whose decimal point is a comma.
// It reads "Infinity" and "NaN" as such; the host refuses them when the value is read.
double ParseDouble(const char* text, std::size_t size) {
    double value = 0.0;
    std::from_chars(text, text + size, value);
    return value;
}

}  // namespace

namespace {

// How a cell of each server type reaches the layer (see pg_values.h).
enum class CellRoad { kInteger, kBool, kReal, kDecimal, kBytea, kText };

CellRoad RoadOf(Oid type) {
    switch (type) {
        case kInt2:
        case kInt4:
        case kInt8:
        case kOid: return CellRoad::kInteger;
        case kBool: return CellRoad::kBool;
        case kFloat4:
        case kFloat8: return CellRoad::kReal;
        case kNumeric: return CellRoad::kDecimal;
        case kBytea: return CellRoad::kBytea;
        default: return CellRoad::kText;
    }
}

// An integer column's digits as a number; none for one beyond int64 (an oid cannot be: its text is kept).
std::optional<std::int64_t> WholeNumber(const char* text, std::size_t size) {
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text, text + size, value);
    if (error == std::errc() && end == text + size) return value;
    return std::nullopt;
}

// The bytes a bytea cell's escaped text stands for, freed by the caller with PQfreemem.
unsigned char* ByteaBytes(const char* text, std::size_t& length) {
    unsigned char* bytes = PQunescapeBytea(reinterpret_cast<const unsigned char*>(text), &length);
    if (!bytes) throw CursorError("out of memory reading a bytea value");
    return bytes;
}

}  // namespace

SqlValue PgCellValue(const PGresult* result, int row, int column) {
    if (PQgetisnull(result, row, column)) return SqlValue::Null();
    const char* text = PQgetvalue(result, row, column);
    const auto size = static_cast<std::size_t>(PQgetlength(result, row, column));
    switch (RoadOf(PQftype(result, column))) {
        case CellRoad::kInteger:
            if (const auto value = WholeNumber(text, size)) return SqlValue::Int(*value);
            break;
        case CellRoad::kBool: return SqlValue::Int(size > 0 && text[0] == 't' ? 1 : 0);
        case CellRoad::kReal: return SqlValue::Real(ParseDouble(text, size));  // "Infinity", "NaN" as such
        case CellRoad::kDecimal: return SqlValue::Decimal(std::string(text, size), ParseDouble(text, size));
        case CellRoad::kBytea: {
            std::size_t length = 0;
            unsigned char* bytes = ByteaBytes(text, length);
            SqlValue value = SqlValue::Text(std::string(reinterpret_cast<const char*>(bytes), length));
            PQfreemem(bytes);
            return value;
        }
        case CellRoad::kText: break;
    }
    return SqlValue::Text(std::string(text, size));
}

void PgCellInto(const PGresult* result, int row, int column, RowSink& sink, std::string& scratch) {
    if (PQgetisnull(result, row, column)) return sink.Null();
    const char* text = PQgetvalue(result, row, column);
    const auto size = static_cast<std::size_t>(PQgetlength(result, row, column));
    switch (RoadOf(PQftype(result, column))) {
        case CellRoad::kInteger:
            if (const auto value = WholeNumber(text, size)) return sink.Integer(*value);
            break;
        case CellRoad::kBool: return sink.Integer(size > 0 && text[0] == 't' ? 1 : 0);
        case CellRoad::kReal: return sink.Real(ParseDouble(text, size));
        case CellRoad::kDecimal:
            scratch.assign(text, size);  // the sink keeps the digits only: no double is made
            return sink.Decimal(scratch);
        case CellRoad::kBytea: {
            std::size_t length = 0;
            unsigned char* bytes = ByteaBytes(text, length);
            sink.Text(reinterpret_cast<const char*>(bytes), length);
            PQfreemem(bytes);
            return;
        }
        case CellRoad::kText: break;
    }
    sink.Text(text, size);
}

bool PgHostText(const PGresult* result, int row, int column, std::string& buffer, std::string_view& text) {
    if (PQgetisnull(result, row, column) || RoadOf(PQftype(result, column)) != CellRoad::kText) return false;
    const auto size = static_cast<std::size_t>(PQgetlength(result, row, column));
    if (buffer.size() < size) buffer.resize(size);
    bool exact = true;
    const std::size_t n = ToCp1251(std::string_view(PQgetvalue(result, row, column), size), buffer.data(), exact);
    if (!exact) return false;  // Column() gives it, so that the layer warns of the replaced characters
    text = std::string_view(buffer.data(), n);
    return true;
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
