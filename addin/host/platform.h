#pragma once
// The module's one door to its platform: the host runtime, MFC and the few Windows calls.
// Retargeting to the real host replaces these includes and nothing else in the module.

#include "platform/mfc/afx.h"
#include "platform/mfc/cstring.h"
#include "platform/runtime/context.h"
#include "platform/runtime/module.h"
#include "platform/runtime/value.h"
#include "platform/win/crt.h"
#include "platform/win/windows.h"
