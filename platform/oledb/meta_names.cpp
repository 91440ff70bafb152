#include "platform/oledb/meta_names.h"

#include <map>

#include "platform/oledb/connection.h"
#include "platform/oledb/name_fold.h"
#include "platform/text/cp1251.h"

namespace oledb_backend {

namespace {

std::map<std::string, std::string>& Dictionary() {
    static std::map<std::string, std::string> dictionary;  // folded meta-name without '$' -> real name
    return dictionary;
}

std::string Key(std::string_view meta_name) {
    if (!meta_name.empty() && meta_name.front() == '$') meta_name.remove_prefix(1);
    return FoldCp1251(meta_name);
}

}  // namespace

void LoadMetaNames(Connection& connection) {
    for (const auto& [meta_utf8, real_utf8] : connection.ReadMetaNames()) {
        const std::string meta = cp1251::FromUtf8(meta_utf8);
        if (meta.empty() || meta == "$") continue;
        AddMetaName(meta, cp1251::FromUtf8(real_utf8));
    }
}

void AddMetaName(std::string_view meta_name, std::string_view real_name) {
    Dictionary()[Key(meta_name)] = std::string(real_name);
}

std::optional<std::string> FindMetaName(std::string_view meta_name) {
    const auto it = Dictionary().find(Key(meta_name));
    if (it == Dictionary().end()) return std::nullopt;
    return it->second;
}

void ClearMetaNames() { Dictionary().clear(); }

}  // namespace oledb_backend
