#include "Interrupt.h"

#include "Abort.h"

#include <csignal>

namespace {

volatile std::sig_atomic_t Received = 0;

extern "C" void OnInterrupt(int signal)
{
    if (Received != 0) {
        std::signal(signal, SIG_DFL);
        std::raise(signal);
        return;
    }
    Received = signal;
    // A lock-free atomic store: safe in a signal handler.
    RequestAbort();
}

static_assert(std::atomic<bool>::is_always_lock_free);

} // namespace

void InstallInterruptHandler()
{
    struct sigaction action = {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    // Restart interrupted reads and writes: the files must come out whole.
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

int InterruptSignal() { return Received; }
