#pragma once
// The database's stored procedures, for SQLite, which has none of its own. A command whose text is
// a call of a procedure's name ("QueryRows ('goods', 'NAME', '', '', 50, 'id',1, '', '',0)") runs
// the procedure instead of SQL. Names are matched without regard to ASCII letter case, as SQL names are.
// Two places hold them: the process-wide set every SQLite connection offers (the database's own
// procedures, registered once at start-up by the host), and each connection's own (AddProcedure),
// which come first on that connection only and end with it. Used on the host's one thread.

#include <string>
#include <string_view>

#include "platform/oledb/connection.h"
#include "platform/oledb/sqlite_procedures.h"

namespace oledb_backend {

// Offers procedure under name on this connection alone, before the process-wide set, replacing one
// it offered under that name. Throws CursorError when connection is not a SQLite database.
void AddProcedure(Connection& connection, const std::string& name, Procedure procedure);

// Adds name to the process-wide set, replacing a procedure registered under the same name.
void RegisterProcedure(const std::string& name, Procedure procedure);
// Removes name; nothing when it is not registered.
void UnregisterProcedure(const std::string& name);
// The procedure registered under name, or null. Valid until the registry changes.
const Procedure* FindProcedure(std::string_view name);

}  // namespace oledb_backend
