#include "addin/host/services_1s.h"

#include "addin/host/platform.h"

namespace Utils1s {
namespace {

constexpr int kErrorFlag = 7;
constexpr UINT kInformationOk = 0x40;

int MarkerFor(int kind) {
    switch (kind) {
        case 1: return 5;
        case 2: return 7;
        default: return 1;
    }
}

}  // namespace

void CSystemInterface::RaiseError(const std::string& text) {
    CBLModule::RaiseExtRuntimeError(text.c_str(), kErrorFlag);
}

void CUserInterface::ShowMessage(const std::string& text, int kind) {
    GetBkEndUI()->DoMessageLine(text.c_str(), MarkerFor(kind));
}

void CUserInterface::SetStatusText(const std::string& text) { GetBkEndUI()->DoStatusLine(text.c_str()); }

void CUserInterface::ShowMessageBox(const std::string& text) { AfxMessageBox(text.c_str(), kInformationOk, 0); }

}  // namespace Utils1s
