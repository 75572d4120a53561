#include "ui/PreviewGeometry.h"

#include <gtest/gtest.h>

namespace {

TEST(PreviewGeometry, TheRegionIsCentredAndHeldInsideThePicture)
{
    struct TCase {
        int Centre, Area, Picture, Expected;
    } cases[] = {
        {1000, 400, 3000, 800}, // the middle
        {100, 400, 3000, 0}, // near the start
        {2950, 400, 3000, 2600}, // near the end
        {-50, 400, 3000, 0}, // outside the picture
        {9999, 400, 3000, 2600}, {200, 400, 300, 0}, // the area takes the whole picture
        {150, 300, 300, 0},      {201, 401, 3000, 1}, // an odd area: the centre pixel has 200 on its left
    };
    for (const TCase& c : cases)
        EXPECT_EQ(CentredScroll(c.Centre, c.Area, c.Picture), c.Expected)
            << c.Centre << " in " << c.Area << " of " << c.Picture;
}

TEST(PreviewGeometry, FitKeepsTheShapeAndNeverEnlarges)
{
    struct TCase {
        QSize Picture, Area, Fit;
    } cases[] = {
        {{5640, 3172}, {1400, 746}, {1326, 746}}, // the height fills the area
        {{5640, 3172}, {1400, 900}, {1400, 787}}, // the width does
        {{300, 200}, {400, 400}, {300, 200}}, // fits already
        {{400, 400}, {400, 400}, {400, 400}},     {{10000, 3}, {100, 100}, {100, 1}}, // never less than a pixel
        {{3, 10000}, {100, 100}, {1, 100}},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(FitSize(c.Picture, c.Area), c.Fit) << c.Picture.width() << "x" << c.Picture.height();
        EXPECT_EQ(FitOrigin(c.Fit, c.Area),
                  QPoint((c.Area.width() - c.Fit.width()) / 2, (c.Area.height() - c.Fit.height()) / 2));
    }
}

TEST(PreviewGeometry, AFitPointMapsToThePicturePixelItShows)
{
    const QSize picture(1000, 500), area(300, 300), fit(200, 100); // 5:1, centred at 50, 100
    struct TCase {
        QPoint At, Expected;
    } cases[] = {
        {{50, 100}, {2, 2}}, // the first reduced pixel: the middle of its 5 x 5
        {{149, 149}, {497, 247}}, {{249, 199}, {997, 497}}, // the last
        {{0, 0}, {0, 0}}, // beside the picture: held inside it
        {{299, 299}, {999, 499}},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(FitToPicture(c.At, picture, fit, area), c.Expected) << c.At.x() << "," << c.At.y();
}

} // namespace
