#pragma once

#include <cstdint>

// Whether the effect can run on a whole picture of this size with `threads`
// worker threads (0: one per core): the estimated peak of its buffers, its
// layers and the composite, with each helper thread's reservation of address
// space, measured on the shipped presets with room to spare. For the renderer
// and the editor's cartoon command, before they start.
bool EffectFitsInMemory(std::int64_t width, std::int64_t height, int threads);
