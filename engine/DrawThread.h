#pragma once

#include <atomic>
#include <exception>
#include <functional>
#include <thread>

class TCancelToken;
class TDrawEffect;

// Runs one TDrawEffect::Render on its own thread, so that the thread that
// starts it (the user interface) never waits: it polls IsFinished() and the
// progress state, or receives the completion callback, which is called on the
// worker thread as its last act and must hand over to the user interface by
// itself (a queued call). Cancelling is setting the render's token, which the
// caller holds; a cancelled render leaves the compositor without layers.
class TDrawThread {
public:
    // `completed` is true when the render ran to its end without a cancel.
    using TFinished = std::function<void(bool completed)>;

    // Both the effect and the token must outlive the thread object.
    TDrawThread(TDrawEffect& effect, TCancelToken& cancel, TFinished finished = {});
    // Asks a render that is still running to stop and waits for its thread.
    ~TDrawThread();
    TDrawThread(const TDrawThread&) = delete;
    TDrawThread& operator=(const TDrawThread&) = delete;

    // Starts the worker, at most once. The token is not cleared: a cancel
    // that comes before the worker is under way still counts.
    void Start();

    bool IsFinished() const { return finished_.load(std::memory_order_acquire); }
    // Valid once finished.
    bool Completed() const { return completed_.load(std::memory_order_acquire); }
    // Valid once finished: what ended the render when it failed (above all
    // std::bad_alloc), for the user interface to report; the render then did
    // not complete and left no layers. Null otherwise.
    std::exception_ptr Failure() const { return IsFinished() ? failure_ : nullptr; }
    // Blocks until the worker has finished; for programs without an event
    // loop and for tests.
    void Wait();

private:
    void Run();

    TDrawEffect& effect_;
    TCancelToken& cancel_;
    TFinished onFinished_;
    std::thread thread_;
    bool started_ = false;
    std::atomic<bool> finished_{false};
    std::atomic<bool> completed_{false};
    std::exception_ptr failure_; // written before finished_ is set
};

// Raises the calling thread's scheduling priority a little above normal when
// the system allows it (it usually needs privileges on Linux); failure is
// silent. Returns true when the priority was raised.
bool RaiseThreadPriority();
