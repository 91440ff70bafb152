// The handles of oledb.h: results, commands and the meta-name parser. Here the layer meets the
// host: failures that the backend answers as values or CursorError become host run-time errors.

#include <limits>

#include "platform/oledb/command.h"
#include "platform/oledb/faults.h"
#include "platform/oledb/host_number.h"
#include "platform/oledb/host_number.h"
#include "platform/oledb/meta_names.h"
#include "platform/oledb/oledb.h"
#include "platform/oledb/result.h"
#include "platform/runtime/module.h"
#include "platform/text/cp1251.h"

namespace {

constexpr int kErrorFlag = 7;

// A database failure for the host: a Russian lead and the database's own message.
void RaiseDatabaseError(const std::string& utf8_message) {
    static constexpr cp1251::Literal kLead{"Ошибка базы данных: "};
    const std::string text = kLead.str() + cp1251::FromUtf8(utf8_message);
    CBLModule::RaiseExtRuntimeError(text.c_str(), kErrorFlag);
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

}  // namespace

namespace OleDb {

bool CResultProxy::IsValid() const { return result_ != nullptr; }

bool CResultProxy::IsEmpty() const { return !result_ || result_->IsEmpty(); }

void CResultProxy::Reset() { result_.reset(); }

int CResultProxy::GetNumFields() const { return result_ ? result_->ColumnCount() : 0; }

CString CResultProxy::GetFieldName(int column) const {
    if (!result_ || column < 0 || column >= result_->ColumnCount()) return CString();
    return CString(std::string_view(result_->ColumnName(column)));
}

bool CResultProxy::GetFieldValue(int column, CValue& value) const {
    if (!result_) return false;
    if (oledb_faults::FieldValueFails(column, result_->CurrentRow())) return false;
    if (oledb_faults::CallFails(oledb_faults::Call::kFieldValue)) return false;
    std::string unfit;
    try {
        return result_->Read(column, value);
    } catch (const oledb_backend::UnfitNumber& e) {
        unfit = e.what();
    }
    // Outside the handler: the host's error may leave by throwing.
    static constexpr cp1251::Literal kField{"Ошибка базы данных: значение поля \""};
    static constexpr cp1251::Literal kUnfit{"\" не умещается в число: "};
    const std::string text = kField.str() + result_->ColumnName(column) + kUnfit.str() + unfit;
    CBLModule::RaiseExtRuntimeError(text.c_str(), kErrorFlag);
    return false;
}

CResultDirectAccessProxy::CResultDirectAccessProxy(std::shared_ptr<oledb_backend::Result> result)
    : CResultProxy(std::move(result)) {}

bool CResultDirectAccessProxy::GetRow(LONG row) {
    if (!result_) return false;
    if (oledb_faults::GetRowFails(row) || oledb_faults::CallFails(oledb_faults::Call::kGetRow)) {
        result_->MoveTo(-1);  // as a real failure, it leaves no current row
        return false;
    }
    return result_->MoveTo(row);
}

CResultSequentialAccessProxy::CResultSequentialAccessProxy(std::shared_ptr<oledb_backend::Result> result)
    : CResultProxy(std::move(result)) {}

bool CResultSequentialAccessProxy::GetNextRow() {
    if (!result_) return false;
    std::string error;
    try {
        return result_->MoveNext();
    } catch (const std::exception& e) {
        error = e.what();
    }
    RaiseDatabaseError(error);  // outside the handler: the host's error may leave by throwing
    return false;
}

CCommandProxy::CCommandProxy(COLEDBCommand* command) : command_(command) {}

bool CCommandProxy::IsValid() const { return command_ != nullptr; }

void CCommandProxy::SetTextParam(const CString& name, const CValue& value) {
    if (command_) command_->SetParam(name.view(), value);
}

void CCommandProxy::SetDebugMode(bool on) {
    if (command_) command_->SetDebugMode(on);
}

namespace {

// The common end of both executions: a failure is raised, and its result is not valid.
template <typename Handle>
Handle Finish(COLEDBCommand::Outcome& outcome) {
    if (!outcome.layer_error.empty()) {
        CBLModule::RaiseExtRuntimeError(outcome.layer_error.c_str(), kErrorFlag);
        return Handle();
    }
    if (!outcome.result) {
        RaiseDatabaseError(outcome.error);
        return Handle();
    }
    return Handle(std::move(outcome.result));
}

constexpr long long kMaxHostCount = std::numeric_limits<LONG>::max();

const char* NoCommandText() {
    static constexpr cp1251::Literal kText{"Команда OLE DB не создана"};
    return kText.c_str();
}

}  // namespace

CResultDirectAccessProxy CCommandProxy::ExecuteStatementExternalDirect(CString& text, LONG& count) {
    count = 0;
    if (!command_) {
        CBLModule::RaiseExtRuntimeError(NoCommandText(), kErrorFlag);
        return CResultDirectAccessProxy();
    }
    COLEDBCommand::Outcome outcome = command_->ExecuteDirect(text.view());
    // The host's count is 32 bits: a larger one would arrive as a wrong, perhaps negative, number.
    if (outcome.result) count = outcome.count <= kMaxHostCount ? static_cast<LONG>(outcome.count) : -1;
    return Finish<CResultDirectAccessProxy>(outcome);
}

CResultSequentialAccessProxy CCommandProxy::ExecuteStatementExternalSequential(CString& text, LONG& /*count*/) {
    if (!command_) {
        CBLModule::RaiseExtRuntimeError(NoCommandText(), kErrorFlag);
        return CResultSequentialAccessProxy();
    }
    COLEDBCommand::Outcome outcome = command_->ExecuteSequential(text.view());
    return Finish<CResultSequentialAccessProxy>(outcome);
}

CMetaNameParserProxy::CMetaNameParserProxy() = default;

void CMetaNameParserProxy::SetQueryText(const CString& text) {
    text_ = text;
    result_.Empty();
    error_.Empty();
}

bool CMetaNameParserProxy::Parse() {
    result_.Empty();
    error_.Empty();
    const std::string_view name = TrimBlanks(text_.view());
    if (oledb_faults::CallFails(oledb_faults::Call::kMetaName)) {
        static constexpr cp1251::Literal kCannotTranslate{"Не удалось перевести метаимя: "};
        error_ = CString(kCannotTranslate.view());
        error_ += CString(name);
        return false;
    }
    if (name.empty()) {
        static constexpr cp1251::Literal kEmpty{"Не задано имя таблицы"};
        error_ = kEmpty.c_str();
        return false;
    }
    if (name.front() != '$') {
        result_ = CString(name);
        return true;
    }
    if (const auto real = oledb_backend::FindMetaName(name.substr(1))) {
        result_ = CString(std::string_view(*real));
        return true;
    }
    static constexpr cp1251::Literal kUnknown{"Неизвестное метаимя: "};
    error_ = CString(kUnknown.view());
    error_ += CString(name);
    return false;
}

CString CMetaNameParserProxy::GetQueryText() const { return result_; }

CString CMetaNameParserProxy::GetLastError() const { return error_; }

bool CMetaNameParserProxy::CValueToDBValue(const CValue& value, int mode, CString& text, bool& flag,
                                           CString& /*extra*/) {
    text.Empty();
    flag = false;
    if (mode != 0 || oledb_faults::CallFails(oledb_faults::Call::kDatabaseValue)) return false;
    switch (value.GetKind()) {
        case CValue::Kind::Number: text = CString(std::string_view(value.GetNumeric().Format())); return true;
        case CValue::Kind::String:
            text = value.m_String;
            flag = true;
            return true;
        case CValue::Kind::Empty: text = "NULL"; return true;
        case CValue::Kind::Object: break;
    }
    return false;
}

}  // namespace OleDb
