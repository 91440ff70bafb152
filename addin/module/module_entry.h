#pragma once
// The module's entry point, as the system calls it: attach joins the host's MFC as an extension
// module, detach leaves it; any other reason is accepted as is.

#include "addin/host/platform.h"

namespace Rowlark {

AFX_EXTENSION_MODULE& ExtensionModule();
BOOL ModuleEntry(HINSTANCE instance, DWORD reason, LPVOID reserved);

}  // namespace Rowlark
