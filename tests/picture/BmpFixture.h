#pragma once

#include "picture/Bitmap.h"
#include "picture/BmpFile.h"
#include "picture/FileError.h"

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

// Builds small Windows bitmap files byte by byte, so that every header
// variant can be written by hand. Offsets and sizes are the true ones unless
// a test overrides them.
struct TBmpFixture {
    std::uint32_t headerSize = 40; // 12 writes the OS/2 core header
    std::int32_t width = 1;
    std::int32_t height = 1;
    std::uint16_t bitCount = 24;
    std::uint32_t compression = 0;
    std::uint32_t colorsUsed = 0;
    std::vector<std::uint32_t> palette{}; // 0xRRGGBB
    std::vector<std::uint32_t> masks{}; // red, green, blue, alpha: after a 40-byte header, else inside it
    std::string pixels{};
    std::optional<std::uint32_t> fileSize{};
    std::optional<std::uint32_t> pixelOffset{};
    std::string trailer{}; // bytes after the pixel data, counted in the true file size

    std::string Bytes() const
    {
        std::string info;
        Put(info, headerSize, 4);
        if (headerSize == 12) {
            Put(info, std::uint32_t(width), 2);
            Put(info, std::uint32_t(height), 2);
        } else {
            Put(info, std::uint32_t(width), 4);
            Put(info, std::uint32_t(height), 4);
        }
        Put(info, 1, 2);
        Put(info, bitCount, 2);
        if (headerSize > 12) {
            for (std::uint32_t v : {compression, std::uint32_t(pixels.size()), 0u, 0u, colorsUsed, 0u})
                Put(info, v, 4);
            if (headerSize > 40)
                for (std::uint32_t v : masks)
                    Put(info, v, 4);
            info.resize(headerSize, '\0');
            if (headerSize == 40)
                for (std::uint32_t v : masks)
                    Put(info, v, 4);
        }
        for (std::uint32_t c : palette)
            Put(info, c, headerSize == 12 ? 3 : 4);

        const std::uint32_t offset = pixelOffset.value_or(std::uint32_t(14 + info.size()));
        std::string file = "BM";
        Put(file, fileSize.value_or(std::uint32_t(14 + info.size() + pixels.size() + trailer.size())), 4);
        Put(file, 0, 4);
        Put(file, offset, 4);
        return file + info + pixels + trailer;
    }

    static void Put(std::string& s, std::uint32_t v, int bytes)
    {
        for (int i = 0; i < bytes; ++i)
            s += char(v >> (8 * i));
    }
};

inline std::string Bytes(std::initializer_list<int> bytes)
{
    std::string s;
    for (int b : bytes)
        s += char(b);
    return s;
}

inline TBitmap ReadBytes(const std::string& file)
{
    std::istringstream in(file);
    return ReadBmp(in, "test.bmp");
}

// The message of the error that reading gives, or "" when it reads.
inline std::string ReadError(const std::string& file)
{
    try {
        ReadBytes(file);
    } catch (const TFileError& e) {
        return e.what();
    }
    return "";
}

// The pixels top row first, each as 0xRRGGBB.
inline std::vector<std::uint32_t> Colours(const TBitmap& picture)
{
    std::vector<std::uint32_t> colours;
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < picture.Width(); ++x) {
            const std::uint8_t* p = picture.ScanLine(y) + 3 * x;
            colours.push_back(std::uint32_t(p[2]) << 16 | std::uint32_t(p[1]) << 8 | p[0]);
        }
    return colours;
}
