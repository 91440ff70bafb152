#include "platform/oledb/name_fold.h"

#include <array>

namespace oledb_backend {

namespace {

// Capitals of code page 1251 outside А-Я and their small letters: Ђ Ѓ Љ Њ Ќ Ћ Џ Ў Ј Ґ Ё Є Ї І Ѕ.
constexpr unsigned char kOtherCapitals[][2] = {
    {0x80, 0x90}, {0x81, 0x83}, {0x8A, 0x9A}, {0x8C, 0x9C}, {0x8D, 0x9D}, {0x8E, 0x9E}, {0x8F, 0x9F}, {0xA1, 0xA2},
    {0xA3, 0xBC}, {0xA5, 0xB4}, {0xA8, 0xB8}, {0xAA, 0xBA}, {0xAF, 0xBF}, {0xB2, 0xB3}, {0xBD, 0xBE},
};

using Table = std::array<unsigned char, 256>;

// A-Z and А-Я to small letters; with other_capitals, the rest of the code page's capitals too.
constexpr Table MakeTable(bool other_capitals) {
    Table table{};
    for (int b = 0; b < 256; ++b) table[static_cast<std::size_t>(b)] = static_cast<unsigned char>(b);
    for (int b = 'A'; b <= 'Z'; ++b) table[static_cast<std::size_t>(b)] = static_cast<unsigned char>(b + 32);
    for (int b = 0xC0; b <= 0xDF; ++b) table[static_cast<std::size_t>(b)] = static_cast<unsigned char>(b + 32);
    if (other_capitals)
        for (const auto& pair : kOtherCapitals) table[pair[0]] = pair[1];
    return table;
}

constexpr Table kLower = MakeTable(true);
constexpr Table kColumnLower = MakeTable(false);

std::string Mapped(std::string_view text, const Table& table) {
    std::string folded(text);
    for (char& c : folded) c = static_cast<char>(table[static_cast<unsigned char>(c)]);
    return folded;
}

}  // namespace

std::string FoldCp1251(std::string_view text) { return Mapped(text, kLower); }

std::string FoldColumnName(std::string_view text) { return Mapped(text, kColumnLower); }

}  // namespace oledb_backend
