#include "database/russian_words.h"

#include <fstream>

#include "text/cp1251_literal.h"

namespace rowlark::database {

namespace {

const char* const kBuiltInWords[] = {
    "стол",    "стул",     "шкаф",     "лампа",    "полка",    "кресло",  "диван",    "ковёр",   "зеркало",
    "чайник",  "кастрюля", "сковорода", "тарелка", "кружка",   "ложка",   "вилка",    "нож",     "молоток",
    "отвёртка", "гвоздь",  "шуруп",    "краска",   "кисть",    "бумага",  "тетрадь",  "ручка",   "карандаш",
    "белый",   "чёрный",   "красный",  "зелёный",  "большой",  "малый",   "крепкий",  "лёгкий",  "кухонный",
    "садовый", "детский",  "офисный",  "стальной", "деревянный", "медный", "прочный", "новый",   "зимний"};

// Decodes one UTF-8 sequence at text[i] (advancing i). An ill-formed one (overlong, truncated, a
// stray continuation byte) gives kIllFormed, which no test below takes for a letter.
char32_t NextCodePoint(const std::string& text, size_t& i) {
    return cp1251::detail::DecodeUtf8(text.data(), text.size(), i);
}

bool IsLowerCyrillic(char32_t cp) { return (cp >= 0x0430 && cp <= 0x044F) || cp == 0x0451; }

bool IsUsableWord(const std::string& word) {
    size_t letters = 0;
    for (size_t i = 0; i < word.size(); ++letters)
        if (!IsLowerCyrillic(NextCodePoint(word, i))) return false;
    return letters >= 4 && letters <= 12;
}

}  // namespace

WordList LoadRussianWords(const std::string& dictionary_path) {
    WordList list;
    std::ifstream in(dictionary_path);
    std::string line;
    if (in && std::getline(in, line)) {  // the first line is the entry count
        while (std::getline(in, line)) {
            const std::string word = line.substr(0, line.find_first_of("/\r\t "));
            if (IsUsableWord(word)) list.words.push_back(word);
        }
    }
    list.from_dictionary = !list.words.empty();
    if (!list.from_dictionary) list.words.assign(std::begin(kBuiltInWords), std::end(kBuiltInWords));
    return list;
}

std::string CapitaliseFirst(const std::string& word) {
    if (word.empty()) return word;
    size_t i = 0;
    char32_t cp = NextCodePoint(word, i);
    if (cp >= 'a' && cp <= 'z') cp -= 0x20;
    else if (cp >= 0x0430 && cp <= 0x044F) cp -= 0x20;
    else if (cp == 0x0451) cp = 0x0401;
    else return word;
    std::string capitalised;
    cp1251::detail::AppendUtf8(capitalised, cp);
    return capitalised + word.substr(i);
}

}  // namespace rowlark::database
