#include "picture/MemoryBudget.h"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>

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

// The value of `key` in a file of "key value" lines (meminfo, memory.stat).
std::optional<std::uint64_t> KeyedValue(const std::string& path, const std::string& key)
{
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string name;
        std::uint64_t value = 0;
        if (fields >> name >> value && name == key)
            return value;
    }
    return std::nullopt;
}

// A file that holds one number; "max" (cgroup v2) and nothing are no limit.
std::optional<std::uint64_t> NumberFile(const std::string& path)
{
    std::ifstream in(path);
    std::uint64_t value = 0;
    if (!(in >> value))
        return std::nullopt;
    return value;
}

// What the process's control group still allows: its limit less what its
// members hold beyond the page cache.
std::optional<std::uint64_t> GroupRoom(const std::string& root)
{
    std::ifstream groups(root + "/proc/self/cgroup");
    std::string line;
    while (std::getline(groups, line)) {
        // "0::/path" for cgroup v2, "4:memory:/path" for v1's memory controller.
        const std::size_t first = line.find(':');
        const std::size_t second = line.find(':', first + 1);
        if (first == std::string::npos || second == std::string::npos)
            continue;
        const std::string controllers = line.substr(first + 1, second - first - 1);
        const std::string path = line.substr(second + 1);
        std::string dir, limitFile, usageFile, cacheKey;
        if (controllers.empty()) {
            dir = root + "/sys/fs/cgroup" + path;
            limitFile = "memory.max";
            usageFile = "memory.current";
            cacheKey = "file";
        } else if (controllers == "memory") {
            dir = root + "/sys/fs/cgroup/memory" + path;
            limitFile = "memory.limit_in_bytes";
            usageFile = "memory.usage_in_bytes";
            cacheKey = "cache";
        } else {
            continue;
        }
        const std::optional<std::uint64_t> limit = NumberFile(dir + "/" + limitFile);
        const std::optional<std::uint64_t> usage = NumberFile(dir + "/" + usageFile);
        // cgroup v1 writes "no limit" as a page-rounded 2^63.
        if (!limit || !usage || *limit >= (std::uint64_t(1) << 62))
            continue;
        const std::uint64_t cache = KeyedValue(dir + "/memory.stat", cacheKey).value_or(0);
        const std::uint64_t held = *usage - std::min(cache, *usage);
        return *limit - std::min(held, *limit);
    }
    return std::nullopt;
}

thread_local TPictureMemoryGate* CurrentGate = nullptr;

} // namespace

std::optional<std::uint64_t> ResidentRoom(const std::string& root)
{
    std::optional<std::uint64_t> room;
    if (const std::optional<std::uint64_t> kib = KeyedValue(root + "/proc/meminfo", "MemAvailable:"))
        room = *kib * 1024;
    if (const std::optional<std::uint64_t> group = GroupRoom(root))
        room = room ? std::min(*room, *group) : *group;
    return room;
}

std::optional<std::uint64_t> ResidentInUse()
{
    std::ifstream statm("/proc/self/statm");
    std::uint64_t size = 0, resident = 0;
    if (!(statm >> size >> resident))
        return std::nullopt;
    return resident * std::uint64_t(::sysconf(_SC_PAGESIZE));
}

std::optional<std::uint64_t> AddressSpaceRoom()
{
    rlimit limit{};
    if (::getrlimit(RLIMIT_AS, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
        return std::nullopt;
    const std::uint64_t used = AddressSpaceInUse().value_or(0);
    return used > limit.rlim_cur ? 0 : limit.rlim_cur - used;
}

bool MemoryFits(std::uint64_t addressSpace, std::uint64_t resident)
{
    const std::optional<std::uint64_t> space = AddressSpaceRoom();
    if (space && *space < addressSpace)
        return false;
    const std::optional<std::uint64_t> room = ResidentRoom();
    return !room || *room >= resident;
}

std::string NotEnoughMemoryText(std::int64_t width, std::int64_t height)
{
    return "not enough memory for a " + std::to_string(width) + " x " + std::to_string(height) + " picture";
}

TPictureMemoryGate::TPictureMemoryGate(TAdmit admit)
    : admit_(std::move(admit))
    , outer_(CurrentGate)
{
    CurrentGate = this;
}

TPictureMemoryGate::~TPictureMemoryGate() { CurrentGate = outer_; }

bool PictureMemoryFits(std::int64_t width, std::int64_t height, std::uint64_t bytes)
{
    if (CurrentGate != nullptr)
        return CurrentGate->admit_(width, height);
    return MemoryFits(bytes, bytes);
}
