#include "platform/oledb/command.h"

#include <utility>

#include "platform/oledb/call_text.h"
#include "platform/oledb/direct_result.h"
#include "platform/oledb/faults.h"
#include "platform/oledb/sequential_result.h"
#include "platform/oledb/text_out.h"
#include "platform/runtime/module.h"
#include "platform/runtime/numeric.h"

using oledb_backend::CursorError;
using oledb_backend::Reading;
using oledb_backend::RowCursor;
using oledb_backend::SqlValue;

namespace {

constexpr int kDebugMarker = 1;

bool IsParamPrefix(char c) { return c == ':' || c == '@' || c == '$' || c == '#'; }

SqlValue ToSqlValue(const CValue& value) {
    switch (value.GetKind()) {
        case CValue::Kind::Empty: return SqlValue::Null();
        case CValue::Kind::Number: {
            const CNumeric n = value.GetNumeric();
            const std::int64_t whole = n.ToInt64();
            if (CNumeric(static_cast<long long>(whole)) == n) return SqlValue::Int(whole);
            return SqlValue::Decimal(n.Format(), n.ToDouble());
        }
        default: return SqlValue::Text(oledb_backend::ToDatabaseText(value.GetString().view()));
    }
}

}  // namespace

COLEDBCommand::COLEDBCommand(std::shared_ptr<oledb_backend::Connection> connection)
    : connection_(std::move(connection)) {}

void COLEDBCommand::SetParam(std::string_view name, const CValue& value) {
    std::string_view bare = name;
    if (!bare.empty() && IsParamPrefix(bare.front())) bare.remove_prefix(1);
    bound_.push_back({std::string(name), std::string(bare), ToSqlValue(value)});
}

COLEDBCommand::Outcome COLEDBCommand::ExecuteDirect(std::string_view text) {
    Outcome outcome;
    bool replaced = false;
    try {
        const std::unique_ptr<RowCursor> cursor = Open(text, Reading::kWhole);
        auto result = oledb_backend::DirectResult::ReadAll(*cursor, replaced);
        outcome.count = result->RowCount();
        outcome.result = std::move(result);
    } catch (const oledb_backend::ParameterMismatch& e) {
        outcome.layer_error = e.what();
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
        outcome.result = oledb_backend::SequentialResult::Start(connection_, Open(text, Reading::kStream));
    } catch (const oledb_backend::ParameterMismatch& e) {
        outcome.layer_error = e.what();
    } catch (const std::exception& e) {
        outcome.error = e.what();
    }
    return outcome;
}

std::unique_ptr<RowCursor> COLEDBCommand::Open(std::string_view text, Reading reading) {
    if (debug_) GetBkEndUI()->DoMessageLine(std::string(text).c_str(), kDebugMarker);
    const std::string sql = oledb_backend::ToDatabaseText(text);
    const std::vector<oledb_backend::BoundValue> bound = std::exchange(bound_, {});  // this execution's
    const auto name = oledb_backend::CallName(sql);
    if (!name || !connection_->OffersProcedure(*name)) {
        const oledb_backend::NamedParams params = oledb_backend::MatchParameters(connection_->ParametersIn(sql), bound);
        if (oledb_faults::CallFails(oledb_faults::Call::kStatement)) throw CursorError(oledb_faults::kFaultText);
        return connection_->RunStatement(sql, params, reading);
    }
    oledb_backend::MatchParameters({}, bound);  // a procedure call takes no values
    const oledb_backend::ProcedureCall call = oledb_backend::ParseCall(sql);
    if (oledb_faults::CallFails(oledb_faults::Call::kProcedure)) throw CursorError(oledb_faults::kFaultText);
    return connection_->CallProcedure(call, reading);
}
