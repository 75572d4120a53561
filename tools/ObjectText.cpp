#include "tools/ObjectText.h"

#include "tools/DabShape.h"
#include "tools/PictureImage.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPolygon>

#include <algorithm>

namespace {

QFont MakeFont(const TObjectSettings& settings, int points)
{
    QFont font;
    if (!settings.FontName.empty())
        font.setFamily(QString::fromUtf8(settings.FontName));
    font.setPixelSize(TObjectFont::PixelSize(points));
    font.setBold(settings.Bold);
    font.setItalic(settings.Italic);
    font.setUnderline(settings.Underline);
    // Solid glyphs: a masked object ORs its pixels into the layer, and a
    // half-blended edge would come out as a different colour there.
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

} // namespace

int TObjectFont::PixelSize(int points) { return std::max(1, RoundHalfEven(points * 96.0 / 72.0)); }

int TObjectFont::Points(const TObjectSettings& settings)
{
    if (settings.FontSize > 0)
        LastPoints = settings.FontSize;
    return LastPoints;
}

int TObjectFont::LineHeight(const TObjectSettings& settings)
{
    return QFontMetrics(MakeFont(settings, Points(settings))).height();
}

void TObjectFont::DrawLines(TBitmap& image, const TObjectSettings& settings, TToolColor color,
                            const TTextLayout& layout)
{
    if (image.Empty() || settings.Lines.empty())
        return;
    const QFont font = MakeFont(settings, Points(settings));
    QImage target = ImageOf(image);
    QPainter painter(&target);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    painter.setFont(font);
    painter.setPen(ToQColor(color));
    const QFontMetrics metrics = painter.fontMetrics();
    const int height = metrics.height();
    int top = layout.Top;
    for (const std::string& line : settings.Lines) {
        int bottom = top + height + 2;
        if (layout.BottomLimit)
            bottom = std::min(bottom, *layout.BottomLimit);
        if (bottom > top && layout.Right > layout.Left) {
            const QRect box(layout.Left, top, layout.Right - layout.Left, bottom - top);
            painter.setClipRect(box);
            if (layout.Ground)
                painter.fillRect(box, ToQColor(*layout.Ground));
            // Text that is not valid UTF-8 shows replacement characters
            // rather than vanishing.
            painter.drawText(QPoint(layout.Left, top + metrics.ascent()), QString::fromUtf8(line));
        }
        top = std::max(top, bottom);
        if (layout.BottomLimit && top >= *layout.BottomLimit)
            break;
    }
}

void DrawTriangle(TBitmap& image, const std::array<std::array<int, 2>, 3>& corners, TToolColor fill, TToolColor outline,
                  int penWidth)
{
    if (image.Empty())
        return;
    QImage target = ImageOf(image);
    QPainter painter(&target);
    painter.setRenderHint(QPainter::Antialiasing, false);
    QPen pen(ToQColor(outline));
    pen.setWidth(std::max(1, penWidth));
    pen.setJoinStyle(Qt::RoundJoin);
    painter.setPen(pen);
    painter.setBrush(ToQColor(fill));
    QPolygon polygon;
    for (const auto& corner : corners)
        polygon << QPoint(corner[0], corner[1]);
    painter.drawPolygon(polygon);
}
