#pragma once
// Stopping signals (SIGINT, SIGTERM, SIGHUP) for the command-line programs: a signal only records
// itself, and the program leaves through its normal return, so destructors and clean-up run. A
// signal its starter left ignored (nohup, a background job) stays ignored. No SA_RESTART: a wait for
// input ends at once. A wait for input goes through WaitForInput, which never sleeps through a stop
// recorded just before it.

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <functional>

namespace tools {

// The stopping signal received, 0 while none.
inline volatile std::sig_atomic_t g_stop_signal = 0;

// A test hook, from the environment variable ROWLARK_TEST_SIGNAL_AFTER_CHECK (INT, TERM or HUP) read by
// CatchStopSignals: the first WaitForInput sends the program that signal right after its check for a
// stop, where a signal arriving by chance would meet a wait that could miss it. 0 when unset.
inline int g_test_signal_after_check = 0;

// What a program does at once on a stopping signal besides recording it, or null: it must be
// async-signal-safe (the import ends its server session: oledb_backend::EndArmedSession).
inline void (*g_stop_action)() = nullptr;

extern "C" inline void RecordStopSignal(int signal_number) {
    g_stop_signal = signal_number;
    if (g_stop_action != nullptr) g_stop_action();
}

inline void CatchStopSignals() {
    for (const int signal_number : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction current = {};
        if (sigaction(signal_number, nullptr, &current) != 0 || current.sa_handler == SIG_IGN) continue;
        struct sigaction action = {};
        action.sa_handler = RecordStopSignal;
        sigemptyset(&action.sa_mask);
        sigaction(signal_number, &action, nullptr);
    }
    if (const char* hook = std::getenv("ROWLARK_TEST_SIGNAL_AFTER_CHECK")) {
        g_test_signal_after_check = std::strcmp(hook, "INT") == 0    ? SIGINT
                                    : std::strcmp(hook, "TERM") == 0 ? SIGTERM
                                    : std::strcmp(hook, "HUP") == 0  ? SIGHUP
                                                                     : 0;
    }
}

// What ended a WaitForInput.
enum class WaitEnd {
    kInput,   // the descriptor has something to read (or its end, or an error to report)
    kStop,    // a stopping signal is recorded (g_stop_signal)
    kSignal,  // another signal arrived (a terminal resize, say): look, then wait again
};

// Waits until fd can be read. Every signal is held back from before the check for a stop until the
// wait itself begins, and let through only inside it, so a stop can be recorded before the check
// (seen there) or during the wait (which it ends), never in between. in_hand, when given, is asked
// after the check, signals still held: true when input already read ahead (a terminal library's
// buffer) makes the wait needless.
WaitEnd WaitForInput(int fd, const std::function<bool()>& in_hand = {});

}  // namespace tools
