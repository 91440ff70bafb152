#include "platform/oledb/command.h"

#include <sqlite3.h>

#include "platform/oledb/call_text.h"
#include "platform/oledb/direct_result.h"
#include "platform/oledb/faults.h"
#include "platform/oledb/procedures.h"
#include "platform/oledb/sequential_result.h"
#include "platform/oledb/statement_cursor.h"
#include "platform/oledb/text_out.h"
#include "platform/runtime/module.h"
#include "platform/runtime/numeric.h"

using oledb_backend::CursorError;
using oledb_backend::RowCursor;
using oledb_backend::SqlValue;

namespace {

constexpr int kDebugMarker = 1;

bool IsParamPrefix(char c) { return c == ':' || c == '@' || c == '$'; }

SqlValue ToSqlValue(const CValue& value) {
    switch (value.GetKind()) {
        case CValue::Kind::Empty: return SqlValue::Null();
        case CValue::Kind::Number: {
            const CNumeric n = value.GetNumeric();
            const std::int64_t whole = n.ToInt64();
            if (CNumeric(static_cast<long long>(whole)) == n) return SqlValue::Int(whole);
            return SqlValue::Real(n.ToDouble());
        }
        default: return SqlValue::Text(oledb_backend::ToDatabaseText(value.GetString().view()));
    }
}

void Bind(sqlite3_stmt* stmt, int index, const SqlValue& v) {
    switch (v.kind) {
        case SqlValue::Kind::Null: sqlite3_bind_null(stmt, index); break;
        case SqlValue::Kind::Integer: sqlite3_bind_int64(stmt, index, v.integer); break;
        case SqlValue::Kind::Real: sqlite3_bind_double(stmt, index, v.real); break;
        case SqlValue::Kind::Text:
            sqlite3_bind_text64(stmt, index, v.text.data(), v.text.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
            break;
    }
}

}  // namespace

COLEDBCommand::COLEDBCommand(std::shared_ptr<oledb_backend::Connection> connection)
    : connection_(std::move(connection)) {}

void COLEDBCommand::SetParam(std::string_view name, const CValue& value) {
    if (!name.empty() && IsParamPrefix(name.front())) name.remove_prefix(1);
    params_[oledb_backend::ToDatabaseText(name)] = ToSqlValue(value);
}

COLEDBCommand::Outcome COLEDBCommand::ExecuteDirect(std::string_view text) {
    Outcome outcome;
    bool replaced = false;
    try {
        const std::unique_ptr<RowCursor> cursor = Open(text);
        auto result = oledb_backend::DirectResult::ReadAll(*cursor, replaced);
        outcome.count = result->RowCount();
        outcome.result = std::move(result);
    } catch (const std::exception& e) {  // CursorError, or whatever else a procedure threw
        outcome.error = e.what();
    }
    if (replaced && outcome.result) oledb_backend::WarnTextReplaced();
    long long forced = 0;
    if (outcome.result && oledb_faults::ForcedRowCount(forced)) outcome.count = forced;
    if (outcome.result && oledb_faults::CallFails(oledb_faults::Call::kRowCount)) outcome.count = -1;
    return outcome;
}

COLEDBCommand::Outcome COLEDBCommand::ExecuteSequential(std::string_view text) {
    Outcome outcome;
    try {
        outcome.result = oledb_backend::SequentialResult::Start(connection_, Open(text));
    } catch (const std::exception& e) {
        outcome.error = e.what();
    }
    return outcome;
}

std::unique_ptr<RowCursor> COLEDBCommand::Open(std::string_view text) {
    if (debug_) GetBkEndUI()->DoMessageLine(std::string(text).c_str(), kDebugMarker);
    const std::string sql = oledb_backend::ToDatabaseText(text);
    const auto name = oledb_backend::CallName(sql);
    const oledb_backend::Procedure* procedure = name ? oledb_backend::FindProcedure(*name) : nullptr;
    if (!procedure) return OpenStatement(sql);

    const oledb_backend::ProcedureCall call = oledb_backend::ParseCall(sql);
    if (oledb_faults::CallFails(oledb_faults::Call::kProcedure)) throw CursorError(oledb_faults::kFaultText);
    const oledb_backend::ProcedureSite site(connection_->db(), &connection_->procedure_memory());
    std::unique_ptr<RowCursor> cursor = (*procedure)(site, call.args);
    if (!cursor) throw CursorError("procedure " + call.name + " returned no result");
    return cursor;
}

std::unique_ptr<RowCursor> COLEDBCommand::OpenStatement(const std::string& sql) {
    if (oledb_faults::CallFails(oledb_faults::Call::kStatement)) throw CursorError(oledb_faults::kFaultText);
    oledb_backend::Statement statement = connection_->Prepare(sql);
    sqlite3_stmt* stmt = statement.get();
    const int count = sqlite3_bind_parameter_count(stmt);
    for (int i = 1; i <= count; ++i) {
        const char* name = sqlite3_bind_parameter_name(stmt, i);
        if (!name || !IsParamPrefix(name[0])) continue;  // "?" and "?NNN" take no names
        const auto it = params_.find(name + 1);
        if (it != params_.end()) Bind(stmt, i, it->second);
    }
    return std::make_unique<oledb_backend::StatementCursor>(connection_, std::move(statement));
}
