#pragma once
// One table of a class's members (its methods or its properties): the handlers in registration
// order, a member's index being its position, and the names of each index in both languages.
// Filled at start-up, read-only afterwards.

#include <stdexcept>
#include <vector>

#include <boost/shared_ptr.hpp>

#include "addin/context/name_index.h"

namespace Utils1s::Context {

template <class Tag>
class MemberTable {
public:
    // Appends a member. Throws std::logic_error, changing nothing, for a null handler or a name
    // that folds to one already in this table.
    void Add(const char* russian, const char* english, boost::shared_ptr<Tag> handler) {
        if (!handler) throw std::logic_error("member registered without a handler");
        handlers_.push_back(handler);
        try {
            names_.Add(russian, english);
        } catch (...) {
            handlers_.pop_back();
            throw;
        }
    }

    int Count() const { return static_cast<int>(handlers_.size()); }
    int Find(const char* name) const { return names_.Find(name); }
    // Folded name, valid while the table lives; null for an index or language out of range.
    const char* NameAt(int index, int language) const { return names_.NameAt(index, language); }
    // Empty for an index out of range.
    boost::shared_ptr<Tag> HandlerAt(int index) const {
        if (index < 0 || index >= Count()) return boost::shared_ptr<Tag>();
        return handlers_[static_cast<std::size_t>(index)];
    }

private:
    std::vector<boost::shared_ptr<Tag>> handlers_;
    NameIndex names_;
};

}  // namespace Utils1s::Context
