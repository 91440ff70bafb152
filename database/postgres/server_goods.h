#pragma once
// The sample goods on a PostgreSQL server instead of a SQLite file (make_sample_db's second target,
// and the tests' server tables). Writes the same goods rows (database/sample_goods.h) through the
// backend seam's bulk writer (COPY) and gives the table the same tags (name, code, price) through
// the schema's rowlark_add_index_tag, all in one transaction: a failure or an interrupt leaves nothing.
// The server needs database/postgres/rowlark.sql installed (scripts/pg_cluster does it).

#include <functional>
#include <string>

#include "database/sample_goods.h"

namespace rowlark::database {

// Writes the table; throws rowlark::database::DatabaseError with the server's message, or when the
// table exists already (nothing changed then). Stops early, leaving nothing, once stop_requested
// answers true (it is asked between rows).
GoodsReport WriteGoodsToServer(const std::string& connection, const GoodsOptions& options,
                               const std::function<bool()>& stop_requested = {});

}  // namespace rowlark::database
