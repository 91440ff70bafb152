#pragma once
// The member table of a host object made here: each member under its Russian and English name, found
// by name in any letter case (the host's rule), with its argument count and whether it gives a value.
// The table keeps the names it is given (string literals, CP1251 for the Russian ones).

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace script {

struct Member {
    std::string_view russian;  // CP1251
    const char* english;
    int arity;
    bool has_result;
    int required;  // arguments that may not be left out (the first ones); the rest default to empty
};

class MemberTable {
public:
    explicit MemberTable(std::vector<Member> members);

    int Count() const { return static_cast<int>(members_.size()); }
    // The member's number, or -1 for a name it does not have.
    int Lookup(const char* name) const;
    // language 0: Russian, 1: English; null for a number or language out of range.
    const char* NameAt(int index, int language) const;
    int Arity(int index) const { return Has(index) ? members_[static_cast<std::size_t>(index)].arity : 0; }
    bool HasResult(int index) const { return Has(index) && members_[static_cast<std::size_t>(index)].has_result; }
    // Whether the parameter may be left out (then it is the empty value).
    bool HasDefault(int index, int parameter) const {
        return Has(index) && parameter >= members_[static_cast<std::size_t>(index)].required &&
               parameter < members_[static_cast<std::size_t>(index)].arity;
    }
    bool Has(int index) const { return index >= 0 && index < Count(); }

private:
    std::vector<Member> members_;
    std::unordered_map<std::string, int> by_folded_name_;
};

}  // namespace script
