#pragma once

#include <bit>
#include <cstdint>
#include <vector>

class TWorkerPool;

// The colours that occur in a packed three-byte buffer, numbered densely in
// the order of their packed values (red*65536 + green*256 + blue). A median
// over these numbers is the median over the colours, and a histogram over
// them is as small as the picture's palette: after colour scaling a few
// thousand entries, at most one per pixel.
class TColorRanks {
public:
    // Returns false when the abort flag stopped it.
    bool Build(const std::uint8_t* pixels, int width, int height, TWorkerPool* pool);

    std::uint32_t Count() const { return std::uint32_t(colors_.size()); }
    // The number of a colour that occurs in the buffer.
    std::uint32_t Rank(std::uint32_t packed) const
    {
        const std::uint32_t word = packed >> 6;
        const std::uint64_t lower = present_[word] & ((std::uint64_t(1) << (packed & 63)) - 1);
        return before_[word] + std::uint32_t(std::popcount(lower));
    }
    std::uint32_t Color(std::uint32_t rank) const { return colors_[rank]; }
    // The numbers of `count` packed three-byte pixels.
    void RankRow(const std::uint8_t* pixels, int count, std::uint32_t* out) const;

private:
    static constexpr std::size_t Words = (std::size_t(1) << 24) / 64;
    std::vector<std::uint64_t> present_; // one bit per packed colour
    std::vector<std::uint32_t> before_;  // colours present in the words before
    std::vector<std::uint32_t> colors_;  // packed, by rank
    std::vector<std::vector<std::uint64_t>> partial_; // one bit set per extra worker
};
