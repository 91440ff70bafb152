#pragma once
// Texts as the host holds them (CP1251 bytes): making values, letter case, and the folded form by
// which the language compares names (any case, Russian or Latin letters).

#include <string>
#include <string_view>

#include "platform/runtime/value.h"

namespace script {

// A host text value holding exactly these bytes (NUL bytes included).
CValue TextValue(std::string_view cp1251);
CValue NumberValue(const CNumeric& number);

// Upper and lower case of CP1251 text: Latin, Cyrillic А–Я/а–я and Ё/ё; every other byte stays.
std::string ToUpper(std::string_view cp1251);
std::string ToLower(std::string_view cp1251);
// The form two names are compared in: lower case, as above.
inline std::string FoldName(std::string_view cp1251) { return ToLower(cp1251); }

// The text as the runner shows it: a zero byte, which would end the host's text there, becomes the
// visible stand-in "¤", so a text is shown whole.
std::string Shown(std::string_view cp1251);

bool IsLetter(unsigned char c);  // a byte that may start a name: Latin, Cyrillic, '_'

}  // namespace script
