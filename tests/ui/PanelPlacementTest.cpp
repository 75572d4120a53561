#include "PanelPlacement.h"

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
