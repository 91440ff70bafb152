#include "platform/oledb/meta_names.h"

#include <sqlite3.h>

#include <map>

#include "platform/oledb/name_fold.h"
#include "platform/oledb/row_cursor.h"
#include "platform/oledb/sqlite_handles.h"
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

std::string ColumnText(sqlite3_stmt* stmt, int column) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
    return text ? std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(stmt, column))) : std::string();
}

}  // namespace

void LoadMetaNames(sqlite3* db) {
    sqlite3_stmt* raw = nullptr;
    const std::string probe = std::string("SELECT 1 FROM sqlite_master WHERE type IN ('table','view') AND name = '") +
                              kMetaNameCatalogue + "'";
    if (sqlite3_prepare_v2(db, probe.c_str(), -1, &raw, nullptr) != SQLITE_OK) throw CursorError(ErrorMessage(db));
    Statement exists(raw);
    const int found = sqlite3_step(raw);
    if (found == SQLITE_DONE) return;
    if (found != SQLITE_ROW) throw CursorError(ErrorMessage(db));

    const std::string query = std::string("SELECT meta_name, real_name FROM ") + kMetaNameCatalogue;
    raw = nullptr;
    if (sqlite3_prepare_v2(db, query.c_str(), -1, &raw, nullptr) != SQLITE_OK) throw CursorError(ErrorMessage(db));
    Statement rows(raw);
    int rc;
    while ((rc = sqlite3_step(raw)) == SQLITE_ROW) {
        const std::string meta = cp1251::FromUtf8(ColumnText(raw, 0));
        if (meta.empty() || meta == "$") continue;
        AddMetaName(meta, cp1251::FromUtf8(ColumnText(raw, 1)));
    }
    if (rc != SQLITE_DONE) throw CursorError(ErrorMessage(db));
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
