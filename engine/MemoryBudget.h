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

// Whether the effect can run on a whole picture of this size with `threads`
// worker threads (0: one per core): the estimated peak of its buffers, its
// layers and the composite, with each helper thread's reservation of address
// space, measured on the shipped presets with room to spare. For the renderer
// and the editor's cartoon command, before they start.
bool EffectFitsInMemory(std::int64_t width, std::int64_t height, int threads);

// The program's one message for a picture that does not fit in memory.
std::string NotEnoughMemoryText(std::int64_t width, std::int64_t height);
