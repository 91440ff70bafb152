#include "database/query_rows.h"

#include "database/database_error.h"
#include "database/key_window.h"
#include "database/key_window_cursor.h"
#include "database/key_window_memory.h"

namespace rowlark::database {

using oledb_backend::CursorError;
using oledb_backend::ProcArg;

std::unique_ptr<oledb_backend::RowCursor> QueryRows(sqlite3* db, const std::vector<ProcArg>& args) {
    const KeyWindowRequest request = ReadKeyWindowRequest(args);
    return std::make_unique<KeyWindowCursor>(db, PlanKeyWindow(db, request));
}

std::unique_ptr<oledb_backend::RowCursor> QueryRows(const oledb_backend::ProcedureSite& site,
                                                    const std::vector<ProcArg>& args) {
    if (!site.memory || !site.db) return QueryRows(site.db, args);
    const KeyWindowRequest request = ReadKeyWindowRequest(args);
    return KeyWindowMemory::Of(*site.memory, site.db).Open(request);
}

std::vector<std::string> ExplainQueryRows(sqlite3* db, const std::vector<ProcArg>& args) {
    const KeyWindowPlan plan = PlanKeyWindow(db, ReadKeyWindowRequest(args));
    std::vector<std::string> lines;
    try {
        for (PlannedStatement planned : plan.statements) {
            planned.sql = "EXPLAIN QUERY PLAN " + planned.sql;
            Statement explain = PrepareAndBind(db, planned);
            while (explain.Step()) lines.push_back(explain.ColumnText(3));
        }
    } catch (const DatabaseError& error) {
        throw CursorError(std::string("QueryRows: ") + error.what());
    }
    return lines;
}

void RegisterDatabaseProcedures(std::function<void(const std::string&, oledb_backend::Procedure)> add) {
    using SiteProcedure = std::unique_ptr<oledb_backend::RowCursor> (*)(const oledb_backend::ProcedureSite&,
                                                                          const std::vector<ProcArg>&);
    add("QueryRows", static_cast<SiteProcedure>(&QueryRows));
}

}  // namespace rowlark::database
