#pragma once
// The one place where a failure of the database side becomes a failure of QueryRows. The OLE DB
// stand-in catches oledb_backend::CursorError, so a DatabaseError (SQLite's own message) leaving a
// step of QueryRows is reported as one, prefixed "QueryRows: ". A CursorError with a message of its
// own, and every other exception, passes unchanged.

#include <string>
#include <utility>

#include "database/database_error.h"
#include "platform/oledb/row_cursor.h"

namespace rowlark::database {

// Runs step() and answers what it answers. Called where QueryRows is entered: the procedure itself
// and its cursor's Step().
template <class Step>
decltype(auto) ReportingCursorErrors(Step&& step) {
    try {
        return std::forward<Step>(step)();
    } catch (const DatabaseError& error) {
        throw oledb_backend::CursorError(std::string("QueryRows: ") + error.what());
    }
}

}  // namespace rowlark::database
