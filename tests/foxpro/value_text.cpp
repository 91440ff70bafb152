#include "tests/foxpro/value_text.h"

#include <cstdio>

namespace rowlark::foxpro::testing {

std::string Escape(const std::string& bytes) {
    std::string text;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\n') text += "\\n";
        else if (c == '\r') text += "\\r";
        else if (c == '\t') text += "\\t";
        else if (c == '\\') text += "\\\\";
        else if (byte < 0x20 || byte == 0x7F) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", byte);
            text += hex;
        } else {
            text += c;
        }
    }
    return text;
}

std::string ValueText(const Value& value) {
    std::string text = std::string(ValueKindName(value.kind)) + ":";
    switch (value.kind) {
        case ValueKind::Null: return text;
        case ValueKind::Integer: return text + std::to_string(value.integer);
        case ValueKind::Logical: return text + (value.logical ? "true" : "false");
        case ValueKind::Real: {
            char number[64];
            std::snprintf(number, sizeof number, "%.17g", value.real);
            return text + number;
        }
        case ValueKind::Bytes: {
            std::string hex;
            for (const char c : value.text) {
                char pair[4];
                std::snprintf(pair, sizeof pair, "%02x", static_cast<unsigned char>(c));
                hex += pair;
            }
            return text + hex;
        }
        default: return text + Escape(value.text);
    }
}

}  // namespace rowlark::foxpro::testing
