#pragma once
// MFC's object model and extension-library calls as the host and the module use them.

#include <string>
#include <vector>

#include "platform/mfc/cstring.h"
#include "platform/win/windows.h"

class CObject;
class CArchive;
class CDumpContext;

// The record through which the host creates objects of a class by name.
struct CRuntimeClass {
    const char* m_lpszClassName;
    int m_nObjectSize;
    UINT m_wSchema;  // 0xFFFF: not serialisable
    CObject* (*m_pfnCreateObject)();
    CRuntimeClass* m_pBaseClass;

    // A new object of the class, or null when the class cannot be created.
    CObject* CreateObject() const { return m_pfnCreateObject ? m_pfnCreateObject() : nullptr; }
    bool IsDerivedFrom(const CRuntimeClass* base) const;
};

// Root of MFC's classes; five virtual operations in this order.
class CObject {
public:
    virtual CRuntimeClass* GetRuntimeClass() const;
    virtual ~CObject() = default;
    virtual void Serialize(CArchive&) {}
    virtual void AssertValid() const {}
    virtual void Dump(CDumpContext&) const {}

    static CRuntimeClass classCObject;
};

// Shows a modal box; here it records the text, style and help context for the caller to read.
int AfxMessageBox(const char* text, UINT type = 0, UINT help_context = 0);
struct MessageBoxRecord {
    std::string text;
    UINT type;
    UINT help_context;
};
std::vector<MessageBoxRecord>& AfxMessageBoxLog();

// Extension-library start and end.
struct AFX_EXTENSION_MODULE {
    BOOL bInitialized = FALSE;
    HINSTANCE hModule = nullptr;
};
BOOL AfxInitExtensionModule(AFX_EXTENSION_MODULE& state, HINSTANCE instance);
void AfxTermExtensionModule(AFX_EXTENSION_MODULE& state, BOOL all = FALSE);

// MFC keeps every CDynLinkLibrary in its own list and frees them at AfxTermExtensionModule.
class CDynLinkLibrary {
public:
    CDynLinkLibrary(AFX_EXTENSION_MODULE& state, BOOL system = FALSE);
    ~CDynLinkLibrary();
    AFX_EXTENSION_MODULE& state() const { return state_; }

private:
    AFX_EXTENSION_MODULE& state_;
};

namespace mfc_test {
// Makes the next AfxInitExtensionModule calls fail (for tests of a failing attach).
void SetInitExtensionModuleFails(bool fails);
// Number of CDynLinkLibrary objects MFC holds now.
int LiveDynLinkLibraries();
}  // namespace mfc_test
