#pragma once

#include <bit>
#include <cstdint>

// Divides numbers below 2^53 by a fixed divisor with one multiplication and a
// shift instead of a 64-bit division, exactly (the quotient truncated like
// n / d). With l = ceil(log2 d) and m = floor(2^(53 + l) / d) + 1, the product
// m x d lies in (2^(53 + l), 2^(53 + l) + 2^l], which makes
// floor(n x m / 2^(53 + l)) equal floor(n / d) for every n below 2^53.
class TExactDivider {
public:
    static constexpr int NumeratorBits = 53;

    explicit TExactDivider(std::uint64_t divisor)
    {
        // A divisor of at most 2^53 keeps m below 2^54 and n x m below 2^107.
        const int l = int(std::bit_width(divisor - 1)); // ceil(log2 d), 0 for d = 1
        shift_ = NumeratorBits + l;
        multiplier_ = std::uint64_t(((unsigned __int128)1 << shift_) / divisor) + 1;
    }

    std::uint64_t Divide(std::uint64_t n) const
    {
        return std::uint64_t(((unsigned __int128)n * multiplier_) >> shift_);
    }

private:
    std::uint64_t multiplier_;
    int shift_;
};
