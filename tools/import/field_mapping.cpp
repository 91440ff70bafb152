#include "tools/import/field_mapping.h"
#include "tools/i18n/tool_text.h"

#include <charconv>
#include <stdexcept>

namespace import_tool {

namespace {

using oledb_backend::FieldDefinition;
using oledb_backend::FieldType;
using oledb_backend::FieldValue;
using rowlark::foxpro::FieldInfo;
using rowlark::foxpro::Value;
using rowlark::foxpro::ValueKind;

// A whole number of at most 18 digits always fits a 64-bit integer.
constexpr int kIntegerDigits = 18;

FieldDefinition Numeric(const FieldInfo& field, Engine engine) {
    const int precision = field.type == 'Y' ? 19 : field.length;
    const int scale = field.type == 'Y' ? 4 : field.decimals;
    if (engine == Engine::kSqlite && scale == 0 && precision <= kIntegerDigits) return {{}, FieldType::kInteger, 8, 0};
    return {{}, FieldType::kDecimal, precision, scale};
}

FieldDefinition Definition(const FieldInfo& field, Engine engine) {
    const bool text = field.type == 'C' || field.type == 'V' || field.type == 'M';
    if (text && field.binary) return {{}, FieldType::kBlob, 0, 0};  // NOCPTRANS: the bytes as stored
    switch (field.type) {
        case 'C': case 'V': return {{}, FieldType::kText, field.length, 0};
        case 'M': return {{}, FieldType::kText, 0, 0};
        case 'N': case 'F': case 'Y': return Numeric(field, engine);
        case 'I': return {{}, FieldType::kInteger, 4, 0};
        case 'B': return {{}, FieldType::kReal, 0, 0};
        case 'D': return {{}, FieldType::kDate, 0, 0};
        case 'T': return {{}, FieldType::kDateTime, 0, 0};
        case 'L': return {{}, FieldType::kLogical, 0, 0};
        default: return {{}, FieldType::kBlob, 0, 0};  // G, W, P, Q and types not known here
    }
}

[[noreturn]] void Mismatch(const Value& value, const FieldDefinition& definition) {
    throw std::invalid_argument(tool_text::Fill(tool_text::_("a %s value for column %s"),
                                                {rowlark::foxpro::ValueKindName(value.kind), definition.name}));
}

// Digits of a whole number as an integer; the exact decimal text when they are not one.
FieldValue WholeNumber(Value& value) {
    std::int64_t number = 0;
    const char* end = value.text.data() + value.text.size();
    const auto read = std::from_chars(value.text.data(), end, number);
    if (read.ec == std::errc() && read.ptr == end) return FieldValue::Int(number);
    return FieldValue::Of(FieldValue::Kind::Decimal, std::move(value.text));
}

}  // namespace

FieldDefinition MapField(const FieldInfo& field, const std::string& column, Engine engine) {
    FieldDefinition definition = Definition(field, engine);
    definition.name = column;
    return definition;
}

FieldValue MapValue(Value& value, const FieldDefinition& definition) {
    if (value.kind == ValueKind::Null) return FieldValue::Null();
    switch (definition.type) {
        case FieldType::kText:
            if (value.kind != ValueKind::Text) Mismatch(value, definition);
            return FieldValue::Of(FieldValue::Kind::Text, std::move(value.text));
        case FieldType::kBlob:
            if (value.kind != ValueKind::Bytes && value.kind != ValueKind::Text) Mismatch(value, definition);
            return FieldValue::Of(FieldValue::Kind::Blob, std::move(value.text));
        case FieldType::kInteger:
            if (value.kind == ValueKind::Integer) return FieldValue::Int(value.integer);
            if (value.kind != ValueKind::Decimal) Mismatch(value, definition);
            return WholeNumber(value);
        case FieldType::kDecimal:
            if (value.kind != ValueKind::Decimal) Mismatch(value, definition);
            return FieldValue::Of(FieldValue::Kind::Decimal, std::move(value.text));
        case FieldType::kReal:
            if (value.kind != ValueKind::Real) Mismatch(value, definition);
            return FieldValue::Real(value.real);
        case FieldType::kDate:
            if (value.kind != ValueKind::Date) Mismatch(value, definition);
            return FieldValue::Of(FieldValue::Kind::Date, std::move(value.text));
        case FieldType::kDateTime: {
            if (value.kind != ValueKind::DateTime) Mismatch(value, definition);
            const std::size_t t = value.text.find('T');
            if (t != std::string::npos) value.text[t] = ' ';
            return FieldValue::Of(FieldValue::Kind::DateTime, std::move(value.text));
        }
        case FieldType::kLogical:
            if (value.kind != ValueKind::Logical) Mismatch(value, definition);
            return FieldValue::Int(value.logical ? 1 : 0);
    }
    Mismatch(value, definition);
}

}  // namespace import_tool
