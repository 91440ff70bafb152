#pragma once
// The procedures of a SQLite database, which has none of its own: the layer runs them on the
// connection's handle (QueryRows, database/query_rows.h, is one). What a procedure receives and
// what it may keep on its connection between calls. SQLite backend only.

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/oledb/row_cursor.h"

struct sqlite3;

namespace oledb_backend {

// Something a procedure keeps on one connection between its calls (prepared statements, facts
// about tables). Shared, so a cursor still reading may keep it alive after the connection lets go.
class ProcedureState {
public:
    virtual ~ProcedureState() = default;
};

// A connection's room for procedure state, one object per name. The connection owns it and empties
// it before its database closes. Used on the connection's one thread.
class ProcedureMemory {
public:
    std::shared_ptr<ProcedureState>& Slot(const std::string& name) { return slots_[name]; }
    void Clear() { slots_.clear(); }

private:
    std::map<std::string, std::shared_ptr<ProcedureState>> slots_;
};

// Where a procedure runs: the open database, and the memory of the connection that owns it (none
// for a bare handle, whose procedures keep nothing). A site and a sqlite3* turn into each other only
// by name (Bare, handle()), so neither is ever taken for the other unseen.
class ProcedureSite {
public:
    // A connection's database with its memory; memory may be null, as for a bare handle.
    explicit ProcedureSite(sqlite3* db, ProcedureMemory* memory) : db_(db), memory_(memory) {}
    // A bare handle: procedures run on it keep nothing between calls.
    static ProcedureSite Bare(sqlite3* db) { return ProcedureSite(db, nullptr); }

    sqlite3* handle() const { return db_; }
    ProcedureMemory* memory() const { return memory_; }

private:
    sqlite3* db_;
    ProcedureMemory* memory_;
};

// A stored procedure the database offers: it receives where it runs and the call's arguments.
using Procedure = std::function<std::unique_ptr<RowCursor>(const ProcedureSite& site, const std::vector<ProcArg>& args)>;

}  // namespace oledb_backend
