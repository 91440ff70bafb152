#pragma once
// Loads and unloads a module file as the system does: load runs the module's static initialisation,
// then its entry point with attach; unload runs the entry point with detach, then the module's exit
// list (its static destructors). A module exports nothing: its static initialisation names its
// entry point to the loader that is loading it.

#include <string>

#include "platform/win/windows.h"

using ModuleEntryPoint = BOOL (*)(HINSTANCE instance, DWORD reason, LPVOID reserved);

namespace win {

// Called from a module's static initialisation while the loader loads it.
void SetLoadingModuleEntry(ModuleEntryPoint entry);

// The loaded module, or null when it cannot be loaded or its attach fails (LastLoadError says why).
HINSTANCE LoadLibraryA(const char* path);
// Detach, then unload. FALSE for a handle that is not loaded.
BOOL FreeLibrary(HINSTANCE module);
const std::string& LastLoadError();

}  // namespace win
