// COLEDBData: the connection object and its small script surface ("OLEDBData").

#include "platform/oledb/command.h"
#include "platform/oledb/connection.h"
#include "platform/oledb/faults.h"
#include "platform/oledb/meta_names.h"
#include "platform/oledb/name_fold.h"
#include "platform/oledb/oledb.h"
#include "platform/runtime/module.h"
#include "platform/text/cp1251.h"

namespace {

constexpr int kErrorFlag = 7;

CObject* CreateCOLEDBData() { return new COLEDBData(); }

void Raise(std::string_view lead_cp1251, const std::string& utf8_message) {
    const std::string text = std::string(lead_cp1251) + cp1251::FromUtf8(utf8_message);
    CBLModule::RaiseExtRuntimeError(text.c_str(), kErrorFlag);
}

constexpr cp1251::Literal kOpenName{"Открыть"};
constexpr cp1251::Literal kCloseName{"Закрыть"};
constexpr cp1251::Literal kExecuteName{"Выполнить"};

struct MethodName {
    const char* russian;  // CP1251
    const char* english;
    int arity;
    bool has_result;
};

enum Method { kOpen, kClose, kExecute, kMethodCount };

const MethodName kMethods[kMethodCount] = {
    {kOpenName.c_str(), "Open", 1, true},
    {kCloseName.c_str(), "Close", 0, false},
    {kExecuteName.c_str(), "Execute", 1, true},
};

// Registered with the host when the library loads, unregistered when it unloads.
struct Registration {
    Registration() { CBLContext::RegisterContextClass(&COLEDBData::classCOLEDBData, "OLEDBData", CType(100)); }
    ~Registration() { CBLContext::UnRegisterContextClass(&COLEDBData::classCOLEDBData); }
};
const Registration registration;

}  // namespace

CRuntimeClass COLEDBData::classCOLEDBData = {"COLEDBData", sizeof(COLEDBData), 0xFFFF, &CreateCOLEDBData,
                                             &CBLContext::classCBLContext};

COLEDBData::COLEDBData() : CBLContext(1) {}
COLEDBData::~COLEDBData() = default;
CRuntimeClass* COLEDBData::GetRuntimeClass() const { return &classCOLEDBData; }

bool COLEDBData::Open(const char* connection) {
    static constexpr cp1251::Literal kCannotOpen{"Не удалось открыть базу данных: "};
    std::string error;
    try {
        if (oledb_faults::CallFails(oledb_faults::Call::kOpen)) throw oledb_backend::CursorError(oledb_faults::kFaultText);
        auto opened = oledb_backend::Connection::Open(cp1251::ToUtf8(connection ? connection : ""));
        oledb_backend::LoadMetaNames(*opened);
        connection_ = std::move(opened);  // the previous connection stays until the new one is ready
        return true;
    } catch (const std::exception& e) {
        error = e.what();
    }
    Raise(kCannotOpen.view(), error);
    return false;
}

void COLEDBData::Close() { connection_.reset(); }

bool COLEDBData::IsOpen() const { return connection_ != nullptr; }

bool COLEDBData::Execute(const char* sql) {
    static constexpr cp1251::Literal kNotOpen{"База данных не открыта"};
    static constexpr cp1251::Literal kFailed{"Ошибка базы данных: "};
    if (!connection_) {
        CBLModule::RaiseExtRuntimeError(kNotOpen.c_str(), kErrorFlag);
        return false;
    }
    std::string error;
    try {
        if (oledb_faults::CallFails(oledb_faults::Call::kExecute))
            throw oledb_backend::CursorError(oledb_faults::kFaultText);
        connection_->Execute(cp1251::ToUtf8(sql ? sql : ""));
        oledb_backend::LoadMetaNames(*connection_);  // the statement may have filled the catalogue
        return true;
    } catch (const std::exception& e) {
        error = e.what();
    }
    Raise(kFailed.view(), error);
    return false;
}

COLEDBCommand* COLEDBData::CreateCommand() {
    if (!connection_ || oledb_faults::CreateCommandFails()) return nullptr;
    if (oledb_faults::CallFails(oledb_faults::Call::kCreateCommand)) return nullptr;
    return new COLEDBCommand(connection_);
}

const char* COLEDBData::DisplayTypeName() const { return "OLEDBData"; }

int COLEDBData::MethodCount() { return kMethodCount; }

int COLEDBData::LookupMethod(const char* name) {
    const std::string folded = oledb_backend::FoldCp1251(name ? name : "");
    for (int i = 0; i < kMethodCount; ++i) {
        if (folded == oledb_backend::FoldCp1251(kMethods[i].russian) ||
            folded == oledb_backend::FoldCp1251(kMethods[i].english))
            return i;
    }
    return -1;
}

const char* COLEDBData::MethodNameAt(int index, int language) {
    if (index < 0 || index >= kMethodCount) return nullptr;
    if (language == 0) return kMethods[index].russian;
    if (language == 1) return kMethods[index].english;
    return nullptr;
}

int COLEDBData::MethodArity(int index) { return index >= 0 && index < kMethodCount ? kMethods[index].arity : 0; }

int COLEDBData::MethodHasResult(int index) {
    return index >= 0 && index < kMethodCount && kMethods[index].has_result ? 1 : 0;
}

int COLEDBData::MethodDefaultArg(int, int, CValue*) { return 0; }

int COLEDBData::InvokeAsProcedure(int index, CValue** args) {
    CValue ignored;
    return InvokeAsFunction(index, ignored, args);
}

int COLEDBData::InvokeAsFunction(int index, CValue& result, CValue** args) {
    if (index < 0 || index >= kMethodCount) return 0;
    // The host passes one value per parameter; a missing one reads as the empty text.
    const CString text = kMethods[index].arity > 0 && args && args[0] ? args[0]->GetString() : CString();
    switch (index) {
        case kOpen: result = Open(text) ? 1L : 0L; return 1;
        case kClose: Close(); result.Reset(); return 1;
        case kExecute: result = Execute(text) ? 1L : 0L; return 1;
        default: return 0;
    }
}
