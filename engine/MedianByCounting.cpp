#include "engine/MedianByCounting.h"

#include <algorithm>
#include <bit>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr int MidShift = 6, TopShift = 12;
constexpr int CountingBlockRows = 256;

// TFine is 16 bits where the window has at most 65535 pixels (every radius
// the controls offer): half the memory keeps more of the counts in the
// nearest cache.
template <class TFine>
class TRankCounts {
public:
    TRankCounts(TFine* fine, TCountingScratch& s, std::uint64_t rank)
        : fine_(fine)
        , mid_(s.Mid.data())
        , top_(s.Top.data())
        , rank_(std::int64_t(rank))
    {
    }

    void Add(std::uint32_t v, std::int64_t k)
    {
        fine_[v] = TFine(fine_[v] + TFine(k));
        mid_[v >> MidShift] += std::uint32_t(k);
        top_[v >> TopShift] += std::uint32_t(k);
        if (v < median_)
            below_ += k;
    }

    // Takes one `from` out and puts one `to` in. The few top counts change
    // only when the two lie in different top blocks: otherwise each update
    // would wait for the one before to be written. The blocks of 64 are
    // updated without asking, as whether two colours share one is a coin
    // toss that the processor would mostly guess wrong.
    void Move(std::uint32_t from, std::uint32_t to)
    {
        fine_[from] = TFine(fine_[from] - 1);
        fine_[to] = TFine(fine_[to] + 1);
        --mid_[from >> MidShift];
        ++mid_[to >> MidShift];
        if ((from ^ to) >> TopShift) {
            --top_[from >> TopShift];
            ++top_[to >> TopShift];
        }
        below_ += std::int64_t(to < median_) - std::int64_t(from < median_);
    }

    // Starts a column with empty counts, near where the last one started.
    void Restart(std::uint32_t median)
    {
        median_ = median;
        below_ = 0;
    }

    // Moves the median to the number of rank `rank_`: below_ counts the
    // window's numbers under median_, and afterwards
    // below_ <= rank_ < below_ + fine_[median_].
    std::uint32_t Median()
    {
        const std::int64_t k = std::int64_t(rank_);
        while (below_ > k) {
            if ((median_ & ((1u << TopShift) - 1)) == 0 && median_ > 0 &&
                below_ - top_[(median_ >> TopShift) - 1] > k) {
                below_ -= top_[(median_ >> TopShift) - 1];
                median_ -= 1u << TopShift;
            } else if ((median_ & ((1u << MidShift) - 1)) == 0 && median_ > 0 &&
                       below_ - mid_[(median_ >> MidShift) - 1] > k) {
                below_ -= mid_[(median_ >> MidShift) - 1];
                median_ -= 1u << MidShift;
            } else {
                --median_;
                below_ -= fine_[median_];
            }
        }
        while (below_ + fine_[median_] <= k) {
            if ((median_ & ((1u << TopShift) - 1)) == 0 && below_ + top_[median_ >> TopShift] <= k) {
                below_ += top_[median_ >> TopShift];
                median_ += 1u << TopShift;
            } else if ((median_ & ((1u << MidShift) - 1)) == 0 && below_ + mid_[median_ >> MidShift] <= k) {
                below_ += mid_[median_ >> MidShift];
                median_ += 1u << MidShift;
            } else {
                below_ += fine_[median_];
                ++median_;
            }
        }
        return median_;
    }

private:
    TFine* fine_;
    std::uint32_t* mid_;
    std::uint32_t* top_;
    std::int64_t rank_;
    std::uint32_t median_ = 0;
    std::int64_t below_ = 0;
};

// Compares take whole vectors; the numbers are padded so that the last
// stretch of a block may be read a vector past its end.
constexpr std::size_t IndexPadding = 4;

// Bit i set where a[i] != b[i], for i < count <= 64.
inline std::uint64_t Differing(const std::uint32_t* a, const std::uint32_t* b, int count)
{
    std::uint64_t differ = 0;
    int i = 0;
#if defined(__SSE2__)
    for (; i < count; i += 4) {
        const __m128i equal = _mm_cmpeq_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(a + i)),
                                              _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + i)));
        differ |= std::uint64_t(~_mm_movemask_ps(_mm_castsi128_ps(equal)) & 15) << i;
    }
    return count < 64 ? differ & ((std::uint64_t(1) << count) - 1) : differ;
#else
    for (; i < count; ++i)
        differ |= std::uint64_t(a[i] != b[i]) << i;
    return differ;
#endif
}

template <class T>
void GrowZeroed(std::vector<T>& v, std::size_t size)
{
    if (v.size() < size)
        v.assign(size, 0); // entries beyond a smaller palette stay zero anyway
}

template <class TFine>
bool CountStrip(const TCountingStrip& strip, TCountingScratch& s, std::vector<TFine>& fine)
{
    const int r = strip.Radius, n = 2 * r + 1, height = strip.Height;
    const int span = strip.X1 - strip.X0 + 2 * r;
    const std::size_t rowBytes = std::size_t(strip.Width) * 3;
    // The strip is done a block of centre rows at a time, with the colours of
    // the block numbered afresh: the counts then have no more entries than
    // the block has pixels and stay in the cache, and so do the block's
    // numbers and output rows while every column walks down them. A block
    // costs one extra window per column.
    const int block = CountingBlockHeight(r);
    const int blockSpan = std::min(block, height - 2 * r) + 2 * r;
    const std::size_t most = std::size_t(span) * blockSpan; // colours a block can have
    GrowZeroed(fine, most);
    GrowZeroed(s.Mid, (most >> MidShift) + 1);
    GrowZeroed(s.Top, (most >> TopShift) + 1);
    s.Index.resize(most + IndexPadding);
    s.Runs.resize(most);
    TColorRanks& ranks = s.Ranks;

    const std::uint64_t window = std::uint64_t(n) * std::uint64_t(n);
    TRankCounts<TFine> counts(fine.data(), s, (window - 1) / 2);
    const int endRow = std::min(height - r, strip.EndRow);
    for (int first = std::max(r, strip.FirstRow); first < endRow; first += block) {
        if (CancelRequested(strip.Cancel))
            return false;
        const int last = std::min(first + block, endRow); // centre rows first..last-1
        const int top = first - r;
        const std::uint8_t* corner = strip.Scaled + std::size_t(top) * rowBytes + std::size_t(strip.X0 - r) * 3;
        ranks.Build(corner, rowBytes, span, last + r - top);
        for (int y = top; y < last + r; ++y) {
            if (CancelRequested(strip.Cancel))
                return false;
            std::uint32_t* index = s.Index.data() + std::size_t(y - top) * span;
            std::uint8_t* runs = s.Runs.data() + std::size_t(y - top) * span;
            ranks.RankRow(corner + std::size_t(y - top) * rowBytes, span, index);
            runs[span - 1] = 1;
            for (int c = span - 2; c >= 0; --c)
                runs[c] =
                    index[c] == index[c + 1] && runs[c + 1] < 255 ? std::uint8_t(runs[c + 1] + 1) : std::uint8_t(1);
        }

        std::uint32_t start = 0; // the median of the first window of the column before
        for (int x = strip.X0; x < strip.X1; ++x) {
            const int c0 = x - strip.X0; // the window's first column in the strip
            // Adds (sign 1) or removes (-1) the window's stretch of row y.
            auto stretch = [&](int y, int sign) {
                const std::uint32_t* index = s.Index.data() + std::size_t(y - top) * span;
                const std::uint8_t* runs = s.Runs.data() + std::size_t(y - top) * span;
                for (int at = c0, end = c0 + n; at < end;) {
                    int length = std::min<int>(runs[at], end - at);
                    counts.Add(index[at], sign * length);
                    at += length;
                }
            };
            counts.Restart(start);
            for (int y = top; y < top + n; ++y)
                stretch(y, 1);
            start = counts.Median();
            int y = first;
            bool stopped = false;
            for (;;) {
                const std::uint32_t colour = ranks.Color(counts.Median());
                std::uint8_t* out = strip.Smoothed + std::size_t(y) * rowBytes + std::size_t(x) * 3;
                out[0] = std::uint8_t(colour);
                out[1] = std::uint8_t(colour >> 8);
                out[2] = std::uint8_t(colour >> 16);
                if (y + 1 >= last)
                    break;
                if (CancelRequested(strip.Cancel)) {
                    stopped = true;
                    break;
                }
                // Moving down swaps the top row stretch for the new bottom
                // one. Where both are one colour that is one change; else only
                // the columns whose colour differs between the two change,
                // which in flat areas are few.
                const std::size_t leavingAt = std::size_t(y - r - top) * span + c0;
                const std::size_t comingAt = std::size_t(y + r + 1 - top) * span + c0;
                const std::uint32_t* leaving = s.Index.data() + leavingAt;
                const std::uint32_t* coming = s.Index.data() + comingAt;
                if (s.Runs[leavingAt] >= n && s.Runs[comingAt] >= n) {
                    if (leaving[0] != coming[0]) {
                        counts.Add(leaving[0], -n);
                        counts.Add(coming[0], n);
                    }
                } else {
                    for (int from = 0; from < n; from += 64) {
                        const int to = std::min(n, from + 64);
                        std::uint64_t differ = Differing(leaving + from, coming + from, to - from);
                        for (; differ != 0; differ &= differ - 1) {
                            const int i = from + std::countr_zero(differ);
                            counts.Move(leaving[i], coming[i]);
                        }
                    }
                }
                ++y;
            }
            // Empties the counts for the next column (or call).
            for (int wy = y - r; wy <= y + r; ++wy)
                stretch(wy, -1);
            if (stopped)
                return false;
        }
    }
    return true;
}

} // namespace

int CountingBlockHeight(int radius) { return std::max(CountingBlockRows, 8 * (2 * radius + 1)); }

bool MedianStripByCounting(const TCountingStrip& strip, TCountingScratch& s)
{
    const std::uint64_t n = 2 * std::uint64_t(strip.Radius) + 1;
    return n * n <= 65535 ? CountStrip(strip, s, s.Fine16) : CountStrip(strip, s, s.Fine32);
}
