// Built only into the module file: the module's static objects and the hook by which the loader finds
// its entry point. Everything here is hidden; the module exports nothing.
#include "addin/host/loader.h"
#include "addin/module/module_classes.h"
#include "addin/module/module_entry.h"

namespace {

// Built first at load, destroyed last at unload: the classes and their host registration.
Rowlark::ModuleClasses g_classes;

BOOL Entry(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH && g_classes.Failed()) return FALSE;
    return Rowlark::ModuleEntry(instance, reason, reserved);
}

const bool g_entry_named = (win::SetLoadingModuleEntry(&Entry), true);

}  // namespace
