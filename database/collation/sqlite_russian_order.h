#pragma once
// Registers the collation rowlark_ru (russian_order.h) on a SQLite connection. Every connection the
// layer opens gets it, so QueryRows, the tools and the providers read and write Russian-order tags;
// other programs load database/extension's rowlark_ru instead.

struct sqlite3;

namespace rowlark::collation {

// SQLITE_OK, or SQLite's error code when the collation could not be registered (ICU without the "ru"
// rules gives SQLITE_ERROR): then db has no such collation, and a Russian-order index fails to be
// read or written through it, never served in another order.
int RegisterRussianOrder(sqlite3* db);

// Registers it only where db has no collation of that name yet (a caller's own handle may have it
// from the loadable extension, or from an earlier call). SQLITE_OK when db has it afterwards.
int EnsureRussianOrder(sqlite3* db);

}  // namespace rowlark::collation
