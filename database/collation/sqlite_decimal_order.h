#pragma once
// The collation rowlark_decimal (decimal_order.h) on a SQLite connection. Every connection the layer
// opens gets it, so columns of exact decimals are read, written and indexed in numeric order; other
// programs load database/extension's rowlark_ru, which carries it too.

#include "database/collation/decimal_order.h"
#include "database/collation/sqlite_collation.h"

namespace rowlark::collation {

// Registers it on db: SQLITE_OK, or SQLite's error code.
int RegisterDecimalOrder(sqlite3* db);

// Registers it where db has no collation of that name yet (sqlite_collation.h).
inline int EnsureDecimalOrder(sqlite3* db) { return EnsureCollation(db, kDecimalCollation, &RegisterDecimalOrder); }

}  // namespace rowlark::collation
