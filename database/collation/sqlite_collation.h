#pragma once
// Our collations on a SQLite connection that may have them already: a caller's own handle may hold one
// from the loadable extension (database/extension), or from an earlier call.

#include <sqlite3.h>

#include <string>

namespace rowlark::collation {

// SQLITE_OK when db has the collation called name afterwards: already, or registered by register_it(db)
// now; otherwise SQLite's error code from register_it.
inline int EnsureCollation(sqlite3* db, const char* name, int (*register_it)(sqlite3*)) {
    sqlite3_stmt* probe = nullptr;
    // Only a comparison makes SQLite look the collation up while preparing.
    const std::string sql = std::string("SELECT 'a' < 'b' COLLATE ") + name;
    const int rc = sqlite3_prepare_v2(db, sql.c_str(), -1, &probe, nullptr);
    sqlite3_finalize(probe);
    return rc == SQLITE_OK ? SQLITE_OK : register_it(db);
}

}  // namespace rowlark::collation
