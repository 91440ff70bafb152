#include "tools/script/objects/member_table.h"

#include "tools/script/bridge/host_text.h"

namespace script {

MemberTable::MemberTable(std::vector<Member> members) : members_(std::move(members)) {
    for (std::size_t i = 0; i < members_.size(); ++i) {
        by_folded_name_.emplace(FoldName(members_[i].russian), static_cast<int>(i));
        by_folded_name_.emplace(FoldName(members_[i].english), static_cast<int>(i));
    }
}

int MemberTable::Lookup(const char* name) const {
    const auto found = by_folded_name_.find(FoldName(name ? name : ""));
    return found == by_folded_name_.end() ? -1 : found->second;
}

const char* MemberTable::NameAt(int index, int language) const {
    if (!Has(index)) return nullptr;
    if (language == 0) return members_[static_cast<std::size_t>(index)].russian.data();
    if (language == 1) return members_[static_cast<std::size_t>(index)].english;
    return nullptr;
}

}  // namespace script
