#include "engine/RowsReady.h"

#include <chrono>
#include <climits>

void TRowsReady::Publish(int rows)
{
    std::lock_guard lock(mutex_);
    if (rows <= rows_)
        return;
    rows_ = rows;
    changed_.notify_all();
}

void TRowsReady::Finish()
{
    std::lock_guard lock(mutex_);
    finished_ = true;
    rows_ = INT_MAX;
    changed_.notify_all();
}

bool TRowsReady::Enter(int rows)
{
    std::unique_lock lock(mutex_);
    for (;;) {
        // The token is set from anywhere without a notification here, so the
        // wait looks at it now and then.
        if (CancelRequested(cancel_))
            return false;
        const int cores = finished_ ? threads_ : threads_ - 1;
        if (rows_ >= rows && working_ < cores)
            break;
        changed_.wait_for(lock, std::chrono::milliseconds(5));
    }
    ++working_;
    return true;
}

void TRowsReady::Leave()
{
    std::lock_guard lock(mutex_);
    --working_;
    changed_.notify_all();
}
