// The images of the placed objects: frames, interiors, masks, balloon
// geometry and where text may land. Text is judged by region, never by the
// glyphs of a particular font.
#include "tests/picture/PicturePrinter.h"
#include "tests/tools/ToolTestEnvironment.h"
#include "tools/Balloon.h"
#include "tools/BoxTools.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr TToolColor Red{255, 0, 0};
constexpr TToolColor Blue{0, 0, 255};
constexpr TToolColor Black{0, 0, 0};
constexpr TObjectColors Colors{Red, Blue};

// Box [left, right) x [top, bottom), as the images' geometry is given.
struct TArea {
    int Left, Top, Right, Bottom;
    bool Holds(int x, int y) const { return x >= Left && x < Right && y >= Top && y < Bottom; }
};

// Where in `area` pixels of one colour lie: their count, and whether any
// lies outside `allowed`.
struct TFound {
    int Count = 0;
    int Outside = 0;
    int LowestRow = -1;
};

TFound Find(const TBitmap& image, TToolColor color, TArea area, TArea allowed)
{
    TFound found;
    for (int y = area.Top; y < area.Bottom; ++y)
        for (int x = area.Left; x < area.Right; ++x)
            if (PixelAt(image, x, y) == color) {
                ++found.Count;
                found.Outside += !allowed.Holds(x, y);
                found.LowestRow = std::max(found.LowestRow, y);
            }
    return found;
}

TObjectSettings Text(std::vector<std::string> lines, int border = 1)
{
    TObjectSettings settings;
    settings.FontName = "DejaVu Sans";
    settings.BorderWidth = border;
    settings.Lines = std::move(lines);
    return settings;
}

// Lines that fill their line boxes: full blocks, wider than any box here.
const std::string Blocks = "\u2588\u2588\u2588\u2588\u2588\u2588\u2588\u2588\u2588\u2588\u2588\u2588\u2588\u2588\u2588";

} // namespace

TEST(ObjectImages, FramesLeaveTheBackColourInteriorTheyShould)
{
    struct TCase {
        int Width, Height, Border;
        TArea Interior;
    };
    const TCase cases[] = {
        {25, 25, 10, {10, 10, 15, 15}},
        {25, 25, 1, {1, 1, 24, 24}},
        {20, 11, 6, {6, 6, 14, 5}}, // thicker than half the box: no interior
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Border);
        TObjectImage image;
        TObjectFont font;
        BuildRectangleBox(image, c.Width, c.Height, Text({}, c.Border), Colors, font);
        const int interior =
            std::max(0, c.Interior.Right - c.Interior.Left) * std::max(0, c.Interior.Bottom - c.Interior.Top);
        const TFound back = Find(image.Paint, Blue, {0, 0, c.Width, c.Height}, c.Interior);
        EXPECT_EQ(back.Count, interior);
        EXPECT_EQ(back.Outside, 0);
        EXPECT_EQ(Find(image.Paint, Red, {0, 0, c.Width, c.Height}, {0, 0, c.Width, c.Height}).Count,
                  c.Width * c.Height - interior);
    }
}

TEST(ObjectImages, EllipseTextBoxesHaveTheirCornersOnTheEllipse)
{
    struct TCase {
        int Width, Height;
        TObjectBox Box;
    };
    const TCase cases[] = {
        {100, 50, {6, 14, 94, 36}},
        {20, 20, {3, 3, 17, 17}},
        {0, 0, {0, 0, 0, 0}},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(EllipseTextBox(c.Width, c.Height), c.Box) << c.Width << " x " << c.Height;
}

TEST(ObjectImages, TextStaysInsideItsLineBoxesWhateverIsTyped)
{
    struct TTyped {
        std::vector<std::string> Lines;
        // The line whose emoji a colour emoji font draws in their own
        // colours; -1 for none.
        int EmojiLine;
    };
    const TTyped typed[] = {
        {{"Hello", "second line"}, -1},
        {{"\u00c7a a \u00e9t\u00e9 \u00fcber na\u00efve"}, -1},
        {{"\u65e5\u672c\u8a9e \u4e2d\u6587 \ud55c\uad6d\uc5b4", "\U0001F642\U0001F680 emoji"}, 1},
        {{"\xff\xfe not UTF-8 \xc3", "tab\there", std::string("nul\0inside", 10)}, -1},
        {{"\u0645\u0631\u062d\u0628\u0627 \u05e9\u05dc\u05d5\u05dd", Blocks, Blocks, Blocks, Blocks, Blocks}, -1},
    };
    for (const auto& [lines, emojiLine] : typed) {
        SCOPED_TRACE(lines.front());
        TObjectFont font;
        // Rectangle box 120 x 70: text inside (10, 10) - (110, 60), drawn on
        // the back colour of the interior.
        TObjectImage box;
        BuildRectangleBox(box, 120, 70, Text(lines), Colors, font);
        const TFound inBox = Find(box.Paint, Red, {1, 1, 119, 69}, {10, 10, 110, 60});
        EXPECT_GT(inBox.Count, 0);
        EXPECT_EQ(inBox.Outside, 0);

        // Text tool 100 x 50: from the top-left corner, down to row 40.
        TObjectImage text;
        BuildTextBox(text, 100, 50, Text(lines), Colors, font);
        const TFound inText = Find(text.Paint, Red, {0, 0, 100, 50}, {0, 0, 100, 40});
        EXPECT_GT(inText.Count, 0);
        EXPECT_EQ(inText.Outside, 0);
        // Every other pixel is the front or the back colour.
        const int pitch = font.LineHeight(Text(lines)) + 2;
        const TArea emoji{0, emojiLine * pitch, 100, emojiLine < 0 ? -1 : (emojiLine + 1) * pitch};
        int twoColours = 0;
        for (int y = 0; y < 50; ++y)
            for (int x = 0; x < 100; ++x)
                twoColours +=
                    emoji.Holds(x, y) || PixelAt(text.Paint, x, y) == Red || PixelAt(text.Paint, x, y) == Blue;
        EXPECT_EQ(twoColours, 100 * 50);

        // Rectangular balloon at (0, 15) with its tail up at (0, 0): text
        // inside the body inset by Corner div 2 = 6.
        TObjectImage balloon;
        BuildBalloon(balloon, TBalloonKind::Rectangle, TBalloonShape{0, 15, 100, 50, 0, 0}, Text(lines), Colors, font);
        const TFound inBalloon = Find(balloon.Paint, Red, {1, 16, 99, 64}, {6, 21, 94, 59});
        EXPECT_GT(inBalloon.Count, 0);
        EXPECT_EQ(inBalloon.Outside, 0);
    }
}

TEST(ObjectImages, TheTextToolCutsTheLineThatCrossesRowForty)
{
    TObjectFont font;
    const TObjectSettings settings = Text({Blocks, Blocks, Blocks});
    const int line = font.LineHeight(settings) + 2;
    // The second line box must straddle row 40 for the cut to show.
    ASSERT_LT(line, 40);
    ASSERT_GT(2 * line, 40);
    TObjectImage image;
    BuildTextBox(image, 100, 50, settings, Colors, font);
    const TFound text = Find(image.Paint, Red, {0, 0, 100, 50}, {0, 0, 100, 40});
    EXPECT_EQ(text.Outside, 0);
    EXPECT_EQ(text.LowestRow, 39);
    EXPECT_EQ(Find(image.Paint, Blue, {0, 40, 100, 50}, {}).Count, 100 * 10);
}

TEST(ObjectImages, AFreshBalloonHasItsTailBaseAcrossTheBodyCentre)
{
    const TBalloonShape fresh{200, 100, 100, 50, 200, 85};
    EXPECT_EQ(BalloonCorner(fresh), 12);
    EXPECT_EQ(BalloonBounds(fresh), (TObjectBox{200, 85, 300, 150}));

    struct TCase {
        TToolPoint Centre, Tip;
        int Corner;
        std::optional<std::array<TToolPoint, 2>> Base;
    };
    const TCase cases[] = {
        // The fresh balloon in its own image: centre (50, 40), tip (0, 0);
        // D = 64, a = -9, b = -7 (truncated), so the base is centred on the
        // body centre, (250, 125) in the picture.
        {{50, 40}, {0, 0}, 12, std::array<TToolPoint, 2>{TToolPoint{57, 31}, TToolPoint{43, 49}}},
        {{0, 0}, {100, 0}, 10, std::array<TToolPoint, 2>{TToolPoint{0, 10}, TToolPoint{0, -10}}},
        {{0, 0}, {0, -30}, 10, std::array<TToolPoint, 2>{TToolPoint{10, 0}, TToolPoint{-10, 0}}},
        {{5, 5}, {5, 5}, 12, std::nullopt}, // the tip on the centre: no tail
    };
    for (const TCase& c : cases) {
        const auto base = TailBase(c.Centre, c.Tip, c.Corner);
        ASSERT_EQ(base.has_value(), c.Base.has_value());
        if (base) {
            EXPECT_EQ(*base, *c.Base);
        }
    }

    // The tail shows between the body and its tip, and nowhere else above
    // the body.
    TObjectImage image;
    TObjectFont font;
    BuildBalloon(image, TBalloonKind::Rectangle, fresh, Text({}), Colors, font);
    TBitmap layer(320, 160);
    layer.Fill(128, 128, 128);
    WriteObjectImage(layer, image, 200, 85);
    const TToolColor grey{128, 128, 128};
    EXPECT_NE(PixelAt(layer, 211, 94), grey);
    EXPECT_EQ(PixelAt(layer, 260, 92), grey);
    EXPECT_EQ(PixelAt(layer, 250, 125), Blue);
}

TEST(ObjectImages, BalloonFramesAreTheBorderWidthAndTheInteriorIsTheBackColour)
{
    struct TCase {
        TBalloonKind Kind;
        int Border;
    };
    const TCase cases[] = {
        {TBalloonKind::Rectangle, 1}, {TBalloonKind::Rectangle, 4}, {TBalloonKind::Rounded, 1},
        {TBalloonKind::Rounded, 4},   {TBalloonKind::Ellipse, 1},   {TBalloonKind::Ellipse, 4},
    };
    // The tail points down-right, out of the way of the left edge's middle.
    const TBalloonShape shape{0, 0, 100, 60, 130, 90};
    for (const TCase& c : cases) {
        SCOPED_TRACE(int(c.Kind) * 10 + c.Border);
        TObjectImage image;
        TObjectFont font;
        BuildBalloon(image, c.Kind, shape, Text({}, c.Border), Colors, font);
        // Along the middle row from the left edge: the frame, then the back
        // colour up to the centre.
        for (int x = 0; x < c.Border; ++x)
            EXPECT_EQ(PixelAt(image.Paint, x, 30), Red) << x;
        for (int x = c.Border; x <= 50; ++x)
            EXPECT_EQ(PixelAt(image.Paint, x, 30), Blue) << x;
        // An empty memo writes no text: no front colour within the interior.
        EXPECT_EQ(Find(image.Paint, Red, {15, 15, 85, 45}, {}).Count, 0);
        // The tail, drawn from the centre towards (130, 90), shows near its tip.
        EXPECT_EQ(PixelAt(image.Mask, 120, 82), Black);
        // Outside the body and the tail the mask keeps the layer.
        EXPECT_EQ(PixelAt(image.Mask, 5, 85), (TToolColor{255, 255, 255}));
    }
}

TEST(ObjectImages, ATailTipOnTheBodyCentreDrawsNoTail)
{
    for (TBalloonKind kind : {TBalloonKind::Rectangle, TBalloonKind::Rounded, TBalloonKind::Ellipse}) {
        TObjectImage withTail, without;
        TObjectFont font;
        BuildBalloon(without, kind, TBalloonShape{0, 0, 80, 60, 40, 30}, Text({"x"}), Colors, font);
        EXPECT_EQ(without.Paint.Width(), 80);
        EXPECT_EQ(without.Paint.Height(), 60);
        // The same body with a tail inside it looks the same.
        BuildBalloon(withTail, kind, TBalloonShape{0, 0, 80, 60, 45, 35}, Text({"x"}), Colors, font);
        EXPECT_SAME_PICTURE(without.Paint, withTail.Paint);
    }
}
