#pragma once
// Russian words for sample data, read from a hunspell dictionary (UTF-8, first line a count,
// then "word" or "word/FLAGS" per line). Only all-lower-case Cyrillic words of 4 to 12
// letters are kept (no names, abbreviations or hyphenated forms), in file order.

#include <string>
#include <vector>

namespace rowlark::database {

inline constexpr const char* kDefaultDictionary = "/usr/share/hunspell/ru_RU.dic";

struct WordList {
    std::vector<std::string> words;  // never empty
    bool from_dictionary = false;    // false: the dictionary was missing or had no usable word,
                                     // and a small built-in list stands in
};

WordList LoadRussianWords(const std::string& dictionary_path = kDefaultDictionary);

// The word with its first letter upper case (Cyrillic а-я, ё and ASCII a-z).
std::string CapitaliseFirst(const std::string& word);

}  // namespace rowlark::database
