#include "tools/Balloon.h"

#include "tools/DabShape.h"

#include <cmath>
#include <cstdlib>

namespace {

constexpr TToolColor Black{0, 0, 0};
constexpr int MinimumSide = 50;

bool Near(TToolPoint p, TToolPoint q)
{
    return std::abs(p.X - q.X) <= HandleReach && std::abs(p.Y - q.Y) <= HandleReach;
}

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

} // namespace

TObjectBox BalloonBounds(const TBalloonShape& s)
{
    return TObjectBox{std::min(s.X, s.TailX), std::min(s.Y, s.TailY), std::max(s.X + s.Width, s.TailX),
                      std::max(s.Y + s.Height, s.TailY)};
}

std::optional<std::array<TToolPoint, 2>> TailBase(TToolPoint centre, TToolPoint tip, int corner)
{
    const std::int64_t dx = tip.X - centre.X;
    const std::int64_t dy = tip.Y - centre.Y;
    const std::int64_t d = RoundHalfEven(std::sqrt(double(dx * dx + dy * dy)));
    // A tip on the centre points nowhere: no tail rather than a division by
    // zero.
    if (d == 0)
        return std::nullopt;
    const int a = int(corner * dx / d);
    const int b = int(corner * dy / d);
    return std::array<TToolPoint, 2>{TToolPoint{centre.X - b, centre.Y + a}, TToolPoint{centre.X + b, centre.Y - a}};
}

int BalloonHitTest(const TBalloonShape& s, TToolPoint p)
{
    if (Near(p, {s.TailX, s.TailY}))
        return HitTail;
    const TObjectBox body{s.X, s.Y, s.X + s.Width, s.Y + s.Height};
    const std::vector<TToolPoint> handles = BoxHandlePoints(body);
    for (std::size_t i = 0; i < handles.size(); ++i)
        if (Near(p, handles[i]))
            return int(i) + HitTopLeft;
    if (body.Left < p.X && p.X < body.Right && body.Top < p.Y && p.Y < body.Bottom)
        return HitBody;
    return HitNothing;
}

void DragBalloon(TBalloonShape& s, int handle, TToolPoint p, TToolPoint pressPoint, TToolPoint pressOrigin)
{
    if (handle == HitBody) {
        s.X = p.X + (pressOrigin.X - pressPoint.X);
        s.Y = p.Y + (pressOrigin.Y - pressPoint.Y);
        return;
    }
    if (handle == HitTail) {
        s.TailX = p.X;
        s.TailY = p.Y;
        return;
    }
    const bool left = handle == HitTopLeft || handle == HitLeft || handle == HitBottomLeft;
    const bool top = handle == HitTopLeft || handle == HitTop || handle == HitTopRight;
    const bool bottom = handle == HitBottomLeft || handle == HitBottom || handle == HitBottomRight;
    const bool right = handle == HitTopRight || handle == HitRight || handle == HitBottomRight;
    if (left && s.Width + (s.X - p.X) > MinimumSide) {
        s.Width += s.X - p.X;
        s.X = p.X;
    }
    if (top && s.Height + (s.Y - p.Y) > MinimumSide) {
        s.Height += s.Y - p.Y;
        s.Y = p.Y;
    }
    if (bottom && p.Y - s.Y > MinimumSide)
        s.Height = p.Y - s.Y;
    if (right && p.X - s.X > MinimumSide)
        s.Width = p.X - s.X;
}

void BuildBalloon(TObjectImage& image, TBalloonKind kind, const TBalloonShape& s, const TObjectSettings& settings,
                  TObjectColors colors, TObjectFont& font)
{
    const int bw = settings.BorderWidth;
    const int corner = BalloonCorner(s);
    const TObjectBox bounds = BalloonBounds(s);
    const int width = bounds.Width();
    const int height = bounds.Height();
    image.Masked = true;
    image.Mask = TBitmap(width, height);
    image.Mask.Fill(255, 255, 255);
    image.Paint = TBitmap(width, height);
    const int x = s.X - bounds.Left;
    const int y = s.Y - bounds.Top;
    const int w = s.Width;
    const int h = s.Height;

    // Body.
    switch (kind) {
    case TBalloonKind::Rectangle:
        FillBox(image.Mask, x, y, x + w, y + h, Black);
        FillBox(image.Paint, x, y, x + w, y + h, colors.Front);
        break;
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
    }

    // Tail, from the body's centre towards the tip; a base that would reach
    // left of or above the image is not drawn.
    const TToolPoint centre{x + w / 2, y + h / 2};
    const TToolPoint tip{s.TailX - bounds.Left, s.TailY - bounds.Top};
    if (const auto base = TailBase(centre, tip, corner)) {
        const auto [p, q] = *base;
        if (p.X >= 0 && p.Y >= 0 && q.X >= 0 && q.Y >= 0) {
            const std::array<std::array<int, 2>, 3> corners{{{p.X, p.Y}, {q.X, q.Y}, {tip.X, tip.Y}}};
            DrawTriangle(image.Mask, corners, Black, Black, 1);
            DrawTriangle(image.Paint, corners, colors.Back, colors.Front, bw);
        }
    }

    // Interior over the tail's base, so that tail and body share one outline.
    const int iw = w - 2 * bw;
    const int ih = h - 2 * bw;
    TTextLayout text;
    switch (kind) {
    case TBalloonKind::Rectangle:
        FillBox(image.Mask, x + bw, y + bw, x + w - bw, y + h - bw, Black);
        FillBox(image.Paint, x + bw, y + bw, x + w - bw, y + h - bw, colors.Back);
        text = TTextLayout{x + corner / 2, x + w - corner / 2, y + corner / 2, y + h - corner / 2, {}};
        break;
    case TBalloonKind::Rounded:
        FillRounded(image.Paint, x + bw, y + bw, iw, ih, corner, colors.Back);
        text = TTextLayout{
            x + bw + corner / 2, x + bw + iw - corner / 2, y + bw + corner / 2, y + bw + ih - corner / 2, {}};
        break;
    case TBalloonKind::Ellipse: {
        if (iw > 0 && ih > 0)
            FillShape(image.Paint, FilledEllipse(iw, ih), x + bw, y + bw, colors.Back);
        const TObjectBox box = EllipseTextBox(w, h);
        text = TTextLayout{x + box.Left, x + box.Right, y + box.Top, y + h - corner / 2, {}};
        break;
    }
    }
    font.DrawLines(image.Paint, settings, colors.Front, text);
}

TBalloonTool::TBalloonTool(TToolEnvironment& environment, TToolCode code)
    : TPlacedObjectTool(environment, code)
    , Kind(code == TToolCode::BalloonRounded   ? TBalloonKind::Rounded
           : code == TToolCode::BalloonEllipse ? TBalloonKind::Ellipse
                                               : TBalloonKind::Rectangle)
{
}

TRect TBalloonTool::ImageRect() const
{
    const TObjectBox b = BalloonBounds(Balloon);
    return TRect{b.Left, b.Top, b.Right - 1, b.Bottom - 1};
}

void TBalloonTool::FollowPointer(TToolPoint point)
{
    Balloon.X = point.X;
    Balloon.Y = point.Y;
    Balloon.TailX = point.X;
    Balloon.TailY = point.Y - 15;
}

std::vector<TToolPoint> TBalloonTool::HandlePoints() const
{
    std::vector<TToolPoint> points =
        BoxHandlePoints(TObjectBox{Balloon.X, Balloon.Y, Balloon.X + Balloon.Width, Balloon.Y + Balloon.Height});
    points.push_back({Balloon.TailX, Balloon.TailY});
    return points;
}

TRect TBalloonTool::HandleArea() const
{
    const TObjectBox b = BalloonBounds(Balloon);
    return TRect{b.Left - 4, b.Top - 4, b.Right + 4, b.Bottom + 4};
}

void TBalloonTool::BuildImage(TObjectImage& image)
{
    BuildBalloon(image, Kind, Balloon, Settings(), TObjectColors{Env.FrontColor(), Env.BackColor()}, Font);
}

bool TBalloonTool::IgnoresMove(TToolPoint point) const
{
    // The elliptical balloon keeps two more pixels away from the edge.
    const int reserve = Kind == TBalloonKind::Ellipse ? 2 : 0;
    const TBitmap& view = Env.ViewBitmap();
    return point.X >= view.Width() - reserve || point.Y >= view.Height() - reserve;
}
