#pragma once
// Folds a member name (CP1251 bytes) to the form the member tables are keyed by: 'A'-'Z' and the
// Cyrillic capitals 0xC0-0xDF ("А"-"Я") become lower case; every other byte, "Ё" (0xA8) included,
// stays. A fixed table, independent of the process locale.

#include <string>
#include <string_view>

namespace Utils1s::Context {

unsigned char FoldByte(unsigned char byte);
std::string FoldName(std::string_view name);

}  // namespace Utils1s::Context
