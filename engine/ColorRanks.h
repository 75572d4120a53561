#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <vector>

// The colours that occur in a block of a packed three-byte buffer, numbered
// densely in the order of their packed values (red*65536 + green*256 +
// blue). A median over these numbers is the median over the colours, and
// counts over them are as small as the block's palette, so they stay in the
// cache even when the whole picture has millions of colours.
class TColorRanks {
public:
    // Numbers the colours of `rows` rows of `count` pixels, the rows `stride`
    // bytes apart. Forgets the colours of the block before.
    void Build(const std::uint8_t* pixels, std::size_t stride, int count, int rows);

    std::uint32_t Count() const { return std::uint32_t(colors_.size()); }
    // The number of a colour of the block.
    std::uint32_t Rank(std::uint32_t packed) const
    {
        const std::uint32_t word = packed >> 6;
        const std::uint64_t lower = present_[word] & ((std::uint64_t(1) << (packed & 63)) - 1);
        return before_[word] + std::uint32_t(std::popcount(lower));
    }
    std::uint32_t Color(std::uint32_t rank) const { return colors_[rank]; }
    // The numbers of `count` pixels of the block.
    void RankRow(const std::uint8_t* pixels, int count, std::uint32_t* out) const;

private:
    static constexpr std::size_t Words = (std::size_t(1) << 24) / 64;
    std::vector<std::uint64_t> present_; // one bit per packed colour
    std::vector<std::uint32_t> before_; // colours present in the words before
    std::vector<std::uint32_t> colors_; // packed, by number
    std::vector<std::uint64_t> used_; // one bit per word of present_ that has a colour
};
