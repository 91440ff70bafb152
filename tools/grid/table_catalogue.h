#pragma once
// The catalogue the grid plans from (platform/oledb/catalogue.h), opened through the backend seam
// before the screen opens: a SQLite file exactly as named, never created, or the server a
// PostgreSQL connection string names (which must keep index tags). The grid itself reads through the module.

#include <memory>
#include <string>

#include "platform/oledb/catalogue.h"

namespace grid_tool {

// The catalogue of path; none, with a one-line reason in error, when it cannot be opened.
std::unique_ptr<oledb_backend::Catalogue> OpenCatalogue(const std::string& path, std::string& error);

}  // namespace grid_tool
