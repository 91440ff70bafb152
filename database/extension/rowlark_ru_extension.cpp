// The loadable SQLite extension rowlark_ru: the collation of the same name and rowlark_decimal, the
// numeric order of exact decimal texts (database/collation), so that the sqlite3 shell and other
// programs can read and write tables with Russian-order index tags and with columns of exact decimals:
//   sqlite> .load build/release/database/extension/rowlark_ru
// SQLite finds the entry point sqlite3_rowlarkru_init by the file's name.

#include <sqlite3ext.h>

#include "database/collation/collation_callbacks.h"
#include "database/collation/decimal_order.h"
#include "database/collation/russian_order.h"

SQLITE_EXTENSION_INIT1

extern "C" __attribute__((visibility("default"))) int sqlite3_rowlarkru_init(sqlite3* db, char** error,
                                                                             const sqlite3_api_routines* api) {
    SQLITE_EXTENSION_INIT2(api);
    const int decimal = sqlite3_create_collation_v2(db, rowlark::collation::kDecimalCollation, SQLITE_UTF8, nullptr,
                                                    &rowlark::collation::CompareDecimalCallback, nullptr);
    if (decimal != SQLITE_OK) return decimal;
    UCollator* collator = rowlark::collation::OpenRussianCollator();
    if (!collator) {
        *error = sqlite3_mprintf("rowlark_ru: ICU has no \"ru\" collation on this machine");
        return SQLITE_ERROR;
    }
    return sqlite3_create_collation_v2(db, rowlark::collation::kRussianCollation, SQLITE_UTF8, collator,
                                       &rowlark::collation::CompareRussianCallback,
                                       &rowlark::collation::CloseRussianCallback);
}
