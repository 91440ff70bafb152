#include "platform/win/module_loader.h"

#include <dlfcn.h>

#include "platform/win/host_journal.h"

struct HINSTANCE__ {
    void* library;
    ModuleEntryPoint entry;
};

namespace win {
namespace {
ModuleEntryPoint g_loading_entry = nullptr;
std::string g_last_error;
}  // namespace

void SetLoadingModuleEntry(ModuleEntryPoint entry) { g_loading_entry = entry; }

HINSTANCE LoadLibraryA(const char* path) {
    g_last_error.clear();
    g_loading_entry = nullptr;
    host_journal::Record(std::string("LoadLibrary ") + (path ? path : ""));
    void* library = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        const char* reason = dlerror();
        g_last_error = reason ? reason : "cannot load the module";
        return nullptr;
    }
    const ModuleEntryPoint entry = g_loading_entry;
    g_loading_entry = nullptr;
    if (entry == nullptr) {
        dlclose(library);
        g_last_error = std::string("the module names no entry point: ") + path;
        return nullptr;
    }
    auto* module = new HINSTANCE__{library, entry};
    if (!entry(module, DLL_PROCESS_ATTACH, nullptr)) {
        delete module;
        dlclose(library);  // the module's exit list undoes its static initialisation
        host_journal::Record("UnloadLibrary");
        g_last_error = std::string("the module refused to attach: ") + path;
        return nullptr;
    }
    return module;
}

BOOL FreeLibrary(HINSTANCE module) {
    if (module == nullptr) return FALSE;
    module->entry(module, DLL_PROCESS_DETACH, nullptr);
    dlclose(module->library);
    host_journal::Record("UnloadLibrary");
    delete module;
    return TRUE;
}

const std::string& LastLoadError() { return g_last_error; }

}  // namespace win
