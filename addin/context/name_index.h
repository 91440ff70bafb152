#pragma once
// The names of one member table: folded name -> member index for both languages, and the two
// folded names of each index. Names read back point at the stored keys: nothing is allocated, and
// they stay valid as long as the index.

#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace Utils1s::Context {

enum Language { kRussian = 0, kEnglish = 1 };

class NameIndex {
public:
    NameIndex();
    NameIndex(const NameIndex&) = delete;
    NameIndex& operator=(const NameIndex&) = delete;

    // Enters both names of member number Count(). Throws std::logic_error, changing nothing, when
    // either folded name already belongs to another member (a programming error at start-up).
    void Add(const char* russian, const char* english);
    int Count() const { return static_cast<int>(by_index_.size()); }
    // The member index of a name in either language and any case FoldName folds; -1 if unknown.
    int Find(const char* name) const;
    // The folded name of index in language 0 (Russian) or 1 (English); null otherwise.
    const char* NameAt(int index, int language) const;

private:
    using Index = std::unordered_map<std::string, int>;
    Index index_;
    std::vector<std::pair<const std::string*, const std::string*>> by_index_;  // keys of index_
};

}  // namespace Utils1s::Context
