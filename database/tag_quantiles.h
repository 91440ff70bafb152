#pragma once
// A sample of every SQLite index tag's order, so that a row's place in it can be told without
// counting rows: the side table rowlark_tag_quantiles holds up to kTagQuantiles + 1 rows of each tag,
// evenly spaced in the tag's order (value as its index holds it, then key) from its first row to its
// last, each with its rank and the number of rows the table had when it was sampled. Written when a
// tag is added and by RefreshTagQuantiles; the catalogue (platform/oledb/catalogue.h) reads them. A table that changes
// afterwards keeps its old sample until refreshed: its places are then estimates, never counts.

#include <cstdint>
#include <string_view>

#include "database/index_tags.h"
#include "platform/oledb/sqlite_tags.h"

struct sqlite3;

namespace rowlark::database {

inline constexpr int kTagQuantiles = 256;

// Replaces the tag's sample with one of the table as it is now; answers how many rows the table has.
// Requires: a transaction or savepoint of the caller's around it when it must be all or nothing.
std::int64_t SampleTagQuantiles(sqlite3* db, const IndexTag& tag);

// Removes the tag's sample (nothing when there is none).
void ForgetTagQuantiles(sqlite3* db, const IndexTag& tag);

// Samples the tag of that table again, all or nothing (inside a savepoint); answers the table's row
// count. Throws DatabaseError when the tag is unknown.
std::int64_t RefreshTagQuantiles(sqlite3* db, std::string_view table, std::string_view tag);

}  // namespace rowlark::database
