#pragma once

#include "picture/LittleEndian.h"

#include "picture/FileError.h"

#include <array>
#include <cstdint>
#include <istream>
#include <string>

// The headers of a Windows bitmap file as the reader sees them: first the
// fields as stored, then, once CheckBmpHeader has accepted them, what the
// pixel decoders need.

// How the pixel data is laid out, one decoder for each.
enum class TBmpLayout {
    Indexed, // 1, 2, 4 or 8 bits: indexes into the colour table
    Rle8,
    Rle4,
    Bgr24, // three bytes a pixel, blue, green, red
    Masked, // 16 or 32 bits a pixel, channels picked out by bit masks
};

struct TBmpColour {
    std::uint8_t blue = 0;
    std::uint8_t green = 0;
    std::uint8_t red = 0;
};

// Always 256 entries: those the file does not hold are black, so that no
// index of at most 8 bits can reach outside the table.
using TBmpPalette = std::array<TBmpColour, 256>;

struct TBmpHeader {
    // As stored.
    std::uint32_t fileSize = 0;
    std::uint32_t pixelOffset = 0;
    std::uint32_t headerSize = 0;
    std::int64_t width = 0;
    std::int64_t height = 0; // negative: rows are stored top-down
    std::uint16_t bitCount = 0;
    std::uint32_t compression = 0;
    std::uint32_t colorsUsed = 0;
    std::uint32_t redMask = 0;
    std::uint32_t greenMask = 0;
    std::uint32_t blueMask = 0;
    int maskBytesAfterHeader = 0; // masks stored between a 40-byte header and the colour table

    // Derived by CheckBmpHeader.
    TBmpLayout layout = TBmpLayout::Bgr24;
    int rows = 0; // the height without its sign
    bool topDown = false;
    std::int64_t rowBytes = 0; // a stored row of an uncompressed layout, padding included
    int paletteEntries = 0; // colour table entries to read from the file
    int paletteEntrySize = 4; // 3 after the OS/2 core header
};

// Compression methods of the information header.
constexpr std::uint32_t BmpRgb = 0;
constexpr std::uint32_t BmpRle8 = 1;
constexpr std::uint32_t BmpRle4 = 2;
constexpr std::uint32_t BmpBitFields = 3;
constexpr std::uint32_t BmpJpeg = 4;
constexpr std::uint32_t BmpPng = 5;
constexpr std::uint32_t BmpAlphaBitFields = 6;

constexpr int BmpFileHeaderSize = 14;

// Reads the file header, the information header and any masks that follow
// it, from the stream's position. Checks only what is needed to know how
// many bytes to read.
TBmpHeader ReadBmpHeader(std::istream& in, const std::string& name);

// Checks every field that the decoders use and fills in the derived part.
// `available` is the number of bytes from the file's start to the end of the
// stream; uncompressed pixel data must fit in it.
void CheckBmpHeader(TBmpHeader& header, std::int64_t available, const std::string& name);

// Reads the colour table; the stream must be positioned just after the masks.
TBmpPalette ReadBmpPalette(std::istream& in, const TBmpHeader& header, const std::string& name);

// Reads exactly `size` bytes or throws "... is truncated".
void ReadBmpBytes(std::istream& in, void* buffer, std::int64_t size, const std::string& name);

// The reader's messages, each naming the file.
TFileError BmpNotABitmap(const std::string& name);
TFileError BmpTruncated(const std::string& name);
TFileError BmpInvalid(const std::string& name, const std::string& why);
TFileError BmpUnsupported(const std::string& name, const std::string& what);
