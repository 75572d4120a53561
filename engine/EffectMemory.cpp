#include "engine/EffectMemory.h"

#include "engine/WorkerPool.h"
#include "picture/MemoryBudget.h"

#include <algorithm>

std::uint64_t EffectPeakBytes(std::int64_t width, std::int64_t height)
{
    // About 25 bytes a pixel at the peak beyond the photo.
    constexpr std::uint64_t PeakBytesPerPixel = 30;
    constexpr std::uint64_t FixedBytes = std::uint64_t(32) << 20;
    const std::uint64_t pixels =
        std::uint64_t(std::max<std::int64_t>(width, 0)) * std::uint64_t(std::max<std::int64_t>(height, 0));
    return pixels * PeakBytesPerPixel + FixedBytes;
}

std::uint64_t EffectAddressBytes(std::int64_t width, std::int64_t height, int threads)
{
    // Each thread beside the main one adds its allocator's arena and its
    // stack: the pool's helpers, and the colour scaling's own thread.
    constexpr std::uint64_t BytesPerThread = std::uint64_t(100) << 20;
    const int count = threads > 0 ? threads : TWorkerPool::HardwareThreads();
    const std::uint64_t helpers = count > 1 ? std::uint64_t(count) : 0;
    return EffectPeakBytes(width, height) + helpers * BytesPerThread;
}

bool EffectFitsInMemory(std::int64_t width, std::int64_t height, int threads)
{
    return MemoryFits(EffectAddressBytes(width, height, threads), EffectPeakBytes(width, height));
}
