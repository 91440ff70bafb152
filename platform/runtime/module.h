#pragma once
// The host's script-module services the add-in uses: run-time errors, and the user-interface
// object (message window lines and the status text). Both are observable by tests.

#include <stdexcept>
#include <string>
#include <vector>

class CBLModule {
public:
    // Raises a run-time error in the running script. By default it records the error and returns;
    // with SetRaiseThrows(true) it leaves by throwing HostRuntimeError, as the host's own mechanism.
    static void RaiseExtRuntimeError(const char* text, int flag);
};

struct HostRuntimeError : std::runtime_error {
    HostRuntimeError(const std::string& text, int flag) : std::runtime_error(text), flag(flag) {}
    int flag;
};

struct RuntimeErrorRecord {
    std::string text;  // CP1251
    int flag;
};

namespace host_errors {
void SetRaiseThrows(bool throws);
const std::vector<RuntimeErrorRecord>& Raised();
void Clear();
}  // namespace host_errors

struct MessageLine {
    std::string text;  // CP1251
    int marker;
};

// The host's user-interface object.
class CBkEndUI {
public:
    virtual ~CBkEndUI() = default;
    // Writes a line to the message window with a marker picture.
    virtual void DoMessageLine(const char* text, int marker);
    // Sets the status text; the empty text clears it.
    virtual void DoStatusLine(const char* text);

    const std::vector<MessageLine>& Lines() const { return lines_; }
    const std::string& StatusText() const { return status_; }
    // Every status text set, in order (tests read the sequence a search shows).
    const std::vector<std::string>& StatusHistory() const { return status_history_; }
    void Clear();
    // Called for every message line as well, e.g. to echo it on a terminal.
    void SetEcho(void (*echo)(const MessageLine&)) { echo_ = echo; }

private:
    std::vector<MessageLine> lines_;
    std::string status_;
    std::vector<std::string> status_history_;
    void (*echo_)(const MessageLine&) = nullptr;
};

CBkEndUI* GetBkEndUI();
