#pragma once

#include <atomic>

// The cancel request of one render. Whoever runs the render holds it and may
// set it from any thread (a cancel button; a signal handler, since the store
// is lock-free); every loop of the engine reads it at least once per row and
// stops when it is set. The render sets it too when one of its threads fails,
// so that the others stop. Two renders with two tokens are cancelled apart.
class TCancelToken {
public:
    bool Requested() const { return requested_.load(std::memory_order_relaxed); }
    void Request() { requested_.store(true, std::memory_order_relaxed); }
    void Clear() { requested_.store(false, std::memory_order_relaxed); }

private:
    std::atomic<bool> requested_{false};
};

static_assert(std::atomic<bool>::is_always_lock_free);

// For the kernels, whose callers may give no token: nothing cancels them then.
inline bool CancelRequested(const TCancelToken* cancel) { return cancel && cancel->Requested(); }
