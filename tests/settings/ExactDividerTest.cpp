#include "settings/ExactDivider.h"

#include <gtest/gtest.h>

#include <random>

namespace {

constexpr std::uint64_t Limit = std::uint64_t(1) << TExactDivider::NumeratorBits;

TEST(ExactDivider, EqualsIntegerDivision)
{
    std::mt19937_64 random(5);
    for (int round = 0; round < 100000; ++round) {
        // Divisors of every size, numerators anywhere and just around a multiple.
        const std::uint64_t d = std::max<std::uint64_t>(1, random() >> (11 + random() % 53));
        const std::uint64_t n =
            round % 2 ? random() % Limit : std::min(Limit - 1, (random() % (Limit / d)) * d - round % 3);
        ASSERT_EQ(TExactDivider(d).Divide(n), n / d) << n << " / " << d;
    }
    for (std::uint64_t d : {std::uint64_t(1), std::uint64_t(3), std::uint64_t(4096), Limit - 1, Limit})
        EXPECT_EQ(TExactDivider(d).Divide(Limit - 1), (Limit - 1) / d) << d;
}

} // namespace
