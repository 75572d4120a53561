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
