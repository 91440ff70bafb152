#include "database/key_window_memory.h"

#include <sqlite3.h>

#include <utility>

#include "database/database_error.h"
#include "database/key_window_cursor.h"

namespace rowlark::database {

using oledb_backend::CursorError;

namespace {

constexpr const char* kSlotName = "QueryRows";
// Reading the schema version takes the read lock of the main file; the statement keeps it while
// it stands on its row.
constexpr std::string_view kReadGuard = "PRAGMA main.schema_version";
constexpr std::string_view kTempSchema = "PRAGMA temp.schema_version";

}  // namespace

// --- LentStatement ------------------------------------------------------------------------------

LentStatement::LentStatement(Statement statement) : statement_(std::make_unique<Statement>(std::move(statement))) {}

LentStatement::LentStatement(std::shared_ptr<StatementPool> pool, std::string text, Statement statement)
    : pool_(std::move(pool)), text_(std::move(text)), statement_(std::make_unique<Statement>(std::move(statement))) {}

LentStatement::~LentStatement() { Return(); }

LentStatement& LentStatement::operator=(LentStatement&& other) noexcept {
    if (this != &other) {
        Return();
        pool_ = std::move(other.pool_);
        text_ = std::move(other.text_);
        statement_ = std::move(other.statement_);
    }
    return *this;
}

void LentStatement::Return() {
    if (!statement_) return;
    if (pool_) pool_->Return(std::move(text_), std::move(statement_));
    statement_.reset();
    pool_.reset();
}

// --- StatementPool ------------------------------------------------------------------------------

LentStatement StatementPool::Lend(std::string_view text) {
    for (auto it = idle_.rbegin(); it != idle_.rend(); ++it) {
        if (it->text != text) continue;
        std::unique_ptr<Statement> statement = std::move(it->statement);
        std::string kept = std::move(it->text);
        idle_.erase(std::next(it).base());
        return LentStatement(shared_from_this(), std::move(kept), std::move(*statement));
    }
    return LentStatement(shared_from_this(), std::string(text), Statement(db_, text, true));
}

void StatementPool::Return(std::string text, std::unique_ptr<Statement> statement) {
    // Reset ends the statement's part in any read transaction; its error, if it failed, was reported already.
    statement->Reset();
    statement->ClearBindings();
    if (idle_.size() >= kIdle) idle_.erase(idle_.begin());
    idle_.push_back(Idle{std::move(text), std::move(statement)});
}

// --- KeyWindowMemory ----------------------------------------------------------------------------

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

const TagFacts& KeyWindowMemory::Facts(const KeyWindowRequest& request) {
    for (const Entry& entry : facts_)
        if (entry.table == request.table && entry.tag == request.tag && entry.key_field == request.key_field)
            return entry.facts;
    TagFacts facts = LookUpTag(db_, request);  // throws for a bad table, tag or key field: nothing is kept
    if (facts_.size() >= kFactEntries) facts_.clear();
    facts_.push_back(Entry{request.table, request.tag, request.key_field, std::move(facts)});
    return facts_.back().facts;
}

std::unique_ptr<oledb_backend::RowCursor> KeyWindowMemory::Open(const KeyWindowRequest& request) {
    try {
        LentStatement guard = BeginRead();
        const KeyWindowPlan plan = PlanKeyWindow(request, Facts(request));
        std::vector<LentStatement> statements;
        statements.reserve(plan.statements.size());
        for (const PlannedStatement& planned : plan.statements) {
            statements.push_back(pool_->Lend(planned.sql));
            BindPlanned(*statements.back(), planned);
        }
        return std::make_unique<KeyWindowCursor>(std::move(statements), plan.count, std::move(guard));
    } catch (const DatabaseError& error) {
        throw CursorError(std::string("QueryRows: ") + error.what());
    }
}

}  // namespace rowlark::database
