#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

// Whether the process can still take this much more memory, to refuse a
// computation that cannot fit before it starts rather than fail half way:
// `addressSpace` bytes of address space under its limit (RLIMIT_AS, as
// `ulimit -v` sets it; the allocator of each thread reserves far more than it
// uses) and `resident` bytes of ResidentRoom. What cannot be found out counts
// as room.
bool MemoryFits(std::uint64_t addressSpace, std::uint64_t resident);

// The memory the process can still fill: the system's available memory
// (MemAvailable), and no more than its control group still allows, which is
// how batch systems such as Slurm hold a job to the memory it asked for
// (cgroup v2 or v1; the group's page cache counts as room, since the kernel
// gives it back). Nothing when neither can be read. `root` stands for "/"
// in the paths, for tests.
std::optional<std::uint64_t> ResidentRoom(const std::string& root = "");
// The address space left under RLIMIT_AS; nothing without a limit.
std::optional<std::uint64_t> AddressSpaceRoom();

// The resident memory the process takes now (VmRSS); nothing when unknown.
std::optional<std::uint64_t> ResidentInUse();

// The program's one message for a picture that does not fit in memory.
std::string NotEnoughMemoryText(std::int64_t width, std::int64_t height);

// A batch that decodes several photos at once shares one memory budget among
// them instead of asking the system for each: it puts a gate on each of its
// threads, which every picture reader asks, with the picture's size, before it
// allocates the picture. The gate may wait until there is room; false refuses
// the picture. The gate holds for the life of the object, on the thread that
// made it.
class TPictureMemoryGate {
public:
    using TAdmit = std::function<bool(std::int64_t width, std::int64_t height)>;
    explicit TPictureMemoryGate(TAdmit admit);
    ~TPictureMemoryGate();
    TPictureMemoryGate(const TPictureMemoryGate&) = delete;
    TPictureMemoryGate& operator=(const TPictureMemoryGate&) = delete;

private:
    friend bool PictureMemoryFits(std::int64_t, std::int64_t, std::uint64_t);
    TAdmit admit_;
    TPictureMemoryGate* outer_;
};

// What a reader asks before it allocates a picture of this size, `bytes` in
// all with its own buffers: the thread's gate when it has one, otherwise
// MemoryFits(bytes, bytes).
bool PictureMemoryFits(std::int64_t width, std::int64_t height, std::uint64_t bytes);
