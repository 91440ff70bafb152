#include "platform/oledb/sqlite_statement_cursor.h"

#include <sqlite3.h>

#include <string_view>
#include <vector>

#include "database/collation/decimal_order.h"
#include "platform/oledb/sqlite_decimal_columns.h"
#include "platform/runtime/numeric.h"

namespace oledb_backend {

namespace {

// A text of a column of exact decimals (sqlite_decimal_columns.h) that is a decimal; any other text
// there (a program of its own may write one) stays a text.
bool IsDecimalOfColumn(sqlite3_stmt* stmt, int column, std::string_view text) {
    return IsDecimalTextType(sqlite3_column_decltype(stmt, column)) && rowlark::collation::IsDecimalText(text);
}

}  // namespace

StatementCursor::StatementCursor(std::shared_ptr<SqliteConnection> connection, Statement statement, std::string shape)
    : connection_(std::move(connection)), statement_(std::move(statement)), shape_(std::move(shape)) {}

StatementCursor::~StatementCursor() {
    if (!shape_.empty() && statement_) connection_->KeepShapedStatement(shape_, std::move(statement_));
}

bool StatementCursor::StepAhead() {
    ahead_ = sqlite3_step(stmt());
    if (ahead_ == SQLITE_ROW || ahead_ == SQLITE_DONE) return true;
    shape_.clear();
    return false;
}

int StatementCursor::ColumnCount() const { return sqlite3_column_count(stmt()); }

std::string StatementCursor::ColumnName(int column) const {
    const char* name = sqlite3_column_name(stmt(), column);
    return name ? name : "";
}

bool StatementCursor::Step() {
    if (done_) return false;
    const int rc = ahead_ != 0 ? ahead_ : sqlite3_step(stmt());
    ahead_ = 0;
    if (rc == SQLITE_ROW) return true;
    done_ = true;
    if (rc == SQLITE_DONE) return false;
    throw CursorError(ErrorMessage(connection_->db()));
}

SqlValue StatementCursor::Column(int column) const {
    switch (sqlite3_column_type(stmt(), column)) {
        case SQLITE_INTEGER: return SqlValue::Int(sqlite3_column_int64(stmt(), column));
        case SQLITE_FLOAT: return SqlValue::Real(sqlite3_column_double(stmt(), column));
        case SQLITE_NULL: return SqlValue::Null();
        default: {
            const auto* bytes = static_cast<const char*>(sqlite3_column_blob(stmt(), column));
            const int size = sqlite3_column_bytes(stmt(), column);
            std::string text = bytes ? std::string(bytes, static_cast<std::size_t>(size)) : std::string();
            if (IsDecimalOfColumn(stmt(), column, text)) {
                const double nearest = CNumeric::Parse(text).ToDouble();
                return SqlValue::Decimal(std::move(text), nearest);
            }
            return SqlValue::Text(std::move(text));
        }
    }
}

void StatementCursor::DrainInto(RowSink& sink) {
    const int columns = ColumnCount();
    sqlite3_stmt* stmt = this->stmt();
    std::vector<bool> decimals;  // the columns of exact decimals, asked once
    for (int c = 0; c < columns; ++c) decimals.push_back(IsDecimalTextType(sqlite3_column_decltype(stmt, c)));
    std::string digits;
    while (Step()) {
        sink.BeginRow();
        for (int c = 0; c < columns; ++c) {
            // One column call per value, then plain reads of it: the connection has no mutex
            // (connection.h), so the value needs no protection while the row stands.
            sqlite3_value* v = sqlite3_column_value(stmt, c);
            switch (sqlite3_value_type(v)) {
                case SQLITE_INTEGER: sink.Integer(sqlite3_value_int64(v)); break;
                case SQLITE_FLOAT: sink.Real(sqlite3_value_double(v)); break;
                case SQLITE_NULL: sink.Null(); break;
                default: {  // text, and blobs as texts of their bytes
                    const auto* bytes = static_cast<const char*>(sqlite3_value_blob(v));
                    const std::size_t size = bytes ? static_cast<std::size_t>(sqlite3_value_bytes(v)) : 0;
                    if (decimals[static_cast<std::size_t>(c)] &&
                        rowlark::collation::IsDecimalText(std::string_view(bytes, size))) {
                        sink.Decimal(digits.assign(bytes, size));
                        break;
                    }
                    sink.Text(bytes, size);
                }
            }
        }
    }
}

}  // namespace oledb_backend
