#include "platform/mfc/afx.h"

#include <algorithm>

#include "platform/win/host_journal.h"

CRuntimeClass CObject::classCObject = {"CObject", sizeof(CObject), 0xFFFF, nullptr, nullptr};

CRuntimeClass* CObject::GetRuntimeClass() const { return &classCObject; }

bool CRuntimeClass::IsDerivedFrom(const CRuntimeClass* base) const {
    for (const CRuntimeClass* c = this; c != nullptr; c = c->m_pBaseClass)
        if (c == base) return true;
    return false;
}

std::vector<MessageBoxRecord>& AfxMessageBoxLog() {
    static std::vector<MessageBoxRecord> log;
    return log;
}

int AfxMessageBox(const char* text, UINT type, UINT help_context) {
    AfxMessageBoxLog().push_back({text ? text : "", type, help_context});
    return 1;  // IDOK
}

namespace {
bool g_init_fails = false;

std::vector<CDynLinkLibrary*>& Registered() {
    static std::vector<CDynLinkLibrary*> registered;
    return registered;
}
}  // namespace

BOOL AfxInitExtensionModule(AFX_EXTENSION_MODULE& state, HINSTANCE instance) {
    host_journal::Record("AfxInitExtensionModule");
    if (g_init_fails) return FALSE;
    state.bInitialized = TRUE;
    state.hModule = instance;
    return TRUE;
}

void AfxTermExtensionModule(AFX_EXTENSION_MODULE& state, BOOL all) {
    host_journal::Record(all ? "AfxTermExtensionModule(true)" : "AfxTermExtensionModule(false)");
    // MFC deletes the CDynLinkLibrary objects made for this module.
    auto& registered = Registered();
    std::vector<CDynLinkLibrary*> mine;
    for (CDynLinkLibrary* library : registered)
        if (&library->state() == &state) mine.push_back(library);
    for (CDynLinkLibrary* library : mine) delete library;
    state.bInitialized = FALSE;
}

CDynLinkLibrary::CDynLinkLibrary(AFX_EXTENSION_MODULE& state, BOOL system) : state_(state) {
    host_journal::Record(system ? "CDynLinkLibrary(true)" : "CDynLinkLibrary(false)");
    Registered().push_back(this);
}

CDynLinkLibrary::~CDynLinkLibrary() {
    auto& registered = Registered();
    registered.erase(std::remove(registered.begin(), registered.end(), this), registered.end());
}

namespace mfc_test {
void SetInitExtensionModuleFails(bool fails) { g_init_fails = fails; }
int LiveDynLinkLibraries() { return static_cast<int>(Registered().size()); }
}  // namespace mfc_test
