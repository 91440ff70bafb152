#include "database/key_window_cursor.h"

#include <sqlite3.h>

#include <charconv>

#include "database/cursor_error.h"
#include "database/index_token.h"
#include "database/value_text.h"
#include "platform/oledb/text_out.h"

namespace rowlark::database {

namespace {

constexpr std::string_view kEscapeUtf8 = "\xC2\xA4";  // ¤, which a token writes twice

// True when the UTF-8 text is its own token (index_token.h) and reached out as CP1251 without a
// replaced character: no NUL, no ¤, nothing the code page lacks, nothing ill-formed.
bool AppendOwnToken(std::string_view utf8, std::string& out) {
    if (utf8.find('\0') != std::string_view::npos || utf8.find(kEscapeUtf8) != std::string_view::npos) return false;
    return oledb_backend::AppendCp1251(utf8, out);
}

}  // namespace

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
    sqlite3_stmt* statement = statements_[current_]->get();
    const int type = sqlite3_column_type(statement, 0);
    if (type != SQLITE_TEXT && type != SQLITE_BLOB) return;  // numbers and NULL are written in ASCII
    const auto* bytes = static_cast<const char*>(sqlite3_column_blob(statement, 0));
    const std::string_view key(bytes ? bytes : "", static_cast<std::size_t>(sqlite3_column_bytes(statement, 0)));
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

bool KeyWindowCursor::HostText(int column, std::string_view& text) const {
    if (!on_row_ || (column != 0 && column != 1)) return false;
    sqlite3_stmt* statement = statements_[current_]->get();
    host_text_.clear();
    bool exact = true;
    switch (sqlite3_column_type(statement, column)) {
        case SQLITE_INTEGER: {
            char digits[24];
            const auto written = std::to_chars(digits, digits + sizeof digits,
                                               static_cast<long long>(sqlite3_column_int64(statement, column)));
            host_text_.assign(digits, written.ptr);
            break;
        }
        case SQLITE_NULL: break;
        case SQLITE_FLOAT: host_text_ = FormatReal(sqlite3_column_double(statement, column)); break;  // ASCII
        default: {
            const auto* bytes = static_cast<const char*>(sqlite3_column_blob(statement, column));
            const std::string_view utf8(bytes ? bytes : "", static_cast<std::size_t>(sqlite3_column_bytes(statement, column)));
            if (column == 0) {
                exact = oledb_backend::AppendCp1251(utf8, host_text_);  // Step() saw that the key travels
            } else if (!AppendOwnToken(utf8, host_text_)) {
                host_text_.clear();
                exact = oledb_backend::AppendCp1251(EncodeIndexToken(utf8), host_text_);
            }
        }
    }
    text = host_text_;
    return exact;  // else Column() and the layer's conversion give the replaced text, and warn
}

}  // namespace rowlark::database
