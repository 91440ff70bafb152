#include "addin/context/name_index.h"

#include <stdexcept>

#include "addin/context/fold_name.h"

namespace Utils1s::Context {
namespace {
constexpr std::size_t kExpectedNames = 100;
}  // namespace

NameIndex::NameIndex() {
    index_.max_load_factor(1.0f);
    index_.reserve(kExpectedNames);
}

void NameIndex::Add(const char* russian, const char* english) {
    if (russian == nullptr || english == nullptr) throw std::logic_error("member registered without a name");
    const std::string folded_russian = FoldName(russian);
    const std::string folded_english = FoldName(english);
    for (const std::string* name : {&folded_russian, &folded_english})
        if (index_.count(*name) != 0)
            throw std::logic_error("member name registered twice in one table: " + *name);

    const int number = Count();
    by_index_.reserve(by_index_.size() + 1);  // the last step below must not fail
    const std::string* russian_key = &index_.emplace(folded_russian, number).first->first;
    const std::string* english_key = nullptr;
    try {
        // Both names may fold to one text (a name the same in both languages): one key then.
        english_key = &index_.emplace(folded_english, number).first->first;
    } catch (...) {
        index_.erase(folded_russian);
        throw;
    }
    by_index_.emplace_back(russian_key, english_key);  // keys keep their address when the map rehashes
}

int NameIndex::Find(const char* name) const {
    if (name == nullptr) return -1;
    const auto it = index_.find(FoldName(name));
    return it == index_.end() ? -1 : it->second;
}

const char* NameIndex::NameAt(int index, int language) const {
    if (index < 0 || index >= Count()) return nullptr;
    const auto& names = by_index_[static_cast<std::size_t>(index)];
    switch (language) {
        case kRussian: return names.first->c_str();
        case kEnglish: return names.second->c_str();
        default: return nullptr;
    }
}

}  // namespace Utils1s::Context
