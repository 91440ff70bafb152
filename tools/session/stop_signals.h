#pragma once
// Stopping signals (SIGINT, SIGTERM, SIGHUP) for the command-line programs: a signal only records
// itself, and the program leaves through its normal return, so destructors and clean-up run. A
// signal its starter left ignored (nohup, a background job) stays ignored. No SA_RESTART: a wait for
// input ends at once.

#include <csignal>

namespace tools {

// The stopping signal received, 0 while none.
inline volatile std::sig_atomic_t g_stop_signal = 0;

extern "C" inline void RecordStopSignal(int signal_number) { g_stop_signal = signal_number; }

inline void CatchStopSignals() {
    for (const int signal_number : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction current = {};
        if (sigaction(signal_number, nullptr, &current) != 0 || current.sa_handler == SIG_IGN) continue;
        struct sigaction action = {};
        action.sa_handler = RecordStopSignal;
        sigemptyset(&action.sa_mask);
        sigaction(signal_number, &action, nullptr);
    }
}

}  // namespace tools
