#include "ui/Cursors.h"

#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <gtest/gtest.h>

TEST(Cursors, HandCursorsHaveWholeDevicePixelsAtEveryRatio)
{
    for (int id : {crHandFlat, crHandGrab}) {
        for (qreal ratio : {1.0, 1.5, 2.0}) {
            const QPixmap pixmap = HandCursorPixmap(id, ratio);
            const int pixels = static_cast<int>(std::ceil(HandCursorSize * ratio));
            EXPECT_EQ(pixmap.size(), QSize(pixels, pixels)) << id << " " << ratio;
            EXPECT_EQ(pixmap.devicePixelRatio(), ratio);
        }
    }
}

TEST(Cursors, TheHotSpotLiesOnTheWhiteOfThePalm)
{
    for (int id : {crHandFlat, crHandGrab}) {
        const QPoint hot = HandCursorHotSpot(id);
        for (qreal ratio : {1.0, 2.0}) {
            const QImage image = HandCursorPixmap(id, ratio).toImage();
            const QColor c = image.pixelColor(QPointF(hot * ratio).toPoint());
            EXPECT_EQ(c.alpha(), 255) << id;
            EXPECT_GT(c.lightness(), 240) << id;
        }
    }
}

namespace {

// How far the coverage of the pixels is from all or nothing: 0 for a picture
// of whole pixels, 127 for each pixel an edge halves.
int Blur(const QImage& image)
{
    int blur = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const int alpha = image.pixelColor(x, y).alpha();
            blur += std::min(alpha, 255 - alpha);
        }
    return blur;
}

} // namespace

TEST(Cursors, HandsSitOnWholePixelsAtOneToOne)
{
    // Drawn on whole pixels, the straight edges are sharp; the same artwork
    // half a pixel off blurs every one of them. (The curves blur either way.)
    for (const char* resource : {":/cursors/handflat.svg", ":/cursors/handgrab.svg"}) {
        QSvgRenderer renderer(QString::fromLatin1(resource));
        QImage shifted(HandCursorSize, HandCursorSize, QImage::Format_ARGB32);
        shifted.fill(Qt::transparent);
        QPainter painter(&shifted);
        painter.translate(0.5, 0.5);
        renderer.render(&painter);
        painter.end();

        const int id = QString::fromLatin1(resource).contains("flat") ? crHandFlat : crHandGrab;
        const QImage aligned = HandCursorPixmap(id, 1.0).toImage().convertToFormat(QImage::Format_ARGB32);
        EXPECT_LT(Blur(aligned) * 4, Blur(shifted) * 3) << resource;
    }
}

TEST(Cursors, IdentifiersGiveTheirCursors)
{
    const QCursor flat = CursorFor(crHandFlat, 1.0);
    const QCursor grab = CursorFor(crHandGrab, 1.0);
    EXPECT_EQ(flat.shape(), Qt::BitmapCursor);
    EXPECT_EQ(grab.shape(), Qt::BitmapCursor);
    EXPECT_EQ(flat.hotSpot(), HandCursorHotSpot(crHandFlat));
    EXPECT_NE(flat.pixmap().toImage(), grab.pixmap().toImage());
    EXPECT_EQ(CursorFor(crHandGrab, 2.0).pixmap().devicePixelRatio(), 2.0);

    EXPECT_EQ(CursorFor(crCross).shape(), Qt::CrossCursor);
    EXPECT_EQ(CursorFor(crHourGlass).shape(), Qt::WaitCursor);
    EXPECT_EQ(CursorFor(crArrow).shape(), Qt::ArrowCursor);
    EXPECT_EQ(CursorFor(crDefault).shape(), Qt::ArrowCursor);
    EXPECT_EQ(CursorFor(99).shape(), Qt::ArrowCursor);
    EXPECT_TRUE(HandCursorPixmap(crCross, 1.0).isNull());
}
