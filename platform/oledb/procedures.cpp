#include "platform/oledb/procedures.h"

#include <map>

namespace oledb_backend {

namespace {

std::string AsciiLower(std::string_view name) {
    std::string folded(name);
    for (char& c : folded)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return folded;
}

std::map<std::string, Procedure>& Registry() {
    static std::map<std::string, Procedure> registry;
    return registry;
}

}  // namespace

void RegisterProcedure(const std::string& name, Procedure procedure) {
    Registry()[AsciiLower(name)] = std::move(procedure);
}

void UnregisterProcedure(const std::string& name) { Registry().erase(AsciiLower(name)); }

const Procedure* FindProcedure(std::string_view name) {
    const auto it = Registry().find(AsciiLower(name));
    return it == Registry().end() ? nullptr : &it->second;
}

}  // namespace oledb_backend
