#include "database/key_window_memory.h"

#include <sqlite3.h>

#include <string_view>
#include <utility>

#include "database/database_error.h"
#include "database/key_window_cursor.h"

namespace rowlark::database {

namespace {

constexpr const char* kSlotName = "QueryRows";
// Reading the schema version takes the read lock of the main file; the statement keeps it while
// it stands on its row.
constexpr std::string_view kReadGuard = "PRAGMA main.schema_version";
constexpr std::string_view kTempSchema = "PRAGMA temp.schema_version";

}  // namespace

KeyWindowMemory::KeyWindowMemory(sqlite3* db) : db_(db), pool_(std::make_shared<StatementPool>(db)) {}

KeyWindowMemory& KeyWindowMemory::Of(oledb_backend::ProcedureMemory& memory, sqlite3* db) {
    std::shared_ptr<oledb_backend::ProcedureState>& slot = memory.Slot(kSlotName);
    if (!slot) slot = std::make_shared<KeyWindowMemory>(db);
    return static_cast<KeyWindowMemory&>(*slot);
}

LentStatement KeyWindowMemory::BeginRead() {
    LentStatement guard = pool_->Lend(kReadGuard);
    if (!guard->Step()) throw DatabaseError("the schema version could not be read");
    Stamp now;
    now.main_schema = guard->ColumnInt(0);
    {
        LentStatement temp = pool_->Lend(kTempSchema);
        now.temp_schema = temp->Step() ? temp->ColumnInt(0) : -1;
    }
    // Valid here because the guard holds the read transaction: the pager has just checked the file.
    if (sqlite3_file_control(db_, "main", SQLITE_FCNTL_DATA_VERSION, &now.data_version) != SQLITE_OK)
        now.data_version = 0;
    now.changes = sqlite3_total_changes64(db_);
    if (!(now == stamp_)) {
        facts_.clear();
        stamp_ = now;
    }
    return guard;
}

const TagFacts& KeyWindowMemory::Facts(const QueryRowsRequest& request) {
    for (const Entry& entry : facts_)
        if (entry.table == request.table && entry.tag == request.tag && entry.key_field == request.key_field)
            return entry.facts;
    TagFacts facts = LookUpTag(db_, request);  // throws for a bad table, tag or key field: nothing is kept
    if (facts_.size() >= kFactEntries) facts_.clear();
    facts_.push_back(Entry{request.table, request.tag, request.key_field, std::move(facts)});
    return facts_.back().facts;
}

std::unique_ptr<oledb_backend::RowCursor> KeyWindowMemory::Open(const QueryRowsRequest& request) {
    LentStatement guard = BeginRead();
    const KeyWindowPlan plan = PlanKeyWindow(request, Facts(request));
    std::vector<LentStatement> statements;
    statements.reserve(plan.statements.size());
    for (const PlannedStatement& planned : plan.statements) {
        statements.push_back(pool_->Lend(planned.sql));
        BindPlanned(*statements.back(), planned);
    }
    return std::make_unique<KeyWindowCursor>(std::move(statements), plan.count, std::move(guard));
}

}  // namespace rowlark::database
