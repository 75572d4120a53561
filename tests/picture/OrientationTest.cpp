#include "picture/Orientation.h"
#include "tests/picture/PicturePrinter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Pictures written as rows of letters; each letter is one pixel whose three
// bytes are that letter, so a mix-up of pixels or of their bytes shows.
TBitmap Letters(const std::vector<std::string>& rows)
{
    TBitmap picture(int(rows[0].size()), int(rows.size()));
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < picture.Width(); ++x)
            for (int c = 0; c < 3; ++c)
                picture.ScanLine(y)[x * 3 + c] = std::uint8_t(rows[std::size_t(y)][std::size_t(x)] + c);
    return picture;
}

std::vector<std::string> RowsOf(const TBitmap& picture)
{
    std::vector<std::string> rows;
    for (int y = 0; y < picture.Height(); ++y) {
        std::string row;
        for (int x = 0; x < picture.Width(); ++x) {
            const std::uint8_t* p = picture.ScanLine(y) + x * 3;
            row += (p[1] == p[0] + 1 && p[2] == p[0] + 2) ? char(p[0]) : '?';
        }
        rows.push_back(row);
    }
    return rows;
}

const std::vector<std::string> Upright = {"ABC", "DEF"};

} // namespace

// What a camera stores for the upright picture ABC/DEF under each value; the
// reader must turn each back into ABC/DEF.
TEST(Orientation, EveryValueTurnsTheStoredPictureUpright)
{
    const std::vector<std::vector<std::string>> stored = {
        {"ABC", "DEF"}, // 1
        {"CBA", "FED"}, // 2 mirrored
        {"FED", "CBA"}, // 3 half turn
        {"DEF", "ABC"}, // 4 mirrored top to bottom
        {"AD", "BE", "CF"}, // 5 transposed
        {"CF", "BE", "AD"}, // 6 stored a quarter turn anticlockwise
        {"FC", "EB", "DA"}, // 7 transversed
        {"DA", "EB", "FC"}, // 8 stored a quarter turn clockwise
    };
    for (int value = 1; value <= 8; ++value) {
        SCOPED_TRACE("orientation " + std::to_string(value));
        const TBitmap result = ApplyOrientation(Letters(stored[std::size_t(value - 1)]), value);
        EXPECT_EQ(RowsOf(result), Upright);
    }
}

TEST(Orientation, OtherValuesLeaveThePictureAsItIs)
{
    for (int value : {0, 9, -1, 255}) {
        SCOPED_TRACE(value);
        EXPECT_EQ(RowsOf(ApplyOrientation(Letters({"AB", "CD", "EF"}), value)),
                  (std::vector<std::string>{"AB", "CD", "EF"}));
    }
    EXPECT_TRUE(ApplyOrientation(TBitmap(), 6).Empty());
}

namespace {

// The plain reference: each output pixel fetched on its own by the formula
// for its orientation.
TBitmap ReferenceOrientation(const TBitmap& s, int orientation)
{
    const int w = s.Width(), h = s.Height();
    const bool swap = orientation >= 5;
    TBitmap d(swap ? h : w, swap ? w : h);
    for (int y = 0; y < d.Height(); ++y)
        for (int x = 0; x < d.Width(); ++x) {
            int sx = x, sy = y;
            switch (orientation) {
            case 2: sx = w - 1 - x; break;
            case 3:
                sx = w - 1 - x;
                sy = h - 1 - y;
                break;
            case 4: sy = h - 1 - y; break;
            case 5:
                sx = y;
                sy = x;
                break;
            case 6:
                sx = y;
                sy = h - 1 - x;
                break;
            case 7:
                sx = w - 1 - y;
                sy = h - 1 - x;
                break;
            case 8:
                sx = w - 1 - y;
                sy = x;
                break;
            }
            for (int c = 0; c < 3; ++c)
                d.ScanLine(y)[x * 3 + c] = s.ScanLine(sy)[sx * 3 + c];
        }
    return d;
}

} // namespace

// Sizes around the tiles the quarter turns work in, single lines, and rows
// that are not a multiple of four bytes long (the padding must not leak).
TEST(Orientation, EqualsThePlainReferenceAcrossTileEdges)
{
    for (auto [w, h] : {std::pair{130, 70}, std::pair{64, 65}, std::pair{1, 129}, std::pair{129, 1}, std::pair{7, 5}}) {
        TBitmap picture(w, h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w * 3; ++x)
                picture.ScanLine(y)[x] = std::uint8_t(x * 7 + y * 13 + x * y);
        for (int value = 1; value <= 8; ++value)
            EXPECT_SAME_PICTURE(ApplyOrientation(picture, value), ReferenceOrientation(picture, value))
                << w << " x " << h << ", orientation " << value;
    }
}
