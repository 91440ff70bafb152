#pragma once
// One field's value as an importer maps it: exact texts for decimals, ISO texts for dates.

#include <cstdint>
#include <string>

namespace rowlark::foxpro {

enum class ValueKind {
    Null,      // a null flag, an empty date or datetime, a blank number, a '?' logical
    Text,      // C, V, M as UTF-8 (trailing blanks of C removed)
    Bytes,     // G, W, P, Q, binary-flagged C, V, M and fields of unknown types, exactly as stored
    Integer,   // I (autoincrement too)
    Decimal,   // N, F, Y as exact decimal text: "-12.50", "18.0000"
    Real,      // B (double)
    Logical,   // L
    Date,      // D as "YYYY-MM-DD"
    DateTime,  // T as "YYYY-MM-DDTHH:MM:SS", to the nearest second as FoxPro shows it
};

struct Value {
    ValueKind kind = ValueKind::Null;
    std::string text;           // Text, Bytes, Decimal, Date, DateTime
    std::int64_t integer = 0;   // Integer
    double real = 0;            // Real
    bool logical = false;       // Logical
};

// "null", "text", ... for messages and tests.
const char* ValueKindName(ValueKind kind);

}  // namespace rowlark::foxpro
