#pragma once
// The Russian order (russian_order.h) in the shape SQLite's sqlite3_create_collation_v2 takes: one
// collator per registration, handed in as the collation's argument and closed with it. Shared by the
// layer's connections (sqlite_russian_order.h) and the loadable extension (database/extension), which
// must reach SQLite only through the extension's own routines.

namespace rowlark::collation {

// xCompare: the texts are UTF-8 of the given byte lengths; collator is a UCollator*.
int CompareRussianCallback(void* collator, int a_length, const void* a, int b_length, const void* b);

// xDestroy: closes the collator.
void CloseRussianCallback(void* collator);

}  // namespace rowlark::collation
