#include "tools/BoxTools.h"

#include "tools/BalloonBody.h"
#include "tools/DabShape.h"
#include "tools/ObjectCanvas.h"
#include "tools/PictureImage.h"

#include <QPainter>

#include <cmath>

namespace {

constexpr TToolColor Black{0, 0, 0};

TObjectBox StartBox(TToolCode code)
{
    if (code == TToolCode::Text)
        return TObjectBox{0, 0, 100, 50};
    return TObjectBox{0, 0, 20, 20};
}

// Wrapped lines, laid out as a block in the region; true when they do not
// all fit.
bool DrawWrapped(QPainter& painter, const TObjectSettings& settings, TToolColor color, TObjectFont& font,
                 const TTextRegion& region)
{
    const QFont qfont = font.Font(settings);
    const TPlacedText text = PlaceText(TTextFlow(settings.Lines, qfont), region, true);
    painter.save();
    painter.setFont(qfont);
    painter.setPen(ToQColor(color));
    painter.setRenderHint(QPainter::TextAntialiasing, settings.SmoothEdges);
    DrawPlacedText(painter, text, settings.Align, region);
    painter.restore();
    return !text.Fits;
}

bool DrawWrapped(TBitmap& image, const TObjectSettings& settings, TToolColor color, TObjectFont& font,
                 const TTextRegion& region)
{
    QImage target = ImageOf(image);
    QPainter painter(&target);
    return DrawWrapped(painter, settings, color, font, region);
}

// The region a box's wrapped lines run down from the top of.
TTextRegion Rows(int left, int top, int right, int bottom)
{
    return {double(left), double(top), double(right), double(bottom), false, true};
}

} // namespace

TObjectBox EllipseTextBox(int width, int height)
{
    const int cx = width / 2;
    const int cy = height / 2;
    const int d = RoundHalfEven(std::sqrt(double(width) * width + double(height) * height));
    if (d <= 0)
        return TObjectBox{cx, cy, cx, cy};
    const int hw = (width * width / d) / 2;
    const int hh = (height * height / d) / 2;
    return TObjectBox{cx - hw, cy - hh, cx + hw, cy + hh};
}

void BuildRectangleBox(TObjectImage& image, int width, int height, const TObjectSettings& settings,
                       TObjectColors colors, TObjectFont& font)
{
    const int bw = settings.BorderWidth;
    image.Masked = false;
    image.Paint = TBitmap(width, height);
    image.Blended = false;
    FillBox(image.Paint, 0, 0, width, height, colors.Front);
    FillBox(image.Paint, bw, bw, width - bw, height - bw, colors.Back);
    if (settings.WrapWords)
        image.TextCut = DrawWrapped(image.Paint, settings, colors.Front, font,
                                    Rows(TextMargin, TextMargin, width - TextMargin, height - TextMargin));
    else
        image.TextCut =
            font.DrawLines(image.Paint, settings, colors.Front,
                           TTextLayout{TextMargin, width - TextMargin, TextMargin, height - TextMargin, colors.Back});
}

void BuildEllipseBox(TObjectImage& image, int width, int height, const TObjectSettings& settings, TObjectColors colors,
                     TObjectFont& font)
{
    const int bw = settings.BorderWidth;
    if (settings.SmoothEdges) {
        // A smooth ellipse is painted and blended: its frame lies inside the
        // box as the stair-stepped one's does.
        TObjectCanvas canvas(width, height, true);
        QPainter& painter = canvas.Painter();
        painter.setPen(Qt::NoPen);
        painter.setBrush(ToQColor(colors.Front));
        painter.drawEllipse(QRectF(0, 0, width, height));
        if (width - 2 * bw > 0 && height - 2 * bw > 0) {
            painter.setBrush(ToQColor(colors.Back));
            painter.drawEllipse(QRectF(bw, bw, width - 2 * bw, height - 2 * bw));
        }
        const int pixels = font.Font(settings).pixelSize();
        if (settings.WrapWords) {
            image.TextCut = DrawWrapped(painter, settings, colors.Front, font,
                                        BalloonTextRegion(TBalloonKind::Ellipse, width, height, bw, pixels));
        } else {
            const TObjectBox text = EllipseTextBox(width, height);
            image.TextCut =
                font.DrawLines(painter, settings, colors.Front, TTextLayout{text.Left, text.Right, text.Top, {}, {}});
        }
        canvas.Finish(image);
        return;
    }
    image.Masked = true;
    image.Blended = false;
    image.Mask = TBitmap(width, height);
    image.Mask.Fill(255, 255, 255);
    image.Paint = TBitmap(width, height);
    const TShape outer = FilledEllipse(width, height);
    FillShape(image.Mask, outer, 0, 0, Black);
    FillShape(image.Paint, outer, 0, 0, colors.Front);
    // A frame as wide as half the box leaves no interior.
    if (width - 2 * bw > 0 && height - 2 * bw > 0)
        FillShape(image.Paint, FilledEllipse(width - 2 * bw, height - 2 * bw), bw, bw, colors.Back);
    if (settings.WrapWords) {
        const int pixels = font.Font(settings).pixelSize();
        image.TextCut = DrawWrapped(image.Paint, settings, colors.Front, font,
                                    BalloonTextRegion(TBalloonKind::Ellipse, width, height, bw, pixels));
        return;
    }
    const TObjectBox text = EllipseTextBox(width, height);
    image.TextCut =
        font.DrawLines(image.Paint, settings, colors.Front, TTextLayout{text.Left, text.Right, text.Top, {}, {}});
}

void BuildTextBox(TObjectImage& image, int width, int height, const TObjectSettings& settings, TObjectColors colors,
                  TObjectFont& font)
{
    image.Masked = false;
    image.Blended = false;
    image.Paint = TBitmap(width, height);
    FillBox(image.Paint, 0, 0, width, height, colors.Back);
    if (settings.WrapWords)
        image.TextCut = DrawWrapped(image.Paint, settings, colors.Front, font, Rows(0, 0, width, height - TextMargin));
    else
        image.TextCut = font.DrawLines(image.Paint, settings, colors.Front,
                                       TTextLayout{0, width, 0, height - TextMargin, colors.Back});
}

TBoxTool::TBoxTool(TToolEnvironment& environment, TToolCode code)
    : TBoxObjectTool(environment, code, StartBox(code))
{
}

void TBoxTool::BuildImage(TObjectImage& image)
{
    const TObjectSettings settings = Settings();
    const TObjectColors colors{Env.FrontColor(), Env.BackColor()};
    const int width = Box.Width();
    const int height = Box.Height();
    switch (Code) {
    case TToolCode::Ellipse: BuildEllipseBox(image, width, height, settings, colors, Font); break;
    case TToolCode::Text: BuildTextBox(image, width, height, settings, colors, Font); break;
    default: BuildRectangleBox(image, width, height, settings, colors, Font); break;
    }
}
