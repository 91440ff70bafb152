#include "tools/script/bridge/value_holder.h"

#include <cstdint>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace script {

namespace {

// Every holder alive; one thread, as everything of the host. The addresses are kept with their bits
// inverted, so that a holder the sweep missed still shows to a leak checker as the leak it is, not
// as reached from here.
std::unordered_set<std::uintptr_t>& Live() {
    static std::unordered_set<std::uintptr_t> live;
    return live;
}

std::uintptr_t Disguised(const ValueHolder* holder) { return ~reinterpret_cast<std::uintptr_t>(holder); }
ValueHolder* Revealed(std::uintptr_t disguised) { return reinterpret_cast<ValueHolder*>(~disguised); }

std::vector<ValueHolder*> LiveHolders() {
    std::vector<ValueHolder*> holders;
    holders.reserve(Live().size());
    for (const std::uintptr_t disguised : Live()) holders.push_back(Revealed(disguised));
    return holders;
}

ValueHolder* HolderIn(const CValue& value) { return dynamic_cast<ValueHolder*>(value.GetContext()); }

// For each holder, how many of its references come from values inside holders.
std::unordered_map<ValueHolder*, int> InnerReferences(const std::vector<ValueHolder*>& holders) {
    std::unordered_map<ValueHolder*, int> inner;
    for (ValueHolder* holder : holders) inner.emplace(holder, 0);
    for (ValueHolder* holder : holders)
        holder->VisitHeldValues([&inner](const CValue& value) {
            if (ValueHolder* held = HolderIn(value)) ++inner[held];
        });
    return inner;
}

// The holders reached from outside: those with more references than holders give them, and every
// holder those hold, directly or further in.
std::unordered_set<ValueHolder*> Reached(const std::unordered_map<ValueHolder*, int>& inner) {
    std::unordered_set<ValueHolder*> reached;
    std::vector<ValueHolder*> pending;
    for (const auto& [holder, count] : inner)
        if (holder->RefCount() > count && reached.insert(holder).second) pending.push_back(holder);
    while (!pending.empty()) {
        ValueHolder* holder = pending.back();
        pending.pop_back();
        holder->VisitHeldValues([&](const CValue& value) {
            ValueHolder* held = HolderIn(value);
            if (held != nullptr && reached.insert(held).second) pending.push_back(held);
        });
    }
    return reached;
}

}  // namespace

ValueHolder::ValueHolder() { Live().insert(Disguised(this)); }
ValueHolder::~ValueHolder() { Live().erase(Disguised(this)); }

int LiveValueHolderCount() { return static_cast<int>(Live().size()); }

int BreakUnreachableCycles() {
    const std::vector<ValueHolder*> holders = LiveHolders();
    const std::unordered_set<ValueHolder*> reached = Reached(InnerReferences(holders));
    std::vector<ValueHolder*> unreached;
    for (ValueHolder* holder : holders)
        if (reached.count(holder) == 0) unreached.push_back(holder);
    // Each is kept alive by a reference of ours until all are empty, so none dies while another
    // still lets go of its values.
    for (ValueHolder* holder : unreached) holder->IncrRef();
    for (ValueHolder* holder : unreached) holder->DropHeldValues();
    for (ValueHolder* holder : unreached) holder->DecrRef();
    return static_cast<int>(unreached.size());
}

}  // namespace script
