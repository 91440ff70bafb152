#pragma once
// Letter case of CP1251 texts, for names that are matched in any case (method names of
// OLEDBData, meta-names): Latin A-Z and every Cyrillic capital of the code page (Ё included)
// fold to their small letters; every other byte stays.

#include <string>
#include <string_view>

namespace oledb_backend {

std::string FoldCp1251(std::string_view text);

// A result's column name (CP1251) as the host's layer reports it, in small letters: Latin A-Z and
// Cyrillic А-Я fold; Ё and every other byte stay, as the module folds a key field, so that a key
// field written as its column is named always finds that column.
std::string FoldColumnName(std::string_view text);

}  // namespace oledb_backend
