#include "database/tag_quantiles.h"

#include <sqlite3.h>

#include <string>

#include "database/database_error.h"
#include "database/statement.h"
#include "platform/oledb/sqlite_tag_quantiles.h"

namespace rowlark::database {

namespace {

std::int64_t CountRows(sqlite3* db, const std::string& table) {
    Statement count(db, "SELECT count(*) FROM " + QuoteIdentifier(table));
    count.Step();
    return count.ColumnInt(0);
}

}  // namespace

void ForgetTagQuantiles(sqlite3* db, const IndexTag& tag) {
    if (!TableExists(db, oledb_backend::kSqliteTagQuantiles)) return;
    Statement remove(db, "DELETE FROM rowlark_tag_quantiles WHERE table_name = ?1 AND tag = ?2");
    remove.BindText(1, tag.table);
    remove.BindText(2, tag.tag);
    remove.Step();
}

std::int64_t SampleTagQuantiles(sqlite3* db, const IndexTag& tag) {
    Execute(db, oledb_backend::kSqliteTagQuantilesTable);
    ForgetTagQuantiles(db, tag);
    const std::int64_t rows = CountRows(db, tag.table);
    if (rows == 0) return 0;
    // The first row of each of kTagQuantiles equal slices of the tag's order, and the last row. The
    // value column of the inner select keeps the expression's collation: the order is the index's own.
    const std::string slices = std::to_string(kTagQuantiles);
    Statement sample(db,
                     "INSERT INTO rowlark_tag_quantiles (table_name, tag, place, row_count, tag_value, key_value)"
                     " SELECT ?1, ?2, r, ?3, v, k FROM (SELECT v, k, row_number() OVER (ORDER BY v, k) - 1 AS r"
                     " FROM (SELECT " + KeyExpression(tag) + " AS v, " + QuoteIdentifier(tag.key_field) +
                         " AS k FROM " + QuoteIdentifier(tag.table) + "))"
                     " WHERE r = 0 OR r = ?3 - 1 OR (r * " + slices + ") / ?3 <> ((r - 1) * " + slices + ") / ?3");
    sample.BindText(1, tag.table);
    sample.BindText(2, tag.tag);
    sample.BindInt(3, rows);
    sample.Step();
    return rows;
}

std::int64_t RefreshTagQuantiles(sqlite3* db, std::string_view table, std::string_view tag) {
    const auto found = FindIndexTag(db, table, tag);
    if (!found) throw DatabaseError("index tag " + Quoted(tag) + " of table " + Quoted(table) + ": no such tag");
    Execute(db, "SAVEPOINT rowlark_tag_quantiles");
    try {
        const std::int64_t rows = SampleTagQuantiles(db, *found);
        Execute(db, "RELEASE rowlark_tag_quantiles");
        return rows;
    } catch (...) {
        sqlite3_exec(db, "ROLLBACK TO rowlark_tag_quantiles; RELEASE rowlark_tag_quantiles", nullptr, nullptr, nullptr);
        throw;
    }
}

}  // namespace rowlark::database
