#include "picture/Bitmap.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <string>

TBitmap::TBitmap(int width, int height) { SetSize(width, height); }

bool TBitmap::SizeAllowed(std::int64_t width, std::int64_t height)
{
    return width >= 0 && height >= 0 && width <= MaxSide && height <= MaxSide && width * height <= MaxPixels;
}

void TBitmap::SetSize(int width, int height)
{
    if (width == width_ && height == height_)
        return;
    if (!SizeAllowed(width, height))
        throw std::length_error("a picture of " + std::to_string(width) + " x " + std::to_string(height) +
                                " pixels is larger than this program handles");
    if (width == 0 || height == 0)
        width = height = 0;

    std::size_t stride = StrideFor(width);
    std::vector<std::uint8_t> pixels(stride * std::size_t(height));
    int keepRows = std::min(height, height_);
    std::size_t keepBytes = std::size_t(std::min(width, width_)) * 3;
    for (int y = 0; y < keepRows; ++y)
        std::memcpy(pixels.data() + std::size_t(y) * stride, ScanLine(y), keepBytes);

    pixels_.swap(pixels);
    width_ = width;
    height_ = height;
    stride_ = stride;
}

void TBitmap::Fill(std::uint8_t blue, std::uint8_t green, std::uint8_t red)
{
    for (int y = 0; y < height_; ++y) {
        std::uint8_t* row = ScanLine(y);
        for (int x = 0; x < width_; ++x) {
            row[x * 3] = blue;
            row[x * 3 + 1] = green;
            row[x * 3 + 2] = red;
        }
    }
}

void TBitmap::CopyRect(const TBitmap& source, int sx, int sy, int w, int h, int dx, int dy)
{
    // Clip against the source, then against this picture, moving both origins together.
    if (sx < 0) {
        w += sx;
        dx -= sx;
        sx = 0;
    }
    if (sy < 0) {
        h += sy;
        dy -= sy;
        sy = 0;
    }
    if (dx < 0) {
        w += dx;
        sx -= dx;
        dx = 0;
    }
    if (dy < 0) {
        h += dy;
        sy -= dy;
        dy = 0;
    }
    w = std::min({w, source.width_ - sx, width_ - dx});
    h = std::min({h, source.height_ - sy, height_ - dy});
    if (w <= 0 || h <= 0)
        return;
    std::size_t bytes = std::size_t(w) * 3;
    // Within one picture a downward copy must start at the bottom row.
    bool bottomUp = &source == this && dy > sy;
    for (int i = 0; i < h; ++i) {
        int y = bottomUp ? h - 1 - i : i;
        std::memmove(ScanLine(dy + y) + std::size_t(dx) * 3, source.ScanLine(sy + y) + std::size_t(sx) * 3, bytes);
    }
}

bool operator==(const TBitmap& a, const TBitmap& b)
{
    if (a.width_ != b.width_ || a.height_ != b.height_)
        return false;
    std::size_t bytes = std::size_t(a.width_) * 3;
    for (int y = 0; y < a.height_; ++y)
        if (std::memcmp(a.ScanLine(y), b.ScanLine(y), bytes) != 0)
            return false;
    return true;
}
