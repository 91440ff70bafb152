#include "database/collation/sqlite_russian_order.h"

#include <sqlite3.h>

#include <string>

#include "database/collation/collation_callbacks.h"
#include "database/collation/russian_order.h"

namespace rowlark::collation {

int RegisterRussianOrder(sqlite3* db) {
    UCollator* collator = OpenRussianCollator();
    if (!collator) return SQLITE_ERROR;
    // SQLite calls the destructor itself when registering fails, and when the connection closes.
    return sqlite3_create_collation_v2(db, kRussianCollation, SQLITE_UTF8, collator, &CompareRussianCallback,
                                       &CloseRussianCallback);
}

int EnsureRussianOrder(sqlite3* db) {
    sqlite3_stmt* probe = nullptr;
    // Only a comparison makes SQLite look the collation up while preparing.
    const std::string sql = std::string("SELECT 'a' < 'b' COLLATE ") + kRussianCollation;
    const int rc = sqlite3_prepare_v2(db, sql.c_str(), -1, &probe, nullptr);
    sqlite3_finalize(probe);
    return rc == SQLITE_OK ? SQLITE_OK : RegisterRussianOrder(db);
}

}  // namespace rowlark::collation
