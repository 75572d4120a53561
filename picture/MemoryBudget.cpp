#include "picture/MemoryBudget.h"

#include <algorithm>
#include <fstream>
#include <string>

#include <sys/resource.h>
#include <unistd.h>

namespace {

// The address space the process already takes (VmSize).
std::optional<std::uint64_t> AddressSpaceInUse()
{
    std::ifstream statm("/proc/self/statm");
    std::uint64_t pages = 0;
    if (!(statm >> pages))
        return std::nullopt;
    return pages * std::uint64_t(::sysconf(_SC_PAGESIZE));
}

std::optional<std::uint64_t> AvailableMemory()
{
    std::ifstream meminfo("/proc/meminfo");
    std::string key, unit;
    std::uint64_t kib = 0;
    while (meminfo >> key >> kib) {
        std::getline(meminfo, unit);
        if (key == "MemAvailable:")
            return kib * 1024;
    }
    return std::nullopt;
}

} // namespace

bool MemoryFits(std::uint64_t addressSpace, std::uint64_t resident)
{
    rlimit limit{};
    if (::getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY) {
        const std::uint64_t used = AddressSpaceInUse().value_or(0);
        if (used > limit.rlim_cur || limit.rlim_cur - used < addressSpace)
            return false;
    }
    const std::optional<std::uint64_t> available = AvailableMemory();
    return !available || *available >= resident;
}

std::string NotEnoughMemoryText(std::int64_t width, std::int64_t height)
{
    return "not enough memory for a " + std::to_string(width) + " x " + std::to_string(height) + " picture";
}
