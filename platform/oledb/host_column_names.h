#pragma once
// The column names of a result as the host's layer reports them: in CP1251 and in small letters
// (FoldColumnName, name_fold.h), whatever case the query or the engine wrote them in, on both
// databases, so that a key field names an alias ("id AS Код") as the host finds it.

#include <string>
#include <vector>

#include "platform/oledb/row_cursor.h"

namespace oledb_backend {

// The cursor's column names; replaced becomes true when one lost a character CP1251 lacks.
std::vector<std::string> HostColumnNames(const RowCursor& cursor, bool& replaced);

}  // namespace oledb_backend
