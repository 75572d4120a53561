#include "engine/Progress.h"

#include <algorithm>

TProgressState::TSnapshot TProgressState::Read() const
{
    TSnapshot s;
    s.StepName = name_.load(std::memory_order_relaxed);
    s.StepPercent = percent_.load(std::memory_order_relaxed);
    s.TotalPosition = position_.load(std::memory_order_relaxed);
    s.TotalMaximum = maximum_.load(std::memory_order_relaxed);
    return s;
}

void TProgressState::Reset()
{
    name_.store(nullptr, std::memory_order_relaxed);
    percent_.store(0, std::memory_order_relaxed);
    position_.store(0, std::memory_order_relaxed);
    maximum_.store(100, std::memory_order_relaxed);
}

void TProgressState::SetMaximum(int steps)
{
    maximum_.store(steps, std::memory_order_relaxed);
    // A bar never shows more than its maximum.
    int position = position_.load(std::memory_order_relaxed);
    if (position > steps)
        position_.store(std::max(steps, 0), std::memory_order_relaxed);
}

void TProgressState::StepIt()
{
    // Only the computing thread writes, so load and store need no exchange.
    int position = position_.load(std::memory_order_relaxed);
    if (position < maximum_.load(std::memory_order_relaxed))
        position_.store(position + 1, std::memory_order_relaxed);
}
