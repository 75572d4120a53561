#pragma once

#include <cstdint>

// The estimated peak of the effect on a whole picture of this size: its
// buffers, the photo, its layers and the composite, measured on the shipped
// presets with room to spare. Resident bytes, and the address space with each
// helper thread's reservation beside them, for `threads` worker threads (0:
// one per core).
std::uint64_t EffectPeakBytes(std::int64_t width, std::int64_t height);
std::uint64_t EffectAddressBytes(std::int64_t width, std::int64_t height, int threads);

// Whether that peak fits in the memory the process can still take. For the
// renderer and the editor's cartoon command, before they start.
bool EffectFitsInMemory(std::int64_t width, std::int64_t height, int threads);
