#pragma once
// Which open texts name a PostgreSQL server rather than a SQLite file. Known without libpq, so a
// build without the PostgreSQL backend still refuses them instead of making a file of that name.

#include <cstddef>
#include <string_view>

namespace oledb_backend {

// Whether text (UTF-8) is a PostgreSQL connection string: a "postgresql://" or "postgres://" URI
// (in any letter case), or libpq's "keyword=value ..." form whose first keyword is one of libpq's
// ("host", "dbname", ...). "Data Source=..." and paths are not.
bool IsPostgresConnectionText(std::string_view text);

// libpq's connection keywords, for the check that this list keeps up with libpq's own.
const std::string_view* PostgresKeywords(std::size_t& count);

}  // namespace oledb_backend
