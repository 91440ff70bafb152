#include "database/statement_pool.h"

#include <iterator>
#include <utility>

namespace rowlark::database {

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

}  // namespace rowlark::database
