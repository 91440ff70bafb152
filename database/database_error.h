#pragma once
// A failure of the database side (building tables, adding index tags): what() is a
// one-line English message, UTF-8. QueryRows reports its own failures as
// oledb_backend::CursorError instead, because that is what the OLE DB stand-in catches.

#include <stdexcept>

namespace rowlark::database {

struct DatabaseError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

}  // namespace rowlark::database
