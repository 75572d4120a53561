#include "tools/BoxTools.h"

#include "tools/DabShape.h"

#include <cmath>

namespace {

constexpr TToolColor Black{0, 0, 0};

TObjectBox StartBox(TToolCode code)
{
    if (code == TToolCode::Text)
        return TObjectBox{0, 0, 100, 50};
    return TObjectBox{0, 0, 20, 20};
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
    FillBox(image.Paint, 0, 0, width, height, colors.Front);
    FillBox(image.Paint, bw, bw, width - bw, height - bw, colors.Back);
    font.DrawLines(image.Paint, settings, colors.Front,
                   TTextLayout{TextMargin, width - TextMargin, TextMargin, height - TextMargin, colors.Back});
}

void BuildEllipseBox(TObjectImage& image, int width, int height, const TObjectSettings& settings, TObjectColors colors,
                     TObjectFont& font)
{
    const int bw = settings.BorderWidth;
    image.Masked = true;
    image.Mask = TBitmap(width, height);
    image.Mask.Fill(255, 255, 255);
    image.Paint = TBitmap(width, height);
    const TShape outer = FilledEllipse(width, height);
    FillShape(image.Mask, outer, 0, 0, Black);
    FillShape(image.Paint, outer, 0, 0, colors.Front);
    // A frame as wide as half the box leaves no interior.
    if (width - 2 * bw > 0 && height - 2 * bw > 0)
        FillShape(image.Paint, FilledEllipse(width - 2 * bw, height - 2 * bw), bw, bw, colors.Back);
    const TObjectBox text = EllipseTextBox(width, height);
    font.DrawLines(image.Paint, settings, colors.Front, TTextLayout{text.Left, text.Right, text.Top, {}, {}});
}

void BuildTextBox(TObjectImage& image, int width, int height, const TObjectSettings& settings, TObjectColors colors,
                  TObjectFont& font)
{
    image.Masked = false;
    image.Paint = TBitmap(width, height);
    FillBox(image.Paint, 0, 0, width, height, colors.Back);
    font.DrawLines(image.Paint, settings, colors.Front, TTextLayout{0, width, 0, height - TextMargin, colors.Back});
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
