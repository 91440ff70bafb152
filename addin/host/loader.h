#pragma once
// The loader's hook, as the module file reaches it: the module's static initialisation names its
// entry point to the loader that is loading it (win::SetLoadingModuleEntry). Only the module file's
// own start-up includes this; retargeting to the real host replaces it with an exported entry point.

#include "platform/win/module_loader.h"
