#include "engine/DrawThread.h"

#include "engine/CancelToken.h"
#include "engine/DrawEffect.h"

#include <cerrno>

#if defined(__linux__)
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

bool RaiseThreadPriority()
{
#if defined(__linux__)
    // On Linux the nice value belongs to the thread; two steps up is the
    // counterpart of "highest below time-critical" for an ordinary thread.
    const id_t tid = id_t(syscall(SYS_gettid));
    errno = 0;
    int nice = getpriority(PRIO_PROCESS, tid);
    if (errno != 0)
        return false;
    return setpriority(PRIO_PROCESS, tid, nice - 2) == 0;
#else
    return false;
#endif
}

TDrawThread::TDrawThread(TDrawEffect& effect, TCancelToken& cancel, TFinished finished)
    : effect_(effect)
    , cancel_(cancel)
    , onFinished_(std::move(finished))
{
}

TDrawThread::~TDrawThread()
{
    if (thread_.joinable()) {
        if (!IsFinished())
            cancel_.Request();
        thread_.join();
    }
}

void TDrawThread::Start()
{
    if (started_)
        return;
    started_ = true;
    thread_ = std::thread([this] { Run(); });
}

void TDrawThread::Wait()
{
    if (thread_.joinable())
        thread_.join();
}

void TDrawThread::Run()
{
    RaiseThreadPriority();
    // An exception must not end the program and the user's work with it.
    bool completed = false;
    try {
        completed = effect_.Render(cancel_);
    } catch (...) {
        failure_ = std::current_exception();
    }
    completed_.store(completed, std::memory_order_release);
    finished_.store(true, std::memory_order_release);
    if (onFinished_)
        onFinished_(completed);
}
