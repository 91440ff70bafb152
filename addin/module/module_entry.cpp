#include "addin/module/module_entry.h"

namespace Rowlark {

AFX_EXTENSION_MODULE& ExtensionModule() {
    static AFX_EXTENSION_MODULE module;
    return module;
}

BOOL ModuleEntry(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        if (!AfxInitExtensionModule(ExtensionModule(), instance)) return FALSE;
        new CDynLinkLibrary(ExtensionModule(), FALSE);  // MFC keeps and frees it
        return TRUE;
    }
    if (reason == DLL_PROCESS_DETACH) AfxTermExtensionModule(ExtensionModule(), FALSE);
    return TRUE;
}

}  // namespace Rowlark
