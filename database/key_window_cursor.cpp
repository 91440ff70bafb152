#include "database/key_window_cursor.h"

#include "database/cursor_error.h"
#include "database/index_token.h"
#include "database/value_text.h"

namespace rowlark::database {

using oledb_backend::CursorError;
using oledb_backend::SqlValue;

void BindPlanned(Statement& statement, const PlannedStatement& planned) {
    for (std::size_t i = 0; i < planned.params.size(); ++i) {
        const int index = static_cast<int>(i + 1);
        const SqlParam& param = planned.params[i];
        if (const auto* whole = std::get_if<std::int64_t>(&param)) statement.BindInt(index, *whole);
        else if (const auto* real = std::get_if<double>(&param)) statement.BindReal(index, *real);
        else statement.BindText(index, std::get<std::string>(param));
    }
}

Statement PrepareAndBind(sqlite3* db, const PlannedStatement& planned) {
    Statement statement(db, planned.sql);
    BindPlanned(statement, planned);
    return statement;
}

KeyWindowCursor::KeyWindowCursor(sqlite3* db, const KeyWindowPlan& plan) : remaining_(plan.count) {
    for (const PlannedStatement& planned : plan.statements) statements_.emplace_back(PrepareAndBind(db, planned));
}

KeyWindowCursor::KeyWindowCursor(std::vector<LentStatement> statements, std::int64_t count, LentStatement read_guard)
    : read_guard_(std::move(read_guard)), statements_(std::move(statements)), remaining_(count) {}

std::string KeyWindowCursor::ColumnName(int column) const {
    if (column == 0) return "key";
    if (column == 1) return "index_value";
    throw CursorError("QueryRows has columns 0 and 1 only, not " + std::to_string(column));
}

void KeyWindowCursor::Finish() {
    current_ = statements_.size();
    for (LentStatement& statement : statements_) statement.Return();
    read_guard_.Return();
}

bool KeyWindowCursor::Walk() {
    while (remaining_ > 0 && current_ < statements_.size()) {
        if (statements_[current_]->Step()) {
            --remaining_;
            return true;
        }
        ++current_;
    }
    return false;
}

void KeyWindowCursor::CheckKeyTravels() const {
    const std::string key = ColumnAsText(statements_[current_]->get(), 0);
    if (!FitsCodePage(key))
        throw CursorError("QueryRows: the key " + Quoted(EncodeIndexToken(key)) +
                          " holds a character that code page 1251 cannot carry (shown as ¤code;), so no row "
                          "query could find its row by it");
}

bool KeyWindowCursor::Step() {
    on_row_ = false;
    try {
        on_row_ = ReportingCursorErrors([this] {
            if (!Walk()) return false;
            CheckKeyTravels();
            return true;
        });
    } catch (...) {
        Finish();
        throw;
    }
    if (!on_row_) Finish();
    return on_row_;
}

SqlValue KeyWindowCursor::Column(int column) const {
    if (column != 0 && column != 1)
        throw CursorError("QueryRows has columns 0 and 1 only, not " + std::to_string(column));
    if (!on_row_) throw CursorError("QueryRows: no current row; call Step() first");
    const std::string text = ColumnAsText(statements_[current_]->get(), column);
    return SqlValue::Text(column == 1 ? EncodeIndexToken(text) : text);
}

}  // namespace rowlark::database
