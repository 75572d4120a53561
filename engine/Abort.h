#pragma once

#include <atomic>

// The one process-wide cancel request of the effect engine. A computation
// clears it when it starts; a cancel button sets it from another thread; every
// loop of the engine reads it at least once per row and stops when it is set.
extern std::atomic<bool> AbortFlag;

inline bool AbortRequested() { return AbortFlag.load(std::memory_order_relaxed); }
inline void RequestAbort() { AbortFlag.store(true, std::memory_order_relaxed); }
inline void ClearAbort() { AbortFlag.store(false, std::memory_order_relaxed); }
