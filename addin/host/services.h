#pragma once
// The process-wide service objects, made on first use (not guarded: the host calls from one thread).
// The system interface lives until the module unloads; the user interface is never destroyed, so
// its pointer stays valid even in code that runs during unload.

#include "addin/host/system_interface.h"
#include "addin/host/user_interface.h"

Utils::CSystemInterface* GetSystemInterface();
Utils::CUserInterface* GetUserInterface();
