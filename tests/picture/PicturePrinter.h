#pragma once

// What a failed comparison of pictures says. gtest shows a picture by its
// size and a digest of its pixels (two pictures that differ show different
// digests), and EXPECT_SAME_PICTURE(a, b), which holds exactly when a == b,
// names the two sizes, or the first pixel that differs with both values and
// how many pixels differ in all.

#include "picture/Bitmap.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <ostream>
#include <string>

// FNV-1a over the pixels row by row, without the padding at the row ends.
inline std::uint32_t PictureDigest(const TBitmap& picture)
{
    std::uint32_t hash = 2166136261u;
    for (int y = 0; y < picture.Height(); ++y) {
        const std::uint8_t* row = picture.ScanLine(y);
        for (int i = 0; i < picture.Width() * 3; ++i)
            hash = (hash ^ row[i]) * 16777619u;
    }
    return hash;
}

inline void PrintTo(const TBitmap& picture, std::ostream* os)
{
    char digest[9];
    std::snprintf(digest, sizeof digest, "%08x", unsigned(PictureDigest(picture)));
    *os << picture.Width() << " x " << picture.Height() << " picture, digest " << digest;
}

namespace PictureTest {

// A pixel as people read it: red, green, blue (the bitmap stores blue first).
inline std::string Rgb(const TBitmap& picture, int x, int y)
{
    const std::uint8_t* p = picture.ScanLine(y) + std::size_t(x) * 3;
    return "rgb(" + std::to_string(p[2]) + ", " + std::to_string(p[1]) + ", " + std::to_string(p[0]) + ")";
}

} // namespace PictureTest

inline testing::AssertionResult SamePicture(const char* aText, const char* bText, const TBitmap& a, const TBitmap& b)
{
    if (a == b)
        return testing::AssertionSuccess();
    testing::AssertionResult failure = testing::AssertionFailure();
    failure << aText << " and " << bText << " differ: ";
    if (a.Width() != b.Width() || a.Height() != b.Height())
        return failure << "sizes " << a.Width() << " x " << a.Height() << " and " << b.Width() << " x " << b.Height();
    int firstX = -1, firstY = -1;
    std::int64_t differing = 0;
    for (int y = 0; y < a.Height(); ++y) {
        const std::uint8_t* pa = a.ScanLine(y);
        const std::uint8_t* pb = b.ScanLine(y);
        for (int x = 0; x < a.Width(); ++x)
            if (pa[x * 3] != pb[x * 3] || pa[x * 3 + 1] != pb[x * 3 + 1] || pa[x * 3 + 2] != pb[x * 3 + 2]) {
                if (differing++ == 0)
                    firstX = x, firstY = y;
            }
    }
    failure << "both " << a.Width() << " x " << a.Height();
    if (differing == 0)
        return failure << ", every pixel alike, yet unequal";
    return failure << "; first at (" << firstX << ", " << firstY << "): " << PictureTest::Rgb(a, firstX, firstY)
                   << " against " << PictureTest::Rgb(b, firstX, firstY) << "; " << differing << " of "
                   << std::int64_t(a.Width()) * a.Height() << " pixels differ";
}

#define EXPECT_SAME_PICTURE(a, b) EXPECT_PRED_FORMAT2(SamePicture, a, b)
#define ASSERT_SAME_PICTURE(a, b) ASSERT_PRED_FORMAT2(SamePicture, a, b)
