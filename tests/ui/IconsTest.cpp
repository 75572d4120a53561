#include "ui/Icons.h"

#include <QImage>
#include <QPainter>
#include <QSet>
#include <QSvgRenderer>

#include <gtest/gtest.h>

#include <cmath>

namespace {

QImage Render(TIcon icon, int size)
{
    QSvgRenderer renderer(IconResource(icon));
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter);
    return image;
}

double Luminance(QColor c)
{
    auto channel = [](double v) {
        v /= 255.0;
        return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.red()) + 0.7152 * channel(c.green()) + 0.0722 * channel(c.blue());
}

double Contrast(QColor a, QColor b)
{
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// Opaque pixels of the icon that stand out from a window face.
int PixelsStandingOutFrom(const QImage& image, QColor face)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.alpha() > 200 && Contrast(c, face) >= 2.0)
                ++count;
        }
    return count;
}

} // namespace

TEST(Icons, EveryIconIsAValidSvgOnTheCommonGrid)
{
    ASSERT_EQ(AllIcons().size(), 31u);
    for (TIcon icon : AllIcons()) {
        SCOPED_TRACE(IconResource(icon).toStdString());
        QSvgRenderer renderer(IconResource(icon));
        ASSERT_TRUE(renderer.isValid());
        EXPECT_EQ(renderer.viewBoxF(), QRectF(0, 0, 24, 24));
    }
}

TEST(Icons, NamesAndPicturesAreAllDifferent)
{
    QSet<QString> names;
    QSet<QByteArray> pictures;
    for (TIcon icon : AllIcons()) {
        names.insert(IconResource(icon));
        const QImage image = Render(icon, 24);
        pictures.insert(QByteArray(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes()));
    }
    EXPECT_EQ(names.size(), static_cast<qsizetype>(AllIcons().size()));
    EXPECT_EQ(pictures.size(), static_cast<qsizetype>(AllIcons().size()));
}

TEST(Icons, EveryIconReadsOnLightAndDarkFacesAtSmallSizes)
{
    const QColor light(0xf6, 0xf6, 0xf6), dark(0x2a, 0x2e, 0x32);
    for (int size : {16, 24}) {
        for (TIcon icon : AllIcons()) {
            SCOPED_TRACE(IconResource(icon).toStdString() + " at " + std::to_string(size));
            const QImage image = Render(icon, size);
            const int area = size * size;
            // A glyph of at least a tenth of its square stands out on both.
            EXPECT_GE(PixelsStandingOutFrom(image, light), area / 10);
            EXPECT_GE(PixelsStandingOutFrom(image, dark), area / 10);
        }
    }
}

TEST(Icons, IconsLoadThroughQIconAtAnySize)
{
    for (TIcon icon : AllIcons()) {
        SCOPED_TRACE(IconResource(icon).toStdString());
        const QIcon qicon = IconFor(icon);
        ASSERT_FALSE(qicon.isNull());
        for (int size : {16, 24, 32, 48}) {
            const QPixmap pixmap = qicon.pixmap(QSize(size, size));
            EXPECT_EQ(pixmap.size(), QSize(size, size));
        }
        // A device pixel ratio of 2 gets twice the pixels, not a blown-up copy.
        const QPixmap sharp = qicon.pixmap(QSize(24, 24), 2.0);
        EXPECT_EQ(sharp.size(), QSize(48, 48));
    }
}

TEST(Icons, EveryPaletteToolHasItsOwnIcon)
{
    const int codes[] = {1, 2, 3, 4, 5, 6, 23, 24, 27, 28, 29, 30, 31, 32, 41, 42};
    QSet<int> icons;
    for (int code : codes) {
        const std::optional<TIcon> icon = ToolIcon(TToolCode(code));
        ASSERT_TRUE(icon.has_value()) << code;
        icons.insert(static_cast<int>(*icon));
    }
    EXPECT_EQ(icons.size(), 16);
    EXPECT_EQ(ToolIcon(TToolCode::Hand), TIcon::Hand);
    EXPECT_EQ(ToolIcon(TToolCode::Dropper), TIcon::Dropper);
    EXPECT_EQ(ToolIcon(TToolCode::BalloonRect), TIcon::BalloonRectangle);
    for (int code : {0, 7, 22, 25, 26, 33, 40, 43, -1})
        EXPECT_FALSE(ToolIcon(TToolCode(code)).has_value()) << code;
}
