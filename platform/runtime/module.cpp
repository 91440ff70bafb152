#include "platform/runtime/module.h"

namespace {
bool g_raise_throws = false;
std::vector<RuntimeErrorRecord>& RaisedErrors() {
    static std::vector<RuntimeErrorRecord> raised;
    return raised;
}
}  // namespace

void CBLModule::RaiseExtRuntimeError(const char* text, int flag) {
    RaisedErrors().push_back({text ? text : "", flag});
    if (g_raise_throws) throw HostRuntimeError(text ? text : "", flag);
}

namespace host_errors {
void SetRaiseThrows(bool throws) { g_raise_throws = throws; }
const std::vector<RuntimeErrorRecord>& Raised() { return RaisedErrors(); }
void Clear() { RaisedErrors().clear(); }
}  // namespace host_errors

void CBkEndUI::DoMessageLine(const char* text, int marker) {
    lines_.push_back({text ? text : "", marker});
    if (echo_) echo_(lines_.back());
}

void CBkEndUI::DoStatusLine(const char* text) {
    status_ = text ? text : "";
    status_history_.push_back(status_);
}

void CBkEndUI::Clear() {
    lines_.clear();
    status_.clear();
    status_history_.clear();
}

CBkEndUI* GetBkEndUI() {
    static CBkEndUI ui;
    return &ui;
}
