#pragma once
// What QueryRows keeps on one connection between its calls, so that a window costs little more
// than reading its own rows:
//   - prepared statements by text (StatementPool): the few texts a walk uses come back ready.
//   - the facts looked up per (table, tag, key field): the tag and how its key compares. They
//     hold only while the database stays as it was: every call reads a stamp first (the schema
//     versions of main and temp, the data version of the main file, which moves with every
//     commit from any connection, and this connection's count of changed rows, which moves with
//     its own uncommitted writes) and forgets every fact when the stamp moved.
// Every call also starts one read transaction for all it reads, by keeping a statement of its own
// open on a row (the read guard) until its cursor ends: one lock of the file, not one per statement.
//
// Lives in the connection's ProcedureMemory (row_cursor.h), shared by the cursors it opens: a
// statement lent out returns to the pool when its cursor ends, or is finalized if the pool is gone.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "database/key_window.h"
#include "database/statement.h"
#include "platform/oledb/row_cursor.h"

namespace rowlark::database {

class StatementPool;

// A statement lent by a pool, or owned outright when made without one. Gives the statement back
// (reset, parameters cleared) when destroyed or on Return().
class LentStatement {
public:
    LentStatement() = default;
    explicit LentStatement(Statement statement);
    LentStatement(std::shared_ptr<StatementPool> pool, std::string text, Statement statement);
    ~LentStatement();
    LentStatement(LentStatement&&) noexcept = default;
    LentStatement& operator=(LentStatement&& other) noexcept;
    LentStatement(const LentStatement&) = delete;
    LentStatement& operator=(const LentStatement&) = delete;

    Statement& operator*() { return *statement_; }
    Statement* operator->() { return statement_.get(); }
    const Statement* operator->() const { return statement_.get(); }
    explicit operator bool() const { return statement_ != nullptr; }

    // Gives the statement back now; the lease is empty afterwards.
    void Return();

private:
    std::shared_ptr<StatementPool> pool_;  // null: the statement is finalized on return
    std::string text_;
    std::unique_ptr<Statement> statement_;
};

// Idle prepared statements of one connection by text, at most kIdle of them; the least recently
// returned goes first. A statement is lent to one holder at a time: a second holder asking for the
// same text gets a fresh one. Borrows the connection, like Statement.
class StatementPool : public std::enable_shared_from_this<StatementPool> {
public:
    static constexpr std::size_t kIdle = 16;

    explicit StatementPool(sqlite3* db) : db_(db) {}
    StatementPool(const StatementPool&) = delete;
    StatementPool& operator=(const StatementPool&) = delete;

    // A statement of that text, its parameters all NULL. Throws DatabaseError when it cannot be prepared.
    LentStatement Lend(std::string_view text);
    // Takes a lent statement back; called by LentStatement.
    void Return(std::string text, std::unique_ptr<Statement> statement);

    std::size_t IdleCount() const { return idle_.size(); }

private:
    struct Idle {
        std::string text;
        std::unique_ptr<Statement> statement;
    };
    sqlite3* db_;
    std::vector<Idle> idle_;  // least recently returned first
};

class KeyWindowMemory : public oledb_backend::ProcedureState {
public:
    static constexpr std::size_t kFactEntries = 32;

    explicit KeyWindowMemory(sqlite3* db);

    // The memory kept in a connection's procedure memory for db, made on first use.
    static KeyWindowMemory& Of(oledb_backend::ProcedureMemory& memory, sqlite3* db);

    // The cursor of one QueryRows call. Throws oledb_backend::CursorError as QueryRows does.
    std::unique_ptr<oledb_backend::RowCursor> Open(const KeyWindowRequest& request);

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
    const TagFacts& Facts(const KeyWindowRequest& request);

    sqlite3* db_;
    std::shared_ptr<StatementPool> pool_;
    Stamp stamp_;               // the database as the facts saw it
    std::vector<Entry> facts_;  // at most kFactEntries, all of one stamp
};

}  // namespace rowlark::database
