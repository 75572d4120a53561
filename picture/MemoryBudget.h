#pragma once

#include <cstdint>
#include <optional>
#include <string>

// Whether the process can still take this much more memory, to refuse a
// computation that cannot fit before it starts rather than fail half way:
// `addressSpace` bytes of address space under its limit (RLIMIT_AS, as
// `ulimit -v` sets it; the allocator of each thread reserves far more than it
// uses) and `resident` bytes of the system's available memory
// (MemAvailable). What cannot be found out counts as room.
bool MemoryFits(std::uint64_t addressSpace, std::uint64_t resident);

// The program's one message for a picture that does not fit in memory.
std::string NotEnoughMemoryText(std::int64_t width, std::int64_t height);
