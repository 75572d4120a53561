#include "ExactDivider.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <random>

namespace {

constexpr std::uint64_t Limit = std::uint64_t(1) << TExactDivider::NumeratorBits;

void ExpectExactAround(std::uint64_t d, std::uint64_t n)
{
    TExactDivider divide(d);
    for (std::uint64_t k : {n - 1, n, n + 1}) {
        if (k >= Limit)
            continue;
        ASSERT_EQ(divide.Divide(k), k / d) << k << " / " << d;
    }
}

TEST(ExactDivider, EqualsIntegerDivisionAtTheEdges)
{
    for (std::uint64_t d : std::initializer_list<std::uint64_t>{1, 2, 3, 7, 4095, 4096, 4097, 16777216, 25165824,
                                                                (1ull << 44) - 1, 1ull << 44, Limit - 1, Limit}) {
        ExpectExactAround(d, 1);
        ExpectExactAround(d, Limit - 1);
        // Just below and at multiples, where a rounding error would show.
        for (std::uint64_t q : std::initializer_list<std::uint64_t>{1, 255, 256, 65535, (Limit - 1) / d}) {
            if (q > 0 && q <= (Limit - 1) / d)
                ExpectExactAround(d, q * d);
        }
    }
    EXPECT_EQ(TExactDivider(1).Divide(0), 0u);
}

TEST(ExactDivider, EqualsIntegerDivisionOnRandomNumbers)
{
    std::mt19937_64 random(5);
    for (int round = 0; round < 200000; ++round) {
        int bits = int(random() % 53) + 1;
        std::uint64_t d = (random() >> (64 - bits)) | 1;
        if (round % 2)
            d &= ~std::uint64_t(1); // even divisors too
        if (d == 0)
            d = 2;
        std::uint64_t n = random() % Limit;
        ASSERT_EQ(TExactDivider(d).Divide(n), n / d) << n << " / " << d;
    }
}

} // namespace
