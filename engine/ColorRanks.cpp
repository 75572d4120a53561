#include "ColorRanks.h"

#include "CpuFeatures.h"
#include "WorkerPool.h"

#include <algorithm>

bool TColorRanks::Build(const std::uint8_t* pixels, int width, int height, TWorkerPool* pool)
{
    const int workers = WorkerCount(pool);
    present_.assign(Words, 0);
    partial_.resize(std::size_t(workers - 1));
    for (auto& bits : partial_)
        bits.assign(Words, 0);
    const std::size_t rowBytes = std::size_t(std::max(width, 0)) * 3;
    if (!ForEachUnit(
            pool, width > 0 ? height : 0,
            [&](int y, int worker) {
                std::uint64_t* bits = worker == 0 ? present_.data() : partial_[std::size_t(worker - 1)].data();
                const std::uint8_t* p = pixels + std::size_t(y) * rowBytes;
                for (int x = 0; x < width; ++x, p += 3) {
                    std::uint32_t v = std::uint32_t(p[2]) << 16 | std::uint32_t(p[1]) << 8 | p[0];
                    bits[v >> 6] |= std::uint64_t(1) << (v & 63);
                }
            },
            [](int) {}))
        return false;
    for (const auto& bits : partial_)
        for (std::size_t w = 0; w < Words; ++w)
            present_[w] |= bits[w];
    partial_.clear();

    before_.resize(Words);
    std::uint32_t count = 0;
    for (std::size_t w = 0; w < Words; ++w) {
        before_[w] = count;
        count += std::uint32_t(std::popcount(present_[w]));
    }
    colors_.resize(count);
    std::uint32_t* next = colors_.data();
    for (std::size_t w = 0; w < Words; ++w)
        for (std::uint64_t bits = present_[w]; bits != 0; bits &= bits - 1)
            *next++ = std::uint32_t(w * 64 + std::size_t(std::countr_zero(bits)));
    return true;
}

namespace {

template <class Ranks>
inline __attribute__((always_inline)) void RankPixels(const Ranks& ranks, const std::uint8_t* p, int count,
                                                      std::uint32_t* out)
{
    for (int c = 0; c < count; ++c, p += 3)
        out[c] = ranks.Rank(std::uint32_t(p[2]) << 16 | std::uint32_t(p[1]) << 8 | p[0]);
}

#if defined(__x86_64__) && defined(__GNUC__)
// With the processor's own bit count (every processor with AVX2 has it)
// instead of a library call per pixel.
__attribute__((target("popcnt"))) void RankPixelsWide(const TColorRanks& ranks, const std::uint8_t* p, int count,
                                                      std::uint32_t* out)
{
    RankPixels(ranks, p, count, out);
}
#endif

} // namespace

void TColorRanks::RankRow(const std::uint8_t* pixels, int count, std::uint32_t* out) const
{
#if defined(__x86_64__) && defined(__GNUC__)
    if (WideVectors())
        return RankPixelsWide(*this, pixels, count, out);
#endif
    RankPixels(*this, pixels, count, out);
}
