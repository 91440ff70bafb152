#include "database/collation/sqlite_russian_order.h"

#include <sqlite3.h>

#include "database/collation/collation_callbacks.h"
#include "database/collation/russian_order.h"
#include "database/collation/sqlite_collation.h"

namespace rowlark::collation {

int RegisterRussianOrder(sqlite3* db) {
    UCollator* collator = OpenRussianCollator();
    if (!collator) return SQLITE_ERROR;
    // SQLite calls the destructor itself when registering fails, and when the connection closes.
    return sqlite3_create_collation_v2(db, kRussianCollation, SQLITE_UTF8, collator, &CompareRussianCallback,
                                       &CloseRussianCallback);
}

int EnsureRussianOrder(sqlite3* db) { return EnsureCollation(db, kRussianCollation, &RegisterRussianOrder); }

}  // namespace rowlark::collation
