#pragma once
// Prepared statements kept on one connection for reuse, and the leases through which they are lent.
// A pool borrows the connection, like Statement: the sqlite3* must stay open while the pool or any
// statement it lent lives. A lent statement keeps its pool alive (shared) and goes back to it when the
// lease ends; a lease made without a pool owns its statement and finalizes it.

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "database/statement.h"

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
// same text gets a fresh one. Made by std::make_shared only (leases share it).
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

}  // namespace rowlark::database
