#pragma once
// The slice of the C runtime the module relies on: the current locale's letter case and _mbscmp.
// Linux machines rarely have a CP1251 locale installed, so the Russian one is emulated here.

namespace crt {

enum class Locale {
    C,            // only 'A'-'Z' have a lower case
    Russian1251,  // "Russian_Russia.1251": Latin and every Cyrillic capital of code page 1251, Ё included
};

void SetLocale(Locale locale);
Locale GetLocale();

// The lower case of a CP1251 byte under the current locale.
unsigned char ToLower(unsigned char byte);

}  // namespace crt

// Compares two zero-terminated texts byte by byte as unsigned: <0, 0 or >0.
int _mbscmp(const unsigned char* a, const unsigned char* b);
