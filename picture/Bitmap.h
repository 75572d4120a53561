#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// A 24-bit picture: bytes blue, green, red per pixel, row 0 at the top.
// Rows are padded to a multiple of four bytes, so that the memory can be
// wrapped by a toolkit image (Format_BGR888) and written as a Windows bitmap
// row without copying; the padding bytes are always zero.
class TBitmap {
public:
    // Largest picture the program handles: 65535 pixels on a side and
    // 2^28 pixels in all (768 MiB of pixel data).
    static constexpr int MaxSide = 65535;
    static constexpr std::int64_t MaxPixels = std::int64_t(1) << 28;

    TBitmap() = default;
    TBitmap(int width, int height);

    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Empty() const { return width_ == 0 || height_ == 0; }
    std::size_t Stride() const { return stride_; }
    std::size_t ByteSize() const { return pixels_.size(); }

    std::uint8_t* ScanLine(int y) { return pixels_.data() + std::size_t(y) * stride_; }
    const std::uint8_t* ScanLine(int y) const { return pixels_.data() + std::size_t(y) * stride_; }
    std::uint8_t* Bits() { return pixels_.data(); }
    const std::uint8_t* Bits() const { return pixels_.data(); }

    static std::size_t StrideFor(int width) { return (std::size_t(width) * 3 + 3) & ~std::size_t(3); }
    // True when a picture of this size may be created (the limits above).
    static bool SizeAllowed(std::int64_t width, std::int64_t height);

    // Changes the size. The part that both sizes share keeps its pixels; new
    // pixels are black. Sizes outside the limits throw std::length_error.
    void SetSize(int width, int height);
    void Fill(std::uint8_t blue, std::uint8_t green, std::uint8_t red);
    void FillWhite() { Fill(255, 255, 255); }

    // Copies the w x h rectangle of source at (sx, sy) to (dx, dy) of this
    // picture. The rectangle is clipped to both pictures.
    void CopyRect(const TBitmap& source, int sx, int sy, int w, int h, int dx, int dy);

    friend bool operator==(const TBitmap& a, const TBitmap& b);

private:
    int width_ = 0;
    int height_ = 0;
    std::size_t stride_ = 0;
    std::vector<std::uint8_t> pixels_;
};
