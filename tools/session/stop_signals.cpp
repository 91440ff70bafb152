#include "tools/session/stop_signals.h"

#include <poll.h>
#include <pthread.h>

#include <cerrno>

namespace tools {

namespace {

// Holds back every signal that can be held for as long as it lives; the mask before it is kept for
// the wait, which lets them through.
class HeldSignals {
public:
    HeldSignals() {
        sigset_t all;
        sigfillset(&all);
        pthread_sigmask(SIG_BLOCK, &all, &before_);
    }
    ~HeldSignals() { pthread_sigmask(SIG_SETMASK, &before_, nullptr); }
    HeldSignals(const HeldSignals&) = delete;
    HeldSignals& operator=(const HeldSignals&) = delete;

    const sigset_t* before() const { return &before_; }

private:
    sigset_t before_;
};

}  // namespace

WaitEnd WaitForInput(int fd, const std::function<bool()>& in_hand) {
    const HeldSignals held;
    if (g_stop_signal != 0) return WaitEnd::kStop;
    if (in_hand && in_hand()) return WaitEnd::kInput;
    if (g_test_signal_after_check != 0) {
        std::raise(g_test_signal_after_check);  // held back until the wait, as a signal arriving now would be
        g_test_signal_after_check = 0;
    }
    pollfd wanted{fd, POLLIN, 0};
    const int ready = ppoll(&wanted, 1, nullptr, held.before());
    if (g_stop_signal != 0) return WaitEnd::kStop;
    // Any other failure is the descriptor's: the read that follows reports it.
    return ready < 0 && errno == EINTR ? WaitEnd::kSignal : WaitEnd::kInput;
}

}  // namespace tools
