#pragma once
// Where a SQLite database keeps the sample of each index tag's order (database/tag_quantiles.h
// writes it, the SQLite catalogue reads it): one row per sampled row of the tag, by rank.

namespace oledb_backend {

inline constexpr const char* kSqliteTagQuantiles = "rowlark_tag_quantiles";

// table_name, tag: as the tag catalogue holds them; place: the sampled row's rank in the tag's order
// from 0; row_count: the table's rows when sampled; tag_value, key_value: the row's index value and key.
inline constexpr const char* kSqliteTagQuantilesTable =
    "CREATE TABLE IF NOT EXISTS rowlark_tag_quantiles ("
    " table_name TEXT NOT NULL COLLATE NOCASE,"
    " tag TEXT NOT NULL COLLATE NOCASE,"
    " place INTEGER NOT NULL,"
    " row_count INTEGER NOT NULL,"
    " tag_value, key_value,"
    " PRIMARY KEY (table_name, tag, place))";

}  // namespace oledb_backend
