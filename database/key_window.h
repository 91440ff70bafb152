#pragma once
// The plan of one QueryRows call: from its request (query_rows.h), the SQL statements that
// walk the tag's index from the start row. A plan is only texts and values;
// key_window_cursor.h runs it.
//
// Why two statements: SQLite does not seek on the key part of a row-value comparison
// (value, key) > (?, ?) when the key is the rowid, so a start inside a run of equal values
// would scan that run. The walk is therefore split: first the rest of the start row's run
// (value = I AND key > K, ordered by key), then the rows beyond it (value > I, ordered by
// value and key); backwards the same with < and DESC. Both seek, however few distinct values the tag has.

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "database/index_tags.h"
#include "database/query_rows.h"

namespace rowlark::database {

using SqlParam = std::variant<std::int64_t, double, std::string>;

struct PlannedStatement {
    std::string sql;              // parameters ?1, ?2, ... in the order of params
    std::vector<SqlParam> params;
};

struct KeyWindowPlan {
    std::vector<PlannedStatement> statements;  // run one after the other
    std::int64_t count = 0;                    // rows wanted from all of them together
};

// What a plan needs from the database about the request's table and tag.
struct TagFacts {
    IndexTag tag;
    bool key_is_numeric = false;  // the key column compares a text key as a number
};

// Looks the request's table, tag and key field up. Throws oledb_backend::CursorError for no
// database, an unknown table or tag, or a key field other than the tag's; DatabaseError when
// the database fails.
TagFacts LookUpTag(sqlite3* db, const QueryRowsRequest& request);

// Writes the statements from facts that LookUpTag gave for this request's table, tag and key
// field. Throws oledb_backend::CursorError for a bound or start index text that is not a number
// for a number tag.
KeyWindowPlan PlanKeyWindow(const QueryRowsRequest& request, const TagFacts& facts);

// Both of the above. Throws as they do.
KeyWindowPlan PlanKeyWindow(sqlite3* db, const QueryRowsRequest& request);

}  // namespace rowlark::database
