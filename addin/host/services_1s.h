#pragma once
// The two service interfaces implemented on the host runtime. They carry no state; use the
// process-wide objects from services.h rather than making your own.

#include "addin/host/system_interface.h"
#include "addin/host/user_interface.h"

namespace Utils1s {

class CSystemInterface final : public Utils::CSystemInterface {
public:
    // A host run-time error with flag 7.
    void RaiseError(const std::string& text) override;
};

class CUserInterface final : public Utils::CUserInterface {
public:
    // Markers: kind 1 gives 5, kind 2 gives 7, any other kind gives 1.
    void ShowMessage(const std::string& text, int kind) override;
    void SetStatusText(const std::string& text) override;
    // Style 0x40 (information icon, OK button), help context 0.
    void ShowMessageBox(const std::string& text) override;
};

}  // namespace Utils1s
