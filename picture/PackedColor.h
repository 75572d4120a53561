#pragma once

#include <cstdint>

// Inside an unnamed namespace, like MedianNetwork.h, which is built once
// more for wider vectors: each file keeps its own copy, compiled for its own
// instruction set, and the linker never picks the wide one for the rest.
namespace {

// A pixel of a three-byte buffer (blue, green, red) as one number ordered
// red first, then green, then blue: the order the colour smoothing ranks in.
inline std::uint32_t Packed(const std::uint8_t* p)
{
    return std::uint32_t(p[2]) << 16 | std::uint32_t(p[1]) << 8 | p[0];
}

inline void Unpack(std::uint32_t v, std::uint8_t* p)
{
    p[0] = std::uint8_t(v);
    p[1] = std::uint8_t(v >> 8);
    p[2] = std::uint8_t(v >> 16);
}

} // namespace
