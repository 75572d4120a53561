#include "engine/ColorRanks.h"

#include "engine/CpuFeatures.h"
#include "picture/PackedColor.h"

#include <algorithm>

void TColorRanks::Build(const std::uint8_t* pixels, std::size_t stride, int count, int rows)
{
    if (present_.empty()) {
        present_.assign(Words, 0);
        before_.assign(Words, 0);
        used_.assign(Words / 64, 0);
    }
    // Clears the words of the block before, found through the summary.
    auto eachUsedWord = [&](auto&& f) {
        for (std::size_t u = 0; u < used_.size(); ++u)
            for (std::uint64_t bits = used_[u]; bits != 0; bits &= bits - 1)
                f(u * 64 + std::size_t(std::countr_zero(bits)));
    };
    eachUsedWord([&](std::size_t w) { present_[w] = 0; });
    std::fill(used_.begin(), used_.end(), 0);
    for (int y = 0; y < rows; ++y) {
        const std::uint8_t* p = pixels + std::size_t(y) * stride;
        for (int x = 0; x < count; ++x, p += 3) {
            const std::uint32_t v = Packed(p);
            present_[v >> 6] |= std::uint64_t(1) << (v & 63);
            used_[v >> 12] |= std::uint64_t(1) << ((v >> 6) & 63);
        }
    }
    colors_.clear();
    eachUsedWord([&](std::size_t w) {
        before_[w] = std::uint32_t(colors_.size());
        for (std::uint64_t bits = present_[w]; bits != 0; bits &= bits - 1)
            colors_.push_back(std::uint32_t(w * 64 + std::size_t(std::countr_zero(bits))));
    });
}

namespace {

template <class Ranks>
inline __attribute__((always_inline)) void RankPixels(const Ranks& ranks, const std::uint8_t* p, int count,
                                                      std::uint32_t* out)
{
    for (int c = 0; c < count; ++c, p += 3)
        out[c] = ranks.Rank(Packed(p));
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
