#include "tests/query_rows/russian_words_order.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <type_traits>

#include "database/russian_words.h"

namespace query_rows_test {

namespace {

struct LocaleFree {
    void operator()(locale_t locale) const { freelocale(locale); }
};

// The first е of a word as ё (the same first letter case), or "" when it has none.
std::string WithYo(const std::string& word) {
    for (const auto& [plain, yo] : {std::pair<std::string, std::string>{"е", "ё"}, {"Е", "Ё"}}) {
        const std::size_t at = word.find(plain);
        if (at != std::string::npos) return word.substr(0, at) + yo + word.substr(at + plain.size());
    }
    return "";
}

}  // namespace

std::string UpperCyrillic(const std::string& word) {
    std::string out;
    for (std::size_t i = 0; i < word.size(); ++i) {
        const auto lead = static_cast<unsigned char>(word[i]);
        const auto next = i + 1 < word.size() ? static_cast<unsigned char>(word[i + 1]) : 0;
        if (lead == 0xD0 && next >= 0xB0 && next <= 0xBF) {  // а-п
            out += {'\xD0', static_cast<char>(next - 0x20)};
        } else if (lead == 0xD1 && next >= 0x80 && next <= 0x8F) {  // р-я
            out += {'\xD0', static_cast<char>(next + 0x20)};
        } else if (lead == 0xD1 && next == 0x91) {  // ё
            out += "Ё";
        } else {
            out += word[i];
            continue;
        }
        ++i;
    }
    return out;
}

std::vector<KeyedText> MixedCaseWords(std::size_t step) {
    const auto list = rowlark::database::LoadRussianWords();
    std::vector<KeyedText> texts;
    for (std::size_t i = 0; i < list.words.size(); i += step) {
        const std::string& word = list.words[i];
        for (const std::string& form : {word, rowlark::database::CapitaliseFirst(word), UpperCyrillic(word)}) {
            texts.push_back({std::to_string(texts.size() + 1), form});
            const std::string yo = WithYo(form);
            if (!yo.empty()) texts.push_back({std::to_string(texts.size() + 1), yo});
        }
    }
    return texts;
}

std::vector<std::string> KeysInGlibcOrder(std::vector<KeyedText> texts) {
    const std::unique_ptr<std::remove_pointer_t<locale_t>, LocaleFree> ru(
        newlocale(LC_COLLATE_MASK, "ru_RU.UTF-8", static_cast<locale_t>(nullptr)));
    if (!ru) {
        ADD_FAILURE() << "the ru_RU.UTF-8 locale is missing (scripts/setup makes it)";
        return {};
    }
    std::stable_sort(texts.begin(), texts.end(), [&](const KeyedText& a, const KeyedText& b) {
        const int order = strcoll_l(a.text.c_str(), b.text.c_str(), ru.get());
        if (order != 0) return order < 0;
        if (a.text != b.text) return a.text < b.text;
        return std::stoll(a.key) < std::stoll(b.key);
    });
    std::vector<std::string> keys;
    for (const KeyedText& each : texts) keys.push_back(each.key);
    return keys;
}

}  // namespace query_rows_test
