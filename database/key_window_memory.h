#pragma once
// What QueryRows keeps on one connection between its calls, so that a window costs little more
// than reading its own rows:
//   - prepared statements by text (statement_pool.h): the few texts a walk uses come back ready.
//   - the facts looked up per (table, tag, key field): the tag and how its key compares. They
//     hold only while the database stays as it was: every call reads a stamp first (the schema
//     versions of main and temp, the data version of the main file, which moves with every
//     commit from any connection, and this connection's count of changed rows, which moves with
//     its own uncommitted writes) and forgets every fact when the stamp moved.
// Every call also starts one read transaction for all it reads, by keeping a statement of its own
// open on a row (the read guard) until its cursor ends: one lock of the file, not one per statement.
//
// Lives in the connection's ProcedureMemory (sqlite_procedures.h), shared by the cursors it opens: a
// statement lent out returns to the pool when its cursor ends, or is finalized if the pool is gone.

#include <cstdint>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "database/key_window.h"
#include "database/statement_pool.h"
#include "platform/oledb/sqlite_procedures.h"

namespace rowlark::database {

class KeyWindowMemory : public oledb_backend::ProcedureState {
public:
    static constexpr std::size_t kFactEntries = 32;

    explicit KeyWindowMemory(sqlite3* db);

    // The memory kept in a connection's procedure memory for db, made on first use.
    static KeyWindowMemory& Of(oledb_backend::ProcedureMemory& memory, sqlite3* db);

    // The cursor of one QueryRows call. Throws oledb_backend::CursorError for a request the database
    // cannot answer (LookUpTag, PlanKeyWindow), DatabaseError when the database fails.
    std::unique_ptr<oledb_backend::RowCursor> Open(const QueryRowsRequest& request);

    // For tests: how many (table, tag, key field) facts are held now.
    std::size_t FactCount() const { return facts_.size(); }
    const StatementPool& pool() const { return *pool_; }

private:
    struct Stamp {
        std::int64_t main_schema = -1;
        std::int64_t temp_schema = -1;
        unsigned int data_version = 0;
        std::int64_t changes = -1;
        bool operator==(const Stamp& other) const {
            return std::tie(main_schema, temp_schema, data_version, changes) ==
                   std::tie(other.main_schema, other.temp_schema, other.data_version, other.changes);
        }
    };
    struct Entry {
        std::string table, tag, key_field;
        TagFacts facts;
    };

    // Starts the read transaction and forgets the facts if the database changed since the last call.
    LentStatement BeginRead();
    const TagFacts& Facts(const QueryRowsRequest& request);

    sqlite3* db_;
    std::shared_ptr<StatementPool> pool_;
    Stamp stamp_;               // the database as the facts saw it
    std::vector<Entry> facts_;  // at most kFactEntries, all of one stamp
};

}  // namespace rowlark::database
