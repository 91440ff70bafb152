#include "database/collation/sqlite_decimal_order.h"

#include <sqlite3.h>

#include "database/collation/decimal_order.h"

namespace rowlark::collation {

int RegisterDecimalOrder(sqlite3* db) {
    return sqlite3_create_collation_v2(db, kDecimalCollation, SQLITE_UTF8, nullptr, &CompareDecimalCallback, nullptr);
}

}  // namespace rowlark::collation
