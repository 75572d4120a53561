#include "tools/Balloon.h"

#include "tools/BalloonTails.h"
#include "tools/DabShape.h"

#include <cmath>
#include <cstdlib>

namespace {

constexpr int MinimumSide = 50;

bool Near(TToolPoint p, TToolPoint q)
{
    return std::abs(p.X - q.X) <= HandleReach && std::abs(p.Y - q.Y) <= HandleReach;
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
    if (Near(p, s.Tip()))
        return HitTail;
    if (s.Tail2 && Near(p, *s.Tail2))
        return HitTail2;
    const TObjectBox body{s.X, s.Y, s.X + s.Width, s.Y + s.Height};
    const std::vector<TToolPoint> handles = BoxHandlePoints(body);
    for (std::size_t i = 0; i < handles.size(); ++i)
        if (Near(p, handles[i]))
            return int(i) + HitTopLeft;
    if (Near(p, BendHandle(s.Centre(), s.Tip(), s.Bend)))
        return HitTailBend;
    if (s.Tail2 && Near(p, BendHandle(s.Centre(), *s.Tail2, s.Bend2)))
        return HitTail2Bend;
    if (body.Left < p.X && p.X < body.Right && body.Top < p.Y && p.Y < body.Bottom)
        return HitBody;
    return HitNothing;
}

void DragBalloon(TBalloonShape& s, int handle, TToolPoint p, TToolPoint pressPoint, TToolPoint pressOrigin)
{
    switch (handle) {
    case HitBody:
        s.X = p.X + (pressOrigin.X - pressPoint.X);
        s.Y = p.Y + (pressOrigin.Y - pressPoint.Y);
        return;
    case HitTail:
        s.TailX = p.X;
        s.TailY = p.Y;
        return;
    case HitTailBend: s.Bend = BendFor(s.Centre(), s.Tip(), p); return;
    case HitTail2:
        if (s.Tail2)
            s.Tail2 = p;
        return;
    case HitTail2Bend:
        if (s.Tail2)
            s.Bend2 = BendFor(s.Centre(), *s.Tail2, p);
        return;
    default: break;
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

TBalloonTool::TBalloonTool(TToolEnvironment& environment, TToolCode code)
    : TPlacedObjectTool(environment, code)
    , Kind(code == TToolCode::BalloonRounded   ? TBalloonKind::Rounded
           : code == TToolCode::BalloonEllipse ? TBalloonKind::Ellipse
           : code == TToolCode::BalloonThought ? TBalloonKind::Thought
           : code == TToolCode::BalloonShout   ? TBalloonKind::Shout
                                               : TBalloonKind::Rectangle)
{
}

TRect TBalloonTool::ImageRect() const
{
    const TObjectBox b = Built ? *Built : BalloonBounds(Balloon);
    return TRect{b.Left, b.Top, b.Right - 1, b.Bottom - 1};
}

void TBalloonTool::MatchSecondTail(bool wanted)
{
    if (!wanted) {
        Balloon.Tail2.reset();
        Balloon.Bend2 = {};
        return;
    }
    if (Balloon.Tail2)
        return;
    // Mirrored across the body's middle, towards a speaker on the other side.
    const TToolPoint centre = Balloon.Centre();
    TToolPoint tip{2 * centre.X - Balloon.TailX, Balloon.TailY};
    if (tip == Balloon.Tip())
        tip.X = Balloon.X + Balloon.Width + 20;
    Balloon.Tail2 = tip;
}

void TBalloonTool::FollowPointer(TToolPoint point)
{
    Balloon.X = point.X;
    Balloon.Y = point.Y;
    Balloon.TailX = point.X;
    Balloon.TailY = point.Y - 15;
    if (Balloon.Tail2) {
        Balloon.Tail2.reset();
        MatchSecondTail(true);
    }
}

void TBalloonTool::DragTo(int handle, TToolPoint point, TToolPoint pressPoint, TToolPoint pressOrigin)
{
    // A body sized by hand no longer follows its text.
    if (handle >= HitTopLeft && handle <= HitBottomRight) {
        TObjectSettings settings = Settings();
        if (settings.FitToText) {
            settings.FitToText = false;
            Env.SetObjectSettings(Code, settings);
        }
    }
    DragBalloon(Balloon, handle, point, pressPoint, pressOrigin);
}

std::vector<TToolPoint> TBalloonTool::HandlePoints() const
{
    std::vector<TToolPoint> points =
        BoxHandlePoints(TObjectBox{Balloon.X, Balloon.Y, Balloon.X + Balloon.Width, Balloon.Y + Balloon.Height});
    points.push_back(Balloon.Tip());
    points.push_back(BendHandle(Balloon.Centre(), Balloon.Tip(), Balloon.Bend));
    if (Balloon.Tail2) {
        points.push_back(*Balloon.Tail2);
        points.push_back(BendHandle(Balloon.Centre(), *Balloon.Tail2, Balloon.Bend2));
    }
    return points;
}

TRect TBalloonTool::HandleArea() const
{
    const TRect image = ImageRect();
    return TRect{image.Left - 4, image.Top - 4, image.Right + 5, image.Bottom + 5};
}

void TBalloonTool::BuildImage(TObjectImage& image)
{
    const TObjectSettings settings = Settings();
    MatchSecondTail(settings.SecondTail);
    FitBody(settings);
    const TBodySize body{Balloon.Width, Balloon.Height};
    if (!LastText || !(LastText->Settings == settings) || !(LastText->Body == body))
        LastText.emplace(TPlaced{settings, body, PlaceBalloonText(Kind, Balloon, settings, Font)});
    BuildBalloon(image, Kind, Balloon, settings, TObjectColors{Env.FrontColor(), Env.BackColor()}, Font,
                 &LastText->Text);
    Built = BalloonImageBounds(Kind, Balloon, settings);
}

void TBalloonTool::FitBody(const TObjectSettings& settings)
{
    const TBodySize before{Balloon.Width, Balloon.Height};
    if (LastFit && LastFit->Settings == settings && LastFit->Before == before) {
        Balloon.Width = LastFit->After.Width;
        Balloon.Height = LastFit->After.Height;
        return;
    }
    FitBalloon(Kind, Balloon, settings, Font);
    LastFit = TFitted{settings, before, {Balloon.Width, Balloon.Height}};
}

bool TBalloonTool::IgnoresMove(TToolPoint point) const
{
    // The elliptical balloon keeps two more pixels away from the edge.
    const int reserve = Kind == TBalloonKind::Ellipse ? 2 : 0;
    const TBitmap& view = Env.ViewBitmap();
    return point.X >= view.Width() - reserve || point.Y >= view.Height() - reserve;
}
