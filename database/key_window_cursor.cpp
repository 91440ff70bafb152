#include "database/key_window_cursor.h"

#include "database/database_error.h"
#include "database/value_text.h"

namespace rowlark::database {

using oledb_backend::CursorError;
using oledb_backend::SqlValue;

Statement PrepareAndBind(sqlite3* db, const PlannedStatement& planned) {
    Statement statement(db, planned.sql);
    for (std::size_t i = 0; i < planned.params.size(); ++i) {
        const int index = static_cast<int>(i + 1);
        const SqlParam& param = planned.params[i];
        if (const auto* whole = std::get_if<std::int64_t>(&param)) statement.BindInt(index, *whole);
        else if (const auto* real = std::get_if<double>(&param)) statement.BindReal(index, *real);
        else statement.BindText(index, std::get<std::string>(param));
    }
    return statement;
}

KeyWindowCursor::KeyWindowCursor(sqlite3* db, const KeyWindowPlan& plan) : remaining_(plan.count) {
    try {
        for (const PlannedStatement& planned : plan.statements) statements_.push_back(PrepareAndBind(db, planned));
    } catch (const DatabaseError& error) {
        throw CursorError(std::string("QueryRows: ") + error.what());
    }
}

std::string KeyWindowCursor::ColumnName(int column) const {
    if (column == 0) return "key";
    if (column == 1) return "index_value";
    throw CursorError("QueryRows has columns 0 and 1 only, not " + std::to_string(column));
}

bool KeyWindowCursor::Step() {
    on_row_ = false;
    try {
        while (remaining_ > 0 && current_ < statements_.size()) {
            if (statements_[current_].Step()) {
                --remaining_;
                on_row_ = true;
                return true;
            }
            ++current_;
        }
    } catch (const DatabaseError& error) {
        current_ = statements_.size();
        throw CursorError(std::string("QueryRows: ") + error.what());
    }
    current_ = statements_.size();
    return false;
}

SqlValue KeyWindowCursor::Column(int column) const {
    if (column != 0 && column != 1)
        throw CursorError("QueryRows has columns 0 and 1 only, not " + std::to_string(column));
    if (!on_row_) throw CursorError("QueryRows: no current row; call Step() first");
    return SqlValue::Text(ColumnAsText(statements_[current_].get(), column));
}

}  // namespace rowlark::database
