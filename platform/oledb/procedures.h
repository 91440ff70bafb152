#pragma once
// The database's stored procedures, for SQLite, which has none of its own: a process-wide
// registry from name to Procedure. A command whose text is a call of a registered name
// ("QueryRows ('goods', 'NAME', '', '', 50, 'id',1, '', '',0)") runs the procedure instead of SQL.
// Names are matched without regard to ASCII letter case, as SQL names are.
// Used on the host's one thread; register at start-up, before commands run.

#include <string>
#include <string_view>

#include "platform/oledb/row_cursor.h"

namespace oledb_backend {

// Adds name, replacing a procedure registered under the same name.
void RegisterProcedure(const std::string& name, Procedure procedure);
// Removes name; nothing when it is not registered.
void UnregisterProcedure(const std::string& name);
// The procedure registered under name, or null. Valid until the registry changes.
const Procedure* FindProcedure(std::string_view name);

}  // namespace oledb_backend
