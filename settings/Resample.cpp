#include "settings/Resample.h"

#include "settings/ExactDivider.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <string>
#include <system_error>
#include <thread>

namespace {

constexpr std::uint32_t Unit = 4096; // fixed-point units per source pixel

// The source rows (or columns) one target row (or column) covers: First..Last,
// with the weight of the first and of the last one (the ones between weigh a
// whole Unit) and the sum of all weights.
struct TSpan {
    int First;
    int Last;
    std::uint32_t FirstWeight;
    std::uint32_t LastWeight;
    std::uint64_t WeightSum;
};

// Spans of a reduction (target <= source): target index i covers
// [i * step, (i + 1) * step) in fixed point, step = source * 4096 div target,
// the positions summed as unsigned 32-bit values. The first row weighs what
// of it lies inside the span (and that weight wins when the span lies within
// one row), the last one what lies before the span's end; a last index equal
// to the source size, reached when the span ends exactly at the edge, steps
// back to the edge row.
std::vector<TSpan> ReductionSpans(int sourceSize, int targetSize)
{
    std::vector<TSpan> spans(static_cast<std::size_t>(targetSize));
    const std::uint32_t step = std::uint32_t(std::uint64_t(sourceSize) * Unit / std::uint64_t(targetSize));
    std::uint32_t p0 = 0;
    for (TSpan& span : spans) {
        const std::uint32_t p1 = p0 + step;
        int first = int(p0 / Unit);
        int last = int(p1 / Unit);
        if (last == sourceSize)
            --last;
        std::uint32_t firstWeight = Unit - p0 % Unit;
        std::uint32_t lastWeight = first == last ? firstWeight : p1 - std::uint32_t(last) * Unit;
        // A span that ends exactly on a row boundary gives the next row a
        // weight of 0; leaving that row out changes no sum and reads less.
        if (last > first && lastWeight == 0) {
            --last;
            lastWeight = first == last ? firstWeight : Unit;
        }
        std::uint64_t sum = first == last
                                ? firstWeight
                                : std::uint64_t(firstWeight) + lastWeight + std::uint64_t(last - first - 1) * Unit;
        span = {first, last, firstWeight, lastWeight, sum};
        p0 = p1;
    }
    return spans;
}

// Spans of an enlargement (target > source): the fixed-point step would be
// below one source pixel, so that the weights could sum to less than a Unit
// and the division by the weight sum in Units would divide by zero. Each
// target index takes the one source pixel under its centre instead.
std::vector<TSpan> EnlargementSpans(int sourceSize, int targetSize)
{
    std::vector<TSpan> spans(static_cast<std::size_t>(targetSize));
    for (int i = 0; i < targetSize; ++i) {
        int source = int((2 * std::int64_t(i) + 1) * sourceSize / (2 * std::int64_t(targetSize)));
        spans[std::size_t(i)] = {source, source, Unit, Unit, Unit};
    }
    return spans;
}

std::vector<TSpan> Spans(int sourceSize, int targetSize)
{
    return targetSize <= sourceSize ? ReductionSpans(sourceSize, targetSize) : EnlargementSpans(sourceSize, targetSize);
}

// Adds the contribution of one source row, weighing rowWeight, to the
// accumulators of every target column: per pixel (byte x rowWeight x
// columnWeight) div 4096.
void AccumulateRow(const std::uint8_t* row, std::uint32_t rowWeight, const std::vector<TSpan>& columns,
                   std::uint64_t* acc)
{
    for (const TSpan& span : columns) {
        const std::uint8_t* pixel = row + std::size_t(span.First) * 3;
        // Each product byte x weight is at most 255 x 4096 x 4096 < 2^32.
        std::uint32_t weight = rowWeight * span.FirstWeight;
        std::uint64_t a0 = (pixel[0] * weight) / Unit;
        std::uint64_t a1 = (pixel[1] * weight) / Unit;
        std::uint64_t a2 = (pixel[2] * weight) / Unit;
        if (span.Last > span.First) {
            // A whole column weighs 4096, and (byte x rowWeight x 4096) div
            // 4096 is exactly byte x rowWeight.
            for (int n = span.First + 1; n < span.Last; ++n) {
                pixel += 3;
                a0 += pixel[0] * rowWeight;
                a1 += pixel[1] * rowWeight;
                a2 += pixel[2] * rowWeight;
            }
            pixel += 3;
            weight = rowWeight * span.LastWeight;
            a0 += (pixel[0] * weight) / Unit;
            a1 += (pixel[1] * weight) / Unit;
            a2 += (pixel[2] * weight) / Unit;
        }
        acc[0] += a0;
        acc[1] += a1;
        acc[2] += a2;
        acc += 3;
    }
}

// Target rows firstRow..lastRow - 1. `acc` has room for three sums a target
// column.
void ResampleRows(const TResampleSource& source, const std::vector<TSpan>& rows, const std::vector<TSpan>& columns,
                  int firstRow, int lastRow, std::uint64_t* acc, TBitmap& target)
{
    const std::size_t sourceRowBytes = std::size_t(source.Width) * 3;
    const std::size_t w = columns.size();
    // Three 64-bit divisions a pixel would cost more than all the rest of a
    // reduction. Every span of a reduction weighs one step in all, so the
    // divisor hardly ever changes, and a divider prepared for it gives the
    // same quotients faster. The sums stay below 2^53: at most
    // 255 x 65535^2 x 4096 for acc, 65535^2 x 4096 for the divisor.
    std::uint64_t lastDivisor = 1;
    TExactDivider divide(1);

    for (int i = firstRow; i < lastRow; ++i) {
        const TSpan& rowSpan = rows[std::size_t(i)];
        // Adding each source row to the sums of all target columns at once
        // reads the source row by row.
        std::fill(acc, acc + w * 3, 0);
        for (int m = rowSpan.First; m <= rowSpan.Last; ++m) {
            std::uint32_t rowWeight = m == rowSpan.First  ? rowSpan.FirstWeight
                                      : m == rowSpan.Last ? rowSpan.LastWeight
                                                          : Unit;
            AccumulateRow(source.Pixels.data() + std::size_t(m) * sourceRowBytes, rowWeight, columns, acc);
        }
        std::uint8_t* out = target.ScanLine(i);
        for (std::size_t j = 0; j < w; ++j) {
            // The weight sum factors into rows times columns; it is at least
            // 4096 x 4096, so the divisor is never 0.
            const std::uint64_t divisor = rowSpan.WeightSum * columns[j].WeightSum / Unit;
            if (divisor != lastDivisor) {
                lastDivisor = divisor;
                divide = TExactDivider(divisor);
            }
            for (std::size_t c = 0; c < 3; ++c) {
                const std::uint64_t value = divide.Divide(acc[j * 3 + c]);
                out[j * 3 + c] = std::uint8_t(value > 255 ? 255 : value);
            }
        }
    }
}

} // namespace

TResampleSource CaptureResampleSource(const TBitmap& picture)
{
    TResampleSource source;
    const std::size_t rowBytes = std::size_t(picture.Width()) * 3;
    source.Pixels.resize(rowBytes * std::size_t(picture.Height()));
    for (int y = 0; y < picture.Height(); ++y)
        std::memcpy(source.Pixels.data() + std::size_t(y) * rowBytes, picture.ScanLine(y), rowBytes);
    source.Width = picture.Width();
    source.Height = picture.Height();
    return source;
}

bool ResampleTo(const TResampleSource& source, int w, int h, TBitmap& target)
{
    if (w <= 0 || h <= 0 || source.Width <= 0 || source.Height <= 0)
        return false;
    if (!TBitmap::SizeAllowed(w, h))
        throw std::length_error("a picture of " + std::to_string(w) + " x " + std::to_string(h) +
                                " pixels is larger than this program handles");
    // A slider move on a large capture reads tens of megabytes; bands of
    // target rows go to the processor's cores. Small pictures are not worth
    // a thread.
    constexpr std::int64_t PixelsPerThread = 1 << 20;
    const std::int64_t work = std::int64_t(source.Width) * source.Height + std::int64_t(w) * h;
    const int cores = int(std::max(1u, std::min(8u, std::thread::hardware_concurrency())));
    const int bands = int(std::clamp<std::int64_t>(work / PixelsPerThread, 1, std::min(cores, h)));

    // Everything that can fail happens before the target changes, and every
    // allocation before a thread starts.
    const std::vector<TSpan> rows = Spans(source.Height, h);
    const std::vector<TSpan> columns = Spans(source.Width, w);
    std::vector<std::uint64_t> acc(std::size_t(w) * 3 * std::size_t(bands));
    std::vector<std::thread> threads;
    threads.reserve(std::size_t(bands - 1));
    target.SetSize(w, h);

    auto band = [&](int b) {
        ResampleRows(source, rows, columns, int(std::int64_t(h) * b / bands), int(std::int64_t(h) * (b + 1) / bands),
                     acc.data() + std::size_t(w) * 3 * std::size_t(b), target);
    };
    for (int b = 1; b < bands; ++b) {
        try {
            threads.emplace_back(band, b);
        } catch (const std::system_error&) {
            band(b); // no thread to be had: this one does the band
        }
    }
    band(0);
    for (std::thread& thread : threads)
        thread.join();
    return true;
}
