#pragma once
// Texts for the Russian-order tests and the order they must come in, computed apart from ICU and from
// every database: glibc's ru_RU.UTF-8 collation (strcoll_l), then the bytes, then the key.

#include <locale.h>

#include <string>
#include <vector>

namespace query_rows_test {

struct KeyedText {
    std::string key;
    std::string text;
};

// Dictionary words (hunspell-ru) in lower, capitalised and upper case, and with ё for their first е in
// each of those, every `step`-th word of the dictionary: letters only, where glibc and ICU agree.
std::vector<KeyedText> MixedCaseWords(std::size_t step);

// The keys of texts in glibc's ru_RU.UTF-8 order; equal texts by key as numbers. Empty (with a
// failure added) when the locale is missing (scripts/setup makes it).
std::vector<std::string> KeysInGlibcOrder(std::vector<KeyedText> texts);

// Cyrillic а-я and ё as upper case, every other byte kept.
std::string UpperCyrillic(const std::string& word);

}  // namespace query_rows_test
