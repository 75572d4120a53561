#include "picture/Bitmap.h"
#include "tests/picture/PicturePrinter.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace {

void SetPixel(TBitmap& bmp, int x, int y, std::uint8_t b, std::uint8_t g, std::uint8_t r)
{
    std::uint8_t* p = bmp.ScanLine(y) + x * 3;
    p[0] = b;
    p[1] = g;
    p[2] = r;
}

// Each pixel gets a colour that tells where it came from.
TBitmap Numbered(int w, int h)
{
    TBitmap bmp(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            SetPixel(bmp, x, y, std::uint8_t(x), std::uint8_t(y), std::uint8_t(x + 10 * y));
    return bmp;
}

TEST(Bitmap, RowsArePaddedToFourBytesWithZeroPadding)
{
    TBitmap bmp(3, 2);
    EXPECT_EQ(bmp.Stride(), 12u);
    EXPECT_EQ(bmp.ByteSize(), 24u);
    bmp.FillWhite();
    EXPECT_EQ(bmp.ScanLine(1) - bmp.ScanLine(0), 12);
    for (int y = 0; y < 2; ++y) {
        for (int i = 0; i < 9; ++i)
            EXPECT_EQ(bmp.ScanLine(y)[i], 255);
        for (int i = 9; i < 12; ++i)
            EXPECT_EQ(bmp.ScanLine(y)[i], 0);
    }
    EXPECT_EQ(TBitmap::StrideFor(1), 4u);
    EXPECT_EQ(TBitmap::StrideFor(4), 12u);
}

TEST(Bitmap, ResizingKeepsTheSharedPartAndBlackensTheRest)
{
    TBitmap bmp = Numbered(4, 3);
    bmp.SetSize(5, 2);
    ASSERT_EQ(bmp.Width(), 5);
    ASSERT_EQ(bmp.Height(), 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(bmp.ScanLine(y)[x * 3 + 2], x + 10 * y);
    for (int c = 0; c < 3; ++c)
        EXPECT_EQ(bmp.ScanLine(1)[4 * 3 + c], 0);
}

TEST(Bitmap, ZeroSidesGiveAnEmptyPicture)
{
    TBitmap bmp(0, 7);
    EXPECT_TRUE(bmp.Empty());
    EXPECT_EQ(bmp.Width(), 0);
    EXPECT_EQ(bmp.Height(), 0);
    EXPECT_EQ(bmp.ByteSize(), 0u);
}

TEST(Bitmap, SizesBeyondTheLimitsAreRefused)
{
    TBitmap bmp;
    EXPECT_THROW(bmp.SetSize(-1, 5), std::length_error);
    EXPECT_THROW(bmp.SetSize(65536, 1), std::length_error);
    EXPECT_THROW(bmp.SetSize(20000, 20000), std::length_error); // 4e8 pixels > 2^28
    EXPECT_TRUE(bmp.Empty());
    EXPECT_TRUE(TBitmap::SizeAllowed(65535, 4096));
    EXPECT_FALSE(TBitmap::SizeAllowed(65535, 4097));
}

TEST(Bitmap, CopyRectClipsToBothPictures)
{
    TBitmap source = Numbered(4, 4);
    TBitmap target(3, 3);
    target.Fill(1, 2, 3);
    // Starts one pixel left of the source and reaches past the target's right edge.
    target.CopyRect(source, -1, 1, 10, 2, 1, 0);
    // Target column 1 would take source column -1, which is clipped away.
    EXPECT_EQ(target.ScanLine(0)[1 * 3 + 2], 3); // column 1 untouched
    EXPECT_EQ(target.ScanLine(0)[2 * 3 + 0], 0); // source (0, 1): blue = x = 0
    EXPECT_EQ(target.ScanLine(0)[2 * 3 + 1], 1); // green = y = 1
    EXPECT_EQ(target.ScanLine(1)[2 * 3 + 1], 2); // source (0, 2)
    EXPECT_EQ(target.ScanLine(2)[2 * 3 + 2], 3); // row 2 untouched
    EXPECT_EQ(target.ScanLine(0)[0], 1); // column 0 untouched
}

TEST(Bitmap, CopyRectWithinOnePictureHandlesOverlap)
{
    TBitmap bmp = Numbered(2, 4);
    TBitmap expected = bmp;
    bmp.CopyRect(bmp, 0, 0, 2, 3, 0, 1);
    for (int y = 1; y < 4; ++y)
        for (int x = 0; x < 2; ++x)
            EXPECT_EQ(bmp.ScanLine(y)[x * 3 + 1], expected.ScanLine(y - 1)[x * 3 + 1]) << x << "," << y;
}

TEST(Bitmap, EqualityComparesPixelsNotPadding)
{
    TBitmap a = Numbered(3, 2);
    TBitmap b = Numbered(3, 2);
    EXPECT_TRUE(a == b);
    b.ScanLine(1)[8] ^= 1;
    EXPECT_FALSE(a == b);
    EXPECT_FALSE(Numbered(3, 2) == Numbered(2, 3));
}

// What the tests' picture comparison says when it fails, and that it holds
// exactly when the pictures are equal.
TEST(PicturePrinter, NamesTheSizesOrTheFirstDifferingPixel)
{
    const TBitmap a = Numbered(3, 2);
    TBitmap oneOff = a;
    SetPixel(oneOff, 1, 1, 200, 100, 50);
    TBitmap twoOff = oneOff;
    SetPixel(twoOff, 0, 1, 0, 0, 0);
    struct TCase {
        TBitmap B;
        const char* Says; // empty: the same picture
    };
    const TCase cases[] = {
        {a, ""},
        {Numbered(2, 3), "a and b differ: sizes 3 x 2 and 2 x 3"},
        {TBitmap(), "a and b differ: sizes 3 x 2 and 0 x 0"},
        {oneOff, "a and b differ: both 3 x 2; first at (1, 1): rgb(11, 1, 1) against rgb(50, 100, 200); 1 of 6 pixels "
                 "differ"},
        {twoOff, "a and b differ: both 3 x 2; first at (0, 1): rgb(10, 1, 0) against rgb(0, 0, 0); 2 of 6 pixels "
                 "differ"},
    };
    for (const TCase& c : cases) {
        const testing::AssertionResult result = SamePicture("a", "b", a, c.B);
        EXPECT_EQ(bool(result), a == c.B);
        EXPECT_EQ(std::string(result.message()), c.Says);
    }
}

TEST(PicturePrinter, ShowsTheSizeAndADigestThatTellsPicturesApart)
{
    const TBitmap a = Numbered(3, 2);
    TBitmap b = a;
    b.ScanLine(0)[0] ^= 1;
    const std::string shown = testing::PrintToString(a);
    EXPECT_EQ(shown.rfind("3 x 2 picture, digest ", 0), 0u) << shown;
    EXPECT_EQ(shown.size(), std::string("3 x 2 picture, digest ").size() + 8) << shown;
    EXPECT_EQ(testing::PrintToString(Numbered(3, 2)), shown);
    EXPECT_NE(testing::PrintToString(b), shown);
}

} // namespace
