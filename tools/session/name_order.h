#pragma once
// The order a static query of the sample goods gives its names, so that the static provider shows
// the first page the dynamic one does: the order of the goods' tag "name" (database/index_tags.h),
// the Russian collation where that tag was added in the Russian order, else the names' bytes.

#include <string>

namespace tools {

// The ORDER BY terms for the goods of the database path names (a SQLite file or a PostgreSQL
// connection string): "name COLLATE rowlark_ru, id" (public.rowlark_ru on a server) when the tag
// "name" is in the Russian order, "name, id" otherwise, also when the catalogue cannot be read
// (opening the provider then says why).
std::string GoodsNameOrder(const std::string& path);

}  // namespace tools
