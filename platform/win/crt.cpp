#include "platform/win/crt.h"

namespace crt {
namespace {

Locale g_locale = Locale::C;

// Capitals of code page 1251 outside А..Я and their small letters (Ђ, Ѓ, Љ, Њ, Ќ, Ћ, Џ, Ў, Ј, Ґ, Ё, Є, Ї, І, Ѕ).
constexpr unsigned char kOtherCapitals[][2] = {
    {0x80, 0x90}, {0x81, 0x83}, {0x8A, 0x9A}, {0x8C, 0x9C}, {0x8D, 0x9D}, {0x8E, 0x9E}, {0x8F, 0x9F}, {0xA1, 0xA2},
    {0xA3, 0xBC}, {0xA5, 0xB4}, {0xA8, 0xB8}, {0xAA, 0xBA}, {0xAF, 0xBF}, {0xB2, 0xB3}, {0xBD, 0xBE},
};

}  // namespace

void SetLocale(Locale locale) { g_locale = locale; }
Locale GetLocale() { return g_locale; }

unsigned char ToLower(unsigned char byte) {
    if (byte >= 'A' && byte <= 'Z') return static_cast<unsigned char>(byte + 0x20);
    if (g_locale == Locale::C) return byte;
    if (byte >= 0xC0 && byte <= 0xDF) return static_cast<unsigned char>(byte + 0x20);
    for (const auto& pair : kOtherCapitals)
        if (pair[0] == byte) return pair[1];
    return byte;
}

}  // namespace crt

int _mbscmp(const unsigned char* a, const unsigned char* b) {
    while (*a != 0 && *a == *b) {
        ++a;
        ++b;
    }
    return static_cast<int>(*a) - static_cast<int>(*b);
}
