#pragma once
// The process-wide dictionary of meta-names: a database may carry the table
// rowlark_meta_names(meta_name TEXT, real_name TEXT); opening it through COLEDBData adds its
// rows here (a later database replaces a meta-name an earlier one gave). Meta-names are
// matched in any letter case and may be stored with or without their leading '$'.
// CMetaNameParserProxy (oledb.h) reads it. Used on the host's one thread.

#include <optional>
#include <string>
#include <string_view>

namespace oledb_backend {

class Connection;

inline constexpr const char* kMetaNameCatalogue = "rowlark_meta_names";

// Adds every row of the database's catalogue; nothing when it has none.
// Throws CursorError when the catalogue exists but cannot be read.
void LoadMetaNames(Connection& connection);
// Adds one meta-name (CP1251, with or without '$') for the real name (CP1251).
void AddMetaName(std::string_view meta_name, std::string_view real_name);
// The real name (CP1251) of a meta-name given without its '$'; none when unknown.
std::optional<std::string> FindMetaName(std::string_view meta_name);
void ClearMetaNames();

}  // namespace oledb_backend
