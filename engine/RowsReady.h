#pragma once

#include "engine/CancelToken.h"

#include <condition_variable>
#include <mutex>

// How far one step has written its output, for a step that reads it on other
// threads at the same time: the writer publishes how many rows from the top
// are final, and a reader waits for the rows it needs before it starts a
// piece of work.
//
// While the writer runs it keeps one core to itself: at most `threads - 1`
// readers work at a time until it finishes (the writer is the longer of the
// two, and a reader on its core would only make it end later).
class TRowsReady {
public:
    // The readers stop waiting when `cancel` (of the render both sides belong
    // to) is set.
    TRowsReady(int threads, const TCancelToken* cancel)
        : threads_(threads)
        , cancel_(cancel)
    {
    }
    virtual ~TRowsReady() = default;

    // The writer: rows [0, rows) are final (never fewer than before). Called
    // on the writer's thread, so a test may look at the rows right then.
    virtual void Publish(int rows);
    // The writer has ended: every row is final, or it was cancelled and the
    // readers are to stop too.
    void Finish();

    // A reader that needs rows [0, rows): waits for them and for a free
    // core. Returns false when the render was cancelled meanwhile; otherwise the
    // piece of work ends with Leave().
    bool Enter(int rows);
    void Leave();

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    const int threads_;
    const TCancelToken* const cancel_;
    int rows_ = 0;
    bool finished_ = false;
    int working_ = 0;
};
