#include "platform/oledb/sequential_result.h"

#include <cstring>

#include "platform/oledb/faults.h"
#include "platform/oledb/host_column_names.h"
#include "platform/oledb/host_number.h"
#include "platform/oledb/text_out.h"
#include "platform/runtime/numeric.h"

namespace oledb_backend {

std::shared_ptr<SequentialResult> SequentialResult::Start(std::shared_ptr<Connection> connection,
                                                          std::unique_ptr<RowCursor> cursor) {
    std::shared_ptr<SequentialResult> result(new SequentialResult());
    result->connection_ = std::move(connection);
    result->cursor_ = std::move(cursor);
    result->host_text_ = dynamic_cast<const HostTextCursor*>(result->cursor_.get());
    bool replaced = false;
    result->column_names_ = HostColumnNames(*result->cursor_, replaced);
    if (replaced) {
        result->warned_ = true;
        WarnTextReplaced();
    }
    result->first_pending_ = result->cursor_->Step();
    result->empty_ = !result->first_pending_;
    return result;
}

bool SequentialResult::MoveNext() {
    if (!cursor_) return false;
    bool has_row = false;
    if (first_pending_) {
        first_pending_ = false;
        has_row = true;
    } else if (on_row_) {
        try {
            if (oledb_faults::CallFails(oledb_faults::Call::kNextRow)) throw CursorError(oledb_faults::kFaultText);
            has_row = cursor_->Step();
        } catch (...) {
            on_row_ = false;
            host_text_ = nullptr;
            cursor_.reset();  // a failed pass is over: let go of the statement now
            throw;
        }
    }
    on_row_ = has_row;
    if (has_row) ++row_;
    return has_row;
}

bool SequentialResult::Read(int column, CValue& value) const {
    if (!on_row_ || column < 0 || column >= ColumnCount()) return false;
    std::string_view host_text;
    if (host_text_ && host_text_->HostText(column, host_text)) {
        // Copied once, into the value's own buffer.
        value = "";
        const int n = static_cast<int>(host_text.size());
        if (n > 0) std::memcpy(value.m_String.GetBuffer(n), host_text.data(), host_text.size());
        value.m_String.ReleaseBuffer(n);
        return true;
    }
    SqlValue v = cursor_->Column(column);
    switch (v.kind) {
        case SqlValue::Kind::Null: value.Reset(); break;
        case SqlValue::Kind::Integer: value = CNumeric(static_cast<long long>(v.integer)); break;
        case SqlValue::Kind::Real: SetReal(v.real, value); break;
        case SqlValue::Kind::Decimal: SetDecimal(v.text, value); break;
        case SqlValue::Kind::Text: {
            // Converted straight into the value's buffer: CP1251 is never longer than UTF-8.
            value = "";
            bool exact = true;
            char* out = value.m_String.GetBuffer(static_cast<int>(v.text.size()));
            value.m_String.ReleaseBuffer(static_cast<int>(ToCp1251(v.text, out, exact)));
            if (!exact && !warned_) {
                warned_ = true;
                WarnTextReplaced();
            }
            break;
        }
    }
    return true;
}

}  // namespace oledb_backend
