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
    // half-blended edge would come out as a different colour there. Smooth
    // objects are blended instead, in grey levels: coloured fringes would
    // not suit a picture.
    font.setStyleStrategy(settings.SmoothEdges
                              ? QFont::StyleStrategy(QFont::PreferAntialias | QFont::NoSubpixelAntialias)
                              : QFont::NoAntialias);
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

QFont TObjectFont::Font(const TObjectSettings& settings) { return MakeFont(settings, Points(settings)); }

bool TObjectFont::DrawLines(TBitmap& image, const TObjectSettings& settings, TToolColor color,
                            const TTextLayout& layout)
{
    if (image.Empty() || settings.Lines.empty())
        return false;
    QImage target = ImageOf(image);
    QPainter painter(&target);
    return DrawLines(painter, settings, color, layout);
}

bool TObjectFont::DrawLines(QPainter& painter, const TObjectSettings& settings, TToolColor color,
                            const TTextLayout& layout)
{
    if (settings.Lines.empty())
        return false;
    const QFont font = MakeFont(settings, Points(settings));
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, settings.SmoothEdges);
    painter.setFont(font);
    painter.setPen(ToQColor(color));
    const QFontMetrics metrics = painter.fontMetrics();
    const int height = metrics.height();
    const int width = layout.Right - layout.Left;
    bool cut = false;
    int top = layout.Top;
    for (std::size_t i = 0; i < settings.Lines.size(); ++i) {
        // Text that is not valid UTF-8 shows replacement characters rather
        // than vanishing.
        const QString line = QString::fromUtf8(settings.Lines[i]);
        int bottom = top + height + 2;
        if (layout.BottomLimit)
            bottom = std::min(bottom, *layout.BottomLimit);
        if (bottom > top && width > 0) {
            const QRect box(layout.Left, top, width, bottom - top);
            painter.setClipRect(box);
            if (layout.Ground)
                painter.fillRect(box, ToQColor(*layout.Ground));
            const int advance = metrics.horizontalAdvance(line);
            const int left = settings.Align == TTextAlign::Center ? layout.Left + (width - advance) / 2 : layout.Left;
            painter.drawText(QPoint(left, top + metrics.ascent()), line);
            cut = cut || advance > width || bottom - top < height;
        } else {
            cut = true;
        }
        top = std::max(top, bottom);
        if (layout.BottomLimit && top >= *layout.BottomLimit) {
            cut = cut || i + 1 < settings.Lines.size();
            break;
        }
    }
    painter.restore();
    return cut;
}

void DrawPolygon(TBitmap& image, const QPolygonF& polygon, TToolColor fill, TToolColor outline, int penWidth)
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
    painter.drawPolygon(polygon);
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
