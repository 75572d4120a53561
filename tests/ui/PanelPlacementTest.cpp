#include "ui/PanelPlacement.h"

#include <gtest/gtest.h>

namespace {

const TPanelSizes Sizes{QSize(80, 300), QSize(235, 154), QSize(235, 171), QSize(235, 200)};

TEST(PanelPlacement, PanelsStackAtTheRightEdgeOnARoomyDesktop)
{
    const TPanelPlaces places = PanelPlaces(QRect(0, 0, 1600, 1000), Sizes, 17);
    // Palette: a third of the remaining height, (1000 - 300) / 3 = 233.
    EXPECT_EQ(places.Tools, QRect(0, 233, 80, 300));
    // The stack is 525 high: it starts at (1000 - 525) / 3 = 158.
    EXPECT_EQ(places.History, QRect(1600 - 235 - 17, 158, 235, 154));
    EXPECT_EQ(places.Layers, QRect(1348, 158 + 154, 235, 171));
    EXPECT_EQ(places.ToolOption, QRect(1348, 158 + 154 + 171, 235, 200));
}

TEST(PanelPlacement, APanelIsMovedIntoTheWorkAreaWithItsSizeKept)
{
    const QRect area(0, 30, 960, 510); // a 1920 x 1080 screen at scale 2, below a 30-pixel bar
    struct TCase {
        QRect place, expected;
    };
    const TCase cases[] = {
        {QRect(100, 100, 200, 150), QRect(100, 100, 200, 150)}, // inside: unchanged
        {QRect(700, 360, 235, 296), QRect(700, 244, 235, 296)}, // past the bottom
        {QRect(850, 0, 235, 154), QRect(725, 30, 235, 154)}, // past the right and above the top
        {QRect(-40, 200, 80, 300), QRect(0, 200, 80, 300)}, // left of the screen
        {QRect(10, 10, 300, 700), QRect(10, 30, 300, 700)}, // taller than the area: top inside
    };
    for (const TCase& c : cases)
        EXPECT_EQ(KeptInside(c.place, area), c.expected) << c.place.x() << "," << c.place.y();

    // The spread of a crowded column, kept inside, ends inside.
    const TPanelPlaces places =
        PanelPlaces(QRect(0, 0, 960, 540), {QSize(80, 300), QSize(235, 154), QSize(235, 171), QSize(235, 296)}, 17);
    for (const QRect& r : {places.Tools, places.History, places.Layers, places.ToolOption})
        EXPECT_TRUE(area.contains(KeptInside(r, area))) << r.y();
}

TEST(PanelPlacement, TheColumnTakesTheHistoryPanelsWidth)
{
    TPanelSizes sizes = Sizes;
    sizes.Layers = QSize(300, 171);
    sizes.ToolOption = QSize(180, 200);
    const TPanelPlaces places = PanelPlaces(QRect(0, 0, 1600, 1000), sizes, 17);
    EXPECT_EQ(places.Layers.width(), 235);
    EXPECT_EQ(places.ToolOption.width(), 235);
    EXPECT_EQ(places.Layers.left(), places.History.left());
}

TEST(PanelPlacement, AShortDesktopSpreadsThePanelsByThirds)
{
    // A 500-pixel desktop below a 200-pixel screen offset: 525 does not fit.
    const TPanelPlaces places = PanelPlaces(QRect(-1280, 200, 2560, 500), Sizes, 17);
    EXPECT_EQ(places.History.topLeft(), QPoint(-1280 + 2560 - 235 - 17, 200));
    EXPECT_EQ(places.Layers.top(), 200 + 500 / 3);
    EXPECT_EQ(places.ToolOption.top(), 200 + 1000 / 3);
    EXPECT_EQ(places.Tools.topLeft(), QPoint(-1280, 200 + 200 / 3));
}

} // namespace

namespace {

TEST(PreviewPlacement, EachModeAgainstTheWorkArea)
{
    const TPreviewWindowSizes sizes{QSize(517, 438), QSize(453, 400), QSize(1600, 1200)};
    const QRect work(0, 0, 1920, 1040);
    // The designed size, centred: ((1920 - 517) / 2, (1040 - 438) / 2).
    const QRect designed(701, 301, 517, 438);
    constexpr int Custom = 0, Maximized = 1, Last = 2;
    struct TCase {
        const char* What;
        QRect Work;
        TProgramOptions Options; // mode, custom width and height, history, last top, left, width, height
        QRect Expected;
    };
    const TCase cases[] = {
        {"custom, centred", work, {Custom, 459, 451, 50, 0, 0, 0, 0}, QRect(730, 294, 459, 451)},
        {"custom as wide as the work area", work, {Custom, 1920, 451, 50, 0, 0, 0, 0}, designed},
        {"custom as high as the work area", work, {Custom, 459, 1040, 50, 0, 0, 0, 0}, designed},
        {"custom below the minimum: centred, then grown",
         work,
         {Custom, 300, 200, 50, 0, 0, 0, 0},
         QRect(810, 420, 453, 400)},
        {"custom on a work area below a bar",
         QRect(0, 30, 1280, 994),
         {Custom, 459, 451, 50, 0, 0, 0, 0},
         QRect(410, 286, 459, 451)},
        {"maximized, held to the maximum width", work, {Maximized, 459, 451, 50, 0, 0, 0, 0}, QRect(0, 0, 1600, 1040)},
        {"maximized on a small screen",
         QRect(0, 0, 800, 600),
         {Maximized, 459, 451, 50, 0, 0, 0, 0},
         QRect(0, 0, 800, 600)},
        {"maximized on a screen below the minimum",
         QRect(0, 0, 400, 300),
         {Maximized, 459, 451, 50, 0, 0, 0, 0},
         QRect(0, 0, 453, 400)},
        {"last, inside", work, {Last, 459, 451, 50, 100, 200, 700, 500}, QRect(200, 100, 700, 500)},
        {"last, corner on the right and bottom edges: moved back onto the work area",
         work,
         {Last, 459, 451, 50, 1040, 1920, 700, 500},
         QRect(1220, 540, 700, 500)},
        {"last, partly past the right edge",
         work,
         {Last, 459, 451, 50, 100, 1500, 700, 500},
         QRect(1220, 100, 700, 500)},
        {"last, as large as the work area", work, {Last, 459, 451, 50, 0, 0, 1920, 1040}, QRect(0, 0, 1600, 1040)},
        {"last, off the left edge", work, {Last, 459, 451, 50, 100, -1, 700, 500}, designed},
        {"last, off the top edge", work, {Last, 459, 451, 50, -1, 200, 700, 500}, designed},
        {"last, past the right edge", work, {Last, 459, 451, 50, 100, 1921, 700, 500}, designed},
        {"last, past the bottom edge", work, {Last, 459, 451, 50, 1041, 200, 700, 500}, designed},
        {"last, wider than the work area", work, {Last, 459, 451, 50, 100, 200, 1921, 500}, designed},
        {"last, higher than the work area", work, {Last, 459, 451, 50, 100, 200, 700, 1041}, designed},
        {"last, never stored", work, {Last, 459, 451, 50, 0, 0, 0, 0}, designed},
        {"last, no height", work, {Last, 459, 451, 50, 100, 200, 700, 0}, designed},
        {"an unknown mode", work, {7, 459, 451, 50, 100, 200, 700, 500}, designed},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(PreviewPlace(c.Options, c.Work, sizes), c.Expected) << c.What;
}

// With the frame the window system adds (here a title bar of 24 and borders
// of 2), the framed window lies on the work area: the rectangle's corner is
// the frame's, its size the inside's.
TEST(PreviewPlacement, TheFramedWindowStaysOnTheWorkArea)
{
    const TPreviewWindowSizes sizes{QSize(517, 438), QSize(453, 400), QSize(1600, 1200)};
    const QMargins frame(2, 24, 2, 2);
    const QRect half(0, 0, 800, 500); // a 1600 x 1000 screen at twice the density
    constexpr int Custom = 0, Maximized = 1, Last = 2;
    struct TCase {
        const char* What;
        QRect Work;
        TProgramOptions Options;
        QRect Expected;
    };
    const TCase cases[] = {
        {"maximized", half, {Maximized, 459, 451, 50, 0, 0, 0, 0}, QRect(0, 0, 796, 474)},
        {"designed, centred", half, {7, 459, 451, 50, 0, 0, 0, 0}, QRect(141, 31, 517, 438)},
        {"custom, just below the work area: smaller", half, {Custom, 799, 499, 50, 0, 0, 0, 0}, QRect(0, 0, 796, 474)},
        {"last, at the far corner", half, {Last, 459, 451, 50, 499, 799, 460, 420}, QRect(336, 54, 460, 420)},
        {"a work area below a bar",
         QRect(0, 30, 800, 470),
         {Maximized, 459, 451, 50, 0, 0, 0, 0},
         QRect(0, 30, 796, 444)},
        {"a screen below the minimum: the corner stays on it",
         QRect(0, 0, 400, 300),
         {Maximized, 459, 451, 50, 0, 0, 0, 0},
         QRect(0, 0, 453, 400)},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(PreviewPlace(c.Options, c.Work, sizes, frame), c.Expected) << c.What;
}

} // namespace
