#include "tools/script/bridge/host_text.h"

#include <algorithm>

namespace script {

namespace {
constexpr unsigned char kUpperYo = 0xA8, kLowerYo = 0xB8;

unsigned char UpperByte(unsigned char c) {
    if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 32);
    if (c >= 0xE0) return static_cast<unsigned char>(c - 32);
    return c == kLowerYo ? kUpperYo : c;
}

unsigned char LowerByte(unsigned char c) {
    if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 32);
    if (c >= 0xC0 && c <= 0xDF) return static_cast<unsigned char>(c + 32);
    return c == kUpperYo ? kLowerYo : c;
}

template <unsigned char (*Map)(unsigned char)>
std::string MapBytes(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(Map(static_cast<unsigned char>(c)));
    return out;
}
}  // namespace

CValue TextValue(std::string_view cp1251) {
    CValue value;
    value = "";
    value.m_String = CString(cp1251);
    return value;
}

CValue NumberValue(const CNumeric& number) {
    CValue value;
    value = number;
    return value;
}

std::string Shown(std::string_view cp1251) {
    constexpr char kStandIn = '\xA4';  // "¤" in CP1251
    std::string out(cp1251);
    std::replace(out.begin(), out.end(), '\0', kStandIn);
    return out;
}

std::string ToUpper(std::string_view cp1251) { return MapBytes<UpperByte>(cp1251); }
std::string ToLower(std::string_view cp1251) { return MapBytes<LowerByte>(cp1251); }

bool IsLetter(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c >= 0xC0 || c == kUpperYo ||
           c == kLowerYo;
}

}  // namespace script
