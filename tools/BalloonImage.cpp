#include "tools/Balloon.h"

#include "tools/BalloonTails.h"
#include "tools/DabShape.h"
#include "tools/ObjectCanvas.h"
#include "tools/PictureImage.h"

#include <QPainter>

#include <cmath>
#include <optional>

namespace {

constexpr TToolColor Black{0, 0, 0};

// A rectangle with rounded corners of radius r: four discs in the corners
// and two crossing boxes. The discs' inner three quarters fall inside the
// boxes whenever the body is at least 2r across, which a corner of a
// quarter of the smaller side guarantees.
void FillRounded(TBitmap& picture, int x, int y, int w, int h, int r, TToolColor color)
{
    if (w <= 0 || h <= 0)
        return;
    if (r > 0) {
        const TShape disc = FilledEllipse(2 * r, 2 * r);
        FillShape(picture, disc, x, y, color);
        FillShape(picture, disc, x + w - 2 * r, y, color);
        FillShape(picture, disc, x + w - 2 * r, y + h - 2 * r, color);
        FillShape(picture, disc, x, y + h - 2 * r, color);
    }
    FillBox(picture, x, y + r, x + w, y + h - r, color);
    FillBox(picture, x + r, y, x + w - r, y + h, color);
}

// Wrapped or fitted text is laid out as a block in the body; otherwise the
// lines run down from the top of the text box, one memo line each.
bool LettersText(const TObjectSettings& s) { return s.WrapWords || s.FitToText; }

// Smooth balloons, thoughts and shouts are painted as outlines; the
// stair-stepped speech balloons are built as they always were.
bool PaintsOutlines(TBalloonKind kind, const TObjectSettings& s)
{
    return s.SmoothEdges || kind == TBalloonKind::Thought || kind == TBalloonKind::Shout;
}

struct TTail {
    TToolPoint Tip;
    TToolPoint Bend;
};

std::vector<TTail> TailsOf(const TBalloonShape& s)
{
    std::vector<TTail> tails{{s.Tip(), s.Bend}};
    if (s.Tail2)
        tails.push_back({*s.Tail2, s.Bend2});
    return tails;
}

double PuffSize(const TBalloonShape& s) { return std::max(6.0, BalloonCorner(s) * 1.6); }

TToolPoint Minus(TToolPoint p, int dx, int dy) { return {p.X - dx, p.Y - dy}; }

// The lines of a balloon whose text is not wrapped or fitted, as the
// speech balloons always laid them; thoughts and shouts inside their text
// region.
TTextLayout LineBoxes(TBalloonKind kind, int x, int y, int w, int h, int bw, int fontPixels)
{
    const int corner = std::min(w, h) / 4;
    switch (kind) {
    case TBalloonKind::Rectangle: return {x + corner / 2, x + w - corner / 2, y + corner / 2, y + h - corner / 2, {}};
    case TBalloonKind::Rounded: {
        const int iw = w - 2 * bw;
        const int ih = h - 2 * bw;
        return {x + bw + corner / 2, x + bw + iw - corner / 2, y + bw + corner / 2, y + bw + ih - corner / 2, {}};
    }
    case TBalloonKind::Ellipse: {
        const TObjectBox box = EllipseTextBox(w, h);
        return {x + box.Left, x + box.Right, y + box.Top, y + h - corner / 2, {}};
    }
    default: {
        const TTextRegion r = BalloonTextRegion(kind, w, h, bw, fontPixels);
        return {x + int(std::ceil(r.Left)),
                x + int(std::floor(r.Right)),
                y + int(std::ceil(r.Top)),
                y + int(std::floor(r.Bottom)),
                {}};
    }
    }
}

// Draws the lettered text with the body's top-left corner at (x, y); true
// when it does not all fit.
bool DrawLetteredText(QPainter& painter, const TBalloonText& text, const TObjectSettings& settings, TToolColor color,
                      TObjectFont& font, int x, int y)
{
    painter.save();
    painter.translate(x, y);
    painter.setFont(font.Font(settings));
    painter.setPen(ToQColor(color));
    painter.setRenderHint(QPainter::TextAntialiasing, settings.SmoothEdges);
    DrawPlacedText(painter, text.Placed, settings.Align, text.Region);
    painter.restore();
    return !text.Placed.Fits;
}

// The text as the caller placed it, or placed here.
const TBalloonText& PlacedOrNew(const TBalloonText* text, std::optional<TBalloonText>& own, TBalloonKind kind,
                                const TBalloonShape& s, const TObjectSettings& settings, TObjectFont& font)
{
    return text ? *text : own.emplace(PlaceBalloonText(kind, s, settings, font));
}

// The speech balloons as they always were: body, tails and interior on a
// mask and a paint image, which the layer takes by AND and OR.
void BuildStairStepped(TObjectImage& image, TBalloonKind kind, const TBalloonShape& s, const TObjectSettings& settings,
                       TObjectColors colors, TObjectFont& font, const TBalloonText* text)
{
    const int bw = settings.BorderWidth;
    const int corner = BalloonCorner(s);
    const TObjectBox bounds = BalloonImageBounds(kind, s, settings);
    const int width = bounds.Width();
    const int height = bounds.Height();
    image.Masked = true;
    image.Blended = false;
    image.Mask = TBitmap(width, height);
    image.Mask.Fill(255, 255, 255);
    image.Paint = TBitmap(width, height);
    const int x = s.X - bounds.Left;
    const int y = s.Y - bounds.Top;
    const int w = s.Width;
    const int h = s.Height;

    // Body.
    switch (kind) {
    case TBalloonKind::Rounded:
        FillRounded(image.Mask, x, y, w, h, corner, Black);
        FillRounded(image.Paint, x, y, w, h, corner, colors.Front);
        break;
    case TBalloonKind::Ellipse: {
        const TShape body = FilledEllipse(w, h);
        FillShape(image.Mask, body, x, y, Black);
        FillShape(image.Paint, body, x, y, colors.Front);
        break;
    }
    default:
        FillBox(image.Mask, x, y, x + w, y + h, Black);
        FillBox(image.Paint, x, y, x + w, y + h, colors.Front);
        break;
    }

    // Tails, from the body's centre towards the tips; a straight tail whose
    // base would reach left of or above the image is not drawn.
    const TToolPoint centre{x + w / 2, y + h / 2};
    for (const TTail& tail : TailsOf(s)) {
        const TToolPoint tip = Minus(tail.Tip, bounds.Left, bounds.Top);
        if (tail.Bend != TToolPoint{}) {
            const QPolygonF wedge = TailWedge(TTailLine(centre, tip, tail.Bend), corner);
            DrawPolygon(image.Mask, wedge, Black, Black, 1);
            DrawPolygon(image.Paint, wedge, colors.Back, colors.Front, bw);
            continue;
        }
        if (const auto base = TailBase(centre, tip, corner)) {
            const auto [p, q] = *base;
            if (p.X >= 0 && p.Y >= 0 && q.X >= 0 && q.Y >= 0) {
                const std::array<std::array<int, 2>, 3> corners{{{p.X, p.Y}, {q.X, q.Y}, {tip.X, tip.Y}}};
                DrawTriangle(image.Mask, corners, Black, Black, 1);
                DrawTriangle(image.Paint, corners, colors.Back, colors.Front, bw);
            }
        }
    }

    // Interior over the tails' bases, so that tails and body share one
    // outline.
    const int iw = w - 2 * bw;
    const int ih = h - 2 * bw;
    switch (kind) {
    case TBalloonKind::Rounded: FillRounded(image.Paint, x + bw, y + bw, iw, ih, corner, colors.Back); break;
    case TBalloonKind::Ellipse:
        if (iw > 0 && ih > 0)
            FillShape(image.Paint, FilledEllipse(iw, ih), x + bw, y + bw, colors.Back);
        break;
    default:
        FillBox(image.Mask, x + bw, y + bw, x + w - bw, y + h - bw, Black);
        FillBox(image.Paint, x + bw, y + bw, x + w - bw, y + h - bw, colors.Back);
        break;
    }

    if (LettersText(settings)) {
        std::optional<TBalloonText> own;
        QImage target = ImageOf(image.Paint);
        QPainter painter(&target);
        image.TextCut = DrawLetteredText(painter, PlacedOrNew(text, own, kind, s, settings, font), settings,
                                         colors.Front, font, x, y);
    } else {
        const int pixels = font.Font(settings).pixelSize();
        image.TextCut = font.DrawLines(image.Paint, settings, colors.Front, LineBoxes(kind, x, y, w, h, bw, pixels));
    }
}

// Body and tails as one outline: the outline painted twice as wide as the
// frame and the shape filled over it, so that the frame lies outside the
// shape and where a tail joins the body no line is left.
void BuildPainted(TObjectImage& image, TBalloonKind kind, const TBalloonShape& s, const TObjectSettings& settings,
                  TObjectColors colors, TObjectFont& font, const TBalloonText* text)
{
    const int bw = settings.BorderWidth;
    const int corner = BalloonCorner(s);
    const TObjectBox bounds = BalloonImageBounds(kind, s, settings);
    TObjectCanvas canvas(bounds.Width(), bounds.Height(), settings.SmoothEdges);
    QPainter& painter = canvas.Painter();
    const int x = s.X - bounds.Left;
    const int y = s.Y - bounds.Top;
    const int w = s.Width;
    const int h = s.Height;

    // Each part is outlined before any is filled, so that the fills cover
    // the lines where the parts overlap.
    const QRectF body(x, y, w, h);
    std::vector<QPainterPath> parts{BalloonBodyPath(kind, body, corner)};
    std::vector<QRectF> puffs = kind == TBalloonKind::Thought ? CloudPuffs(body) : std::vector<QRectF>{};
    const TToolPoint centre{x + w / 2, y + h / 2};
    for (const TTail& tail : TailsOf(s)) {
        const TToolPoint tip = Minus(tail.Tip, bounds.Left, bounds.Top);
        if (tip == centre)
            continue;
        const TTailLine line(centre, tip, tail.Bend);
        if (kind == TBalloonKind::Thought) {
            for (const QRectF& puff : ThoughtTrail(line, w / 2.0, h / 2.0, PuffSize(s)))
                puffs.push_back(puff);
        } else {
            parts.emplace_back();
            parts.back().addPolygon(TailWedge(line, corner));
            parts.back().closeSubpath();
        }
    }
    QPen pen(ToQColor(colors.Front), 2.0 * bw);
    pen.setJoinStyle(Qt::RoundJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    for (const QPainterPath& part : parts)
        painter.drawPath(part);
    for (const QRectF& puff : puffs)
        painter.drawEllipse(puff);
    painter.setPen(Qt::NoPen);
    painter.setBrush(ToQColor(colors.Back));
    for (const QPainterPath& part : parts)
        painter.drawPath(part);
    for (const QRectF& puff : puffs)
        painter.drawEllipse(puff);

    bool cut = false;
    if (LettersText(settings)) {
        std::optional<TBalloonText> own;
        cut = DrawLetteredText(painter, PlacedOrNew(text, own, kind, s, settings, font), settings, colors.Front, font,
                               x, y);
    } else {
        const int pixels = font.Font(settings).pixelSize();
        cut = font.DrawLines(painter, settings, colors.Front, LineBoxes(kind, x, y, w, h, bw, pixels));
    }
    canvas.Finish(image);
    image.TextCut = cut;
}

} // namespace

TObjectBox BalloonImageBounds(TBalloonKind kind, const TBalloonShape& s, const TObjectSettings& settings)
{
    const TObjectBox plain = BalloonBounds(s);
    const bool outlines = PaintsOutlines(kind, settings);
    if (!outlines && s.Bend == TToolPoint{} && !s.Tail2)
        return plain;
    QRectF extent(s.X, s.Y, s.Width, s.Height);
    for (const TTail& tail : TailsOf(s)) {
        const TTailLine line(s.Centre(), tail.Tip, tail.Bend);
        if (kind == TBalloonKind::Thought) {
            for (const QRectF& puff : ThoughtTrail(line, s.Width / 2.0, s.Height / 2.0, PuffSize(s)))
                extent |= puff;
        } else {
            extent |= TailWedge(line, BalloonCorner(s)).boundingRect();
        }
        extent |= QRectF(tail.Tip.X, tail.Tip.Y, 1, 1);
    }
    // The outer half of the doubled outline, and a pixel for its smoothing.
    if (outlines)
        extent.adjust(-settings.BorderWidth - 1, -settings.BorderWidth - 1, settings.BorderWidth + 1,
                      settings.BorderWidth + 1);
    return TObjectBox{
        std::min(plain.Left, int(std::floor(extent.left()))), std::min(plain.Top, int(std::floor(extent.top()))),
        std::max(plain.Right, int(std::ceil(extent.right()))), std::max(plain.Bottom, int(std::ceil(extent.bottom())))};
}

void FitBalloon(TBalloonKind kind, TBalloonShape& shape, const TObjectSettings& settings, TObjectFont& font)
{
    if (!LettersText(settings))
        return;
    const QFont qfont = font.Font(settings);
    const TTextFlow flow(settings.Lines, qfont);
    const int pixels = qfont.pixelSize();
    if (settings.FitToText) {
        if (const auto size = FitBalloonBody(kind, flow, settings.WrapWords, settings.BorderWidth, pixels)) {
            shape.Width = size->Width;
            shape.Height = size->Height;
        }
        return;
    }
    shape.Height =
        NeededBalloonHeight(kind, flow, settings.WrapWords, settings.BorderWidth, pixels, shape.Width, shape.Height);
}

TBalloonText PlaceBalloonText(TBalloonKind kind, const TBalloonShape& shape, const TObjectSettings& settings,
                              TObjectFont& font)
{
    const QFont qfont = font.Font(settings);
    TBalloonText text{TTextFlow(settings.Lines, qfont),
                      BalloonTextRegion(kind, shape.Width, shape.Height, settings.BorderWidth, qfont.pixelSize()),
                      {}};
    text.Placed = PlaceText(text.Flow, text.Region, settings.WrapWords);
    return text;
}

void BuildBalloon(TObjectImage& image, TBalloonKind kind, const TBalloonShape& shape, const TObjectSettings& settings,
                  TObjectColors colors, TObjectFont& font, const TBalloonText* text)
{
    image.TextCut = false;
    if (PaintsOutlines(kind, settings))
        BuildPainted(image, kind, shape, settings, colors, font, text);
    else
        BuildStairStepped(image, kind, shape, settings, colors, font, text);
}
