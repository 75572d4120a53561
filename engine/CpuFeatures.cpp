#include "engine/CpuFeatures.h"

#include <atomic>

namespace {

std::atomic<bool> allowed{true};

bool ProcessorHasWideVectors()
{
#if defined(__x86_64__) && defined(__GNUC__)
    static const bool has = __builtin_cpu_supports("avx2");
    return has;
#else
    return false;
#endif
}

} // namespace

bool WideVectors() { return ProcessorHasWideVectors() && allowed.load(std::memory_order_relaxed); }

void AllowWideVectors(bool allow) { allowed.store(allow, std::memory_order_relaxed); }
