#include "picture/BmpPixels.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <optional>
#include <span>
#include <vector>

namespace {

void PutColour(std::uint8_t* dst, const TBmpColour& c)
{
    dst[0] = c.blue;
    dst[1] = c.green;
    dst[2] = c.red;
}

// One colour channel of a 16- or 32-bit pixel, scaled to 0..255 with
// rounding through a table. Fields longer than 16 bits keep their top 16.
class TChannel {
public:
    explicit TChannel(std::uint32_t mask)
        : mask_(mask)
    {
        const int bits = std::popcount(mask);
        const int kept = std::min(bits, 16);
        if (mask != 0)
            shift_ = std::countr_zero(mask) + bits - kept;
        const std::uint32_t top = (std::uint32_t(1) << kept) - 1;
        scale_.resize(std::size_t(top) + 1);
        for (std::uint32_t v = 1; v <= top; ++v)
            scale_[v] = std::uint8_t((v * 255 + top / 2) / top);
    }

    std::uint8_t operator()(std::uint32_t pixel) const { return scale_[(pixel & mask_) >> shift_]; }

private:
    std::uint32_t mask_;
    int shift_ = 0;
    std::vector<std::uint8_t> scale_;
};

struct TChannels {
    TChannel red, green, blue;
};

void IndexedRow(const std::uint8_t* src, int width, int bits, const TBmpPalette& palette, std::uint8_t* dst)
{
    const unsigned mask = (1u << bits) - 1;
    for (int x = 0; x < width; ++x) {
        const unsigned bit = unsigned(x) * unsigned(bits);
        const unsigned index = (src[bit >> 3] >> (8 - bits - (bit & 7))) & mask;
        PutColour(dst + 3 * x, palette[index]);
    }
}

void Bgr24Row(const std::uint8_t* src, int width, std::uint8_t* dst) { std::memcpy(dst, src, std::size_t(width) * 3); }

void Masked16Row(const std::uint8_t* src, int width, const TChannels& c, std::uint8_t* dst)
{
    for (int x = 0; x < width; ++x) {
        const std::uint32_t v = GetLe16(src + 2 * x);
        dst[3 * x] = c.blue(v);
        dst[3 * x + 1] = c.green(v);
        dst[3 * x + 2] = c.red(v);
    }
}

void Masked32Row(const std::uint8_t* src, int width, const TChannels& c, std::uint8_t* dst)
{
    for (int x = 0; x < width; ++x) {
        const std::uint32_t v = GetLe32(src + 4 * x);
        dst[3 * x] = c.blue(v);
        dst[3 * x + 1] = c.green(v);
        dst[3 * x + 2] = c.red(v);
    }
}

// Walks RLE8 or RLE4 data, painting into `picture` when one is given and only
// checking otherwise, so that broken data is refused before the picture's
// memory is spent. Returns the number of bytes the picture takes.
//
// A run that crosses the end of its row and a delta that moves past the
// picture are refused: no encoder writes them, and clipping would hide a
// broken file. Pixels the data never paints (skipped by a delta, or left by
// an early end-of-bitmap) keep what the caller filled in. The data ends at
// the end-of-bitmap marker; when the last row is done first, the marker is
// taken if it follows and anything after it is not part of the picture.
std::size_t WalkRle(std::span<const std::uint8_t> data, bool endsStream, const TBmpHeader& h,
                    const TBmpPalette& palette, TBitmap* picture, const std::string& name)
{
    const bool four = h.layout == TBmpLayout::Rle4;
    const std::int64_t width = h.width;
    const std::int64_t rows = h.rows;
    std::size_t pos = 0;
    std::int64_t x = 0;
    std::int64_t y = 0; // in stored order: 0 is the first row of the data

    auto need = [&](std::size_t n) {
        if (data.size() - pos < n)
            throw endsStream ? BmpTruncated(name) : BmpInvalid(name, "its compressed pixels have no end");
    };
    // Claims n pixels at the current place; gives where to paint them, if painting.
    auto claim = [&](std::int64_t n) -> std::uint8_t* {
        if (x + n > width)
            throw BmpInvalid(name, "its compressed pixels run past the end of a row");
        std::uint8_t* dst = nullptr;
        if (picture)
            dst = picture->ScanLine(int(h.topDown ? y : rows - 1 - y)) + 3 * x;
        x += n;
        return dst;
    };

    for (;;) {
        if (y == rows) {
            if (data.size() - pos >= 2 && data[pos] == 0 && data[pos + 1] == 1)
                pos += 2;
            return pos;
        }
        need(2);
        const unsigned count = data[pos];
        const unsigned value = data[pos + 1];
        pos += 2;
        if (count > 0) {
            // A run of one index, or in RLE4 of two alternating ones.
            if (std::uint8_t* dst = claim(count))
                for (unsigned k = 0; k < count; ++k)
                    PutColour(dst + 3 * k, palette[four ? (k % 2 == 0 ? value >> 4 : value & 15) : value]);
        } else if (value == 0) { // end of line
            x = 0;
            ++y;
        } else if (value == 1) { // end of bitmap
            return pos;
        } else if (value == 2) { // delta: move right and up
            need(2);
            const unsigned dx = data[pos];
            const unsigned dy = data[pos + 1];
            pos += 2;
            if (x + dx > width || y + dy > rows)
                throw BmpInvalid(name, "its compressed pixels move past the end of the picture");
            x += dx;
            y += dy;
        } else { // absolute run of `value` indexes, padded to a 16-bit boundary
            const std::size_t bytes = four ? (value + 1) / 2 : value;
            const std::size_t padded = (bytes + 1) & ~std::size_t(1);
            need(padded);
            const std::uint8_t* src = data.data() + pos;
            if (std::uint8_t* dst = claim(value))
                for (unsigned k = 0; k < value; ++k)
                    PutColour(dst + 3 * k, palette[four ? (k % 2 == 0 ? src[k / 2] >> 4 : src[k / 2] & 15) : src[k]]);
            pos += padded;
        }
    }
}

} // namespace

TBitmap ReadBmpRows(std::istream& in, const TBmpHeader& h, const TBmpPalette& palette, const std::string& name)
{
    const int width = int(h.width);
    TBitmap picture(width, h.rows);
    std::optional<TChannels> channels;
    if (h.layout == TBmpLayout::Masked)
        channels.emplace(TChannels{TChannel(h.redMask), TChannel(h.greenMask), TChannel(h.blueMask)});

    std::vector<std::uint8_t> row(std::size_t(h.rowBytes));
    for (int i = 0; i < h.rows; ++i) {
        ReadBmpBytes(in, row.data(), h.rowBytes, name);
        std::uint8_t* dst = picture.ScanLine(h.topDown ? i : h.rows - 1 - i);
        switch (h.layout) {
        case TBmpLayout::Indexed: IndexedRow(row.data(), width, h.bitCount, palette, dst); break;
        case TBmpLayout::Bgr24: Bgr24Row(row.data(), width, dst); break;
        case TBmpLayout::Masked:
            if (h.bitCount == 16)
                Masked16Row(row.data(), width, *channels, dst);
            else
                Masked32Row(row.data(), width, *channels, dst);
            break;
        case TBmpLayout::Rle8:
        case TBmpLayout::Rle4: break; // ReadBmpRle's
        }
    }
    return picture;
}

TBitmap ReadBmpRle(std::istream& in, const TBmpHeader& h, const TBmpPalette& palette, std::int64_t available,
                   std::int64_t& dataBytes, const std::string& name)
{
    // Every command but a pointless one advances at least one pixel or one
    // row for at most four bytes, so no encoder needs more than this; reading
    // no further keeps a stream that holds more files from being swallowed.
    const std::int64_t longest = 4 * h.width * h.rows + 4 * std::int64_t(h.rows) + 2;
    const std::int64_t size = std::min(available, longest);
    std::vector<std::uint8_t> data(static_cast<std::size_t>(size));
    ReadBmpBytes(in, data.data(), size, name);
    const bool endsStream = size == available;

    dataBytes = std::int64_t(WalkRle(data, endsStream, h, palette, nullptr, name));
    // Deltas and an early end leave pixels unpainted, so a few bytes can
    // stand for the largest picture. An encoder that paints its picture gets
    // at most 255 pixels out of two bytes; beyond twice that, and beyond a
    // megapixel, the file does not justify the memory it would take.
    constexpr std::int64_t FreePixels = std::int64_t(1) << 20;
    if (h.width * h.rows > std::max(FreePixels, 255 * dataBytes))
        throw BmpUnsupported(name, "compressed pixels that leave most of a large picture unpainted");
    TBitmap picture(int(h.width), h.rows);
    // Pixels the data leaves unpainted take colour 0, as if the indexes had
    // been decoded into a zeroed buffer.
    picture.Fill(palette[0].blue, palette[0].green, palette[0].red);
    WalkRle(data, endsStream, h, palette, &picture, name);
    return picture;
}
