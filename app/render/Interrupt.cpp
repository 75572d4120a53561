#include "app/render/Interrupt.h"

#include "engine/CancelToken.h"

#include <atomic>
#include <csignal>

#include <signal.h>
#include <unistd.h>

namespace {

volatile std::sig_atomic_t Received = 0;
std::atomic<int> Phase{int(TRunPhase::Reading)};
// The handler can be given nothing but what a signal carries: the run's
// render is found here while the handler is installed.
std::atomic<TCancelToken*> Render{nullptr};
static_assert(std::atomic<int>::is_always_lock_free);
static_assert(std::atomic<TCancelToken*>::is_always_lock_free);

constexpr char StoppedText[] = "lumenquilla-render: interrupted\n";

extern "C" void OnInterrupt(int signal)
{
    if (Received != 0) {
        std::signal(signal, SIG_DFL);
        std::raise(signal);
        return;
    }
    Received = signal;
    if (Phase.load() == int(TRunPhase::Reading)) {
        // Nothing written yet, and a read may never return: write() and
        // _exit() are safe here.
        [[maybe_unused]] const ssize_t n = ::write(STDERR_FILENO, StoppedText, sizeof StoppedText - 1);
        ::_exit(128 + signal);
    }
    // Lock-free atomics only: safe in a signal handler.
    if (TCancelToken* render = Render.load())
        render->Request();
}

sigset_t InterruptSignals()
{
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    return set;
}

} // namespace

TInterruptHandler::TInterruptHandler(TCancelToken& render)
{
    Render.store(&render);
    struct sigaction action = {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    // Restart interrupted reads and writes: the files must come out whole.
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

TInterruptHandler::~TInterruptHandler()
{
    struct sigaction action = {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    Render.store(nullptr);
}

void SetRunPhase(TRunPhase phase) { Phase.store(int(phase)); }

TInterruptsHeld::TInterruptsHeld()
{
    const sigset_t set = InterruptSignals();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

TInterruptsHeld::~TInterruptsHeld()
{
    if (untilExit_)
        return;
    const sigset_t set = InterruptSignals();
    pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
}

int InterruptSignal() { return Received; }
