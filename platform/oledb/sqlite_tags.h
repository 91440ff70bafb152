#pragma once
// How a SQLite database keeps index tags (database/index_tags.h writes them, the SQLite catalogue
// reads them): the catalogue table's name and the value a tag's index holds for its expression.

#include <string>

#include "database/collation/decimal_order.h"
#include "database/collation/russian_order.h"

namespace oledb_backend {

inline constexpr const char* kSqliteTagCatalogue = "rowlark_index_tags";

// Text tags: the expression as text, trailing white space (blank, tab, LF, VT, FF, CR) removed,
// NULL as "", in the Russian order under its collation (database/collation) when russian; number tags:
// the expression as a number, NULL as 0, or, when the expression is a column of exact decimal texts
// (sqlite_decimal_columns.h), that text itself, NULL as "0", under their collation, so every digit counts.
inline std::string SqliteTagValueSql(const std::string& expression, bool number, bool russian = false,
                                     bool decimal_text = false) {
    if (number && decimal_text)
        return "coalesce((" + expression + "), '0') COLLATE " + rowlark::collation::kDecimalCollation;
    if (number) return "coalesce(CAST((" + expression + ") AS NUMERIC), 0)";
    const std::string text = "coalesce(rtrim((" + expression + "), char(32, 9, 10, 11, 12, 13)), '')";
    return russian ? text + " COLLATE " + rowlark::collation::kRussianCollation : text;
}

}  // namespace oledb_backend
