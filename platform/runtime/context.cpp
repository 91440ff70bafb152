#include "platform/runtime/context.h"

#include <algorithm>
#include <string>
#include <vector>

#include "platform/win/crt.h"
#include "platform/win/host_journal.h"

CRuntimeClass CBLContext::classCBLContext = {"CBLContext", sizeof(CBLContext), 0xFFFF, nullptr,
                                             &CObject::classCObject};

CBLContext::CBLContext(int destroy_unreferenced) : destroy_unreferenced_(destroy_unreferenced) {}
CBLContext::~CBLContext() = default;
CRuntimeClass* CBLContext::GetRuntimeClass() const { return &classCBLContext; }

void CBLContext::IncrRef() { ++ref_count_; }
void CBLContext::DecrRef() {
    if (--ref_count_ == 0 && GetDestroyUnRefd()) delete this;
}
int CBLContext::GetDestroyUnRefd() const { return destroy_unreferenced_; }
int CBLContext::IsOleContext() const { return 0; }
long CBLContext::GetValueType() const { return 100; }
long CBLContext::GetTypeID() const { return 0; }
long CBLContext::GetID() const { return 0; }
const char* CBLContext::GetCode() const { return ""; }
int CBLContext::IsExactValue() const { return 0; }
void CBLContext::InitObject(const CType&) {}
void CBLContext::InitObject(const char*) {}
int CBLContext::SelectByID(long, long) { return 0; }

const char* CBLContext::DisplayTypeName() const { return ""; }
int CBLContext::PropertyCount() { return 0; }
int CBLContext::LookupProperty(const char*) { return -1; }
const char* CBLContext::PropertyNameAt(int, int) { return nullptr; }
int CBLContext::ReadProperty(int, CValue&) { return 0; }
int CBLContext::WriteProperty(int, const CValue&) { return 0; }
int CBLContext::CanReadProperty(int) { return 0; }
int CBLContext::CanWriteProperty(int) { return 0; }
int CBLContext::MethodCount() { return 0; }
int CBLContext::LookupMethod(const char*) { return -1; }
const char* CBLContext::MethodNameAt(int, int) { return nullptr; }
int CBLContext::MethodArity(int) { return 0; }
int CBLContext::MethodDefaultArg(int, int, CValue*) { return 0; }
int CBLContext::MethodHasResult(int) { return 0; }
int CBLContext::InvokeAsProcedure(int, CValue**) { return 0; }
int CBLContext::InvokeAsFunction(int, CValue&, CValue**) { return 0; }

int CBLContext::IsSerializable() { return 0; }
int CBLContext::SaveToString(CString&) { return 0; }
void* CBLContext::GetInternalData() { return nullptr; }
int CBLContext::GetExactValue(CValue&) { return 0; }

namespace {

struct Registration {
    std::string folded_name;
    std::string name;
    CRuntimeClass* record;
    int type_code;
};

std::vector<Registration>& Registry() {
    static std::vector<Registration> registry;
    return registry;
}

// The host accepts a class name in any letter case of the Russian code page.
std::string FoldForRegistry(const char* name) {
    std::string folded(name ? name : "");
    const crt::Locale saved = crt::GetLocale();
    crt::SetLocale(crt::Locale::Russian1251);
    for (char& c : folded) c = static_cast<char>(crt::ToLower(static_cast<unsigned char>(c)));
    crt::SetLocale(saved);
    return folded;
}

const Registration* Find(const char* name) {
    const std::string folded = FoldForRegistry(name);
    for (const Registration& r : Registry())
        if (r.folded_name == folded) return &r;
    return nullptr;
}

}  // namespace

void CBLContext::RegisterContextClass(CRuntimeClass* record, const char* name, const CType& type) {
    host_journal::Record(std::string("RegisterContextClass ") + (name ? name : "") + " " +
                         std::to_string(type.GetTypeCode()));
    auto& registry = Registry();
    const std::string folded = FoldForRegistry(name);
    registry.erase(std::remove_if(registry.begin(), registry.end(),
                                  [&](const Registration& r) { return r.folded_name == folded; }),
                   registry.end());
    registry.push_back({folded, name ? name : "", record, type.GetTypeCode()});
}

void CBLContext::UnRegisterContextClass(CRuntimeClass* record) {
    host_journal::Record(std::string("UnRegisterContextClass ") +
                         (record && record->m_lpszClassName ? record->m_lpszClassName : ""));
    auto& registry = Registry();
    const auto it = std::find_if(registry.begin(), registry.end(),
                                 [&](const Registration& r) { return r.record == record; });
    if (it != registry.end()) registry.erase(it);
}

bool CBLContext::CreateByName(const char* name, CValue& value) {
    const Registration* registration = Find(name);
    if (!registration) return false;
    CObject* object = registration->record->CreateObject();
    auto* context = dynamic_cast<CBLContext*>(object);
    if (!context) {
        delete object;
        return false;
    }
    value.AssignContext(context);
    context->DecrRef();  // the value now holds the only reference
    return true;
}

bool CBLContext::IsRegistered(const char* name) { return Find(name) != nullptr; }
int CBLContext::RegistrationCount() { return static_cast<int>(Registry().size()); }
