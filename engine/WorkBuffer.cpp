#include "engine/WorkBuffer.h"

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace {

constexpr std::size_t HugePage = std::size_t(2) << 20;
constexpr std::size_t LargeBuffer = 4 * HugePage;

} // namespace

void* AllocateWorkMemory(std::size_t bytes)
{
    if (bytes < LargeBuffer) {
        void* p = std::malloc(bytes > 0 ? bytes : 1);
        if (!p)
            throw std::bad_alloc();
        return p;
    }
    const std::size_t rounded = (bytes + HugePage - 1) / HugePage * HugePage;
    void* p = std::aligned_alloc(HugePage, rounded);
    if (!p)
        throw std::bad_alloc();
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    madvise(p, rounded, MADV_HUGEPAGE); // only advice: without it the pages are small
#endif
    return p;
}

void FreeWorkMemory(void* memory) { std::free(memory); }
