#include "tools/PlacedObject.h"

#include <algorithm>
#include <utility>

TObjectCursor CursorForHit(int hit)
{
    switch (hit) {
    case HitTopLeft:
    case HitBottomRight: return TObjectCursor::SizeNWSE;
    case HitLeft:
    case HitRight: return TObjectCursor::SizeWE;
    case HitBottomLeft:
    case HitTopRight: return TObjectCursor::SizeNESW;
    case HitTop:
    case HitBottom: return TObjectCursor::SizeNS;
    case HitBody:
    case HitTail:
    case HitTailBend:
    case HitTail2:
    case HitTail2Bend: return TObjectCursor::Move;
    default: return TObjectCursor::Arrow;
    }
}

TRect Grow(const TRect& rect, int by)
{
    if (rect.Empty())
        return rect;
    return TRect{rect.Left - by, rect.Top - by, rect.Right + by, rect.Bottom + by};
}

TRect Union(const TRect& a, const TRect& b)
{
    if (a.Empty())
        return b;
    if (b.Empty())
        return a;
    return TRect{std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right),
                 std::max(a.Bottom, b.Bottom)};
}

void TPlacedObjectTool::Select()
{
    StartGeometry();
    Env.SketchWork() = Env.SketchLayer();
    Env.ColorWork() = Env.ColorLayer();
    Outline = TRect{};
    IsAnchored = false;
    Handle = HitNothing;
    Active = true;
    Reopened = false;
    Env.ShowTextCut(false);
    Env.DisableCommands();
}

void TPlacedObjectTool::Restore()
{
    if (Outline.Empty())
        return;
    const TRect area = Grow(Outline, 4);
    const int width = area.Right - area.Left + 1;
    const int height = area.Bottom - area.Top + 1;
    TBitmap& sketch = Env.SketchLayer();
    TBitmap& color = Env.ColorLayer();
    // A snapshot of another size belongs to no picture of ours; copying from
    // it could only put wrong pixels back.
    if (Env.SketchWork().Width() == sketch.Width() && Env.SketchWork().Height() == sketch.Height())
        sketch.CopyRect(Env.SketchWork(), area.Left, area.Top, width, height, area.Left, area.Top);
    if (Env.ColorWork().Width() == color.Width() && Env.ColorWork().Height() == color.Height())
        color.CopyRect(Env.ColorWork(), area.Left, area.Top, width, height, area.Left, area.Top);
    Env.RebuildComposite(Grow(Outline, 8));
}

void TPlacedObjectTool::Render()
{
    BuildImage(Image);
    Env.ShowTextCut(Image.TextCut);
    Restore();
    const TRect rect = ImageRect();
    const TDrawTargets targets = Env.DrawableLayers();
    if (targets.Sketch)
        WriteObjectImage(*targets.Sketch, Image, rect.Left, rect.Top);
    if (targets.Color)
        WriteObjectImage(*targets.Color, Image, rect.Left, rect.Top);
    Env.RebuildComposite(rect);
    Env.PaintRect(Union(rect, Grow(Outline, PaintMargin())));
    Outline = rect;
}

void TPlacedObjectTool::DrawHandles()
{
    // Handles of an object pressed into place before it was ever drawn lie
    // where no rendering has been: their area is what Restore puts back.
    if (Outline.Empty())
        Outline = HandleArea();
    const TDrawTargets targets = Env.DrawableLayers();
    for (const TToolPoint& point : HandlePoints()) {
        if (targets.Sketch)
            DrawHandleSquare(*targets.Sketch, point.X, point.Y);
        if (targets.Color)
            DrawHandleSquare(*targets.Color, point.X, point.Y);
    }
    const TRect area = HandleArea();
    Env.RebuildComposite(area);
    Env.PaintRect(area);
}

void TPlacedObjectTool::Press(TToolPoint point, TMouseButton, TMouseButtons)
{
    if (!Active)
        return;
    PressPoint = point;
    PressOrigin = Origin();
    IsAnchored = true;
}

void TPlacedObjectTool::Move(TToolPoint point, TMouseButtons held)
{
    if (!Active || IgnoresMove(point))
        return;
    if (held.Has(TMouseButton::Left)) {
        DragTo(Handle, point, PressPoint, PressOrigin);
        Render();
        return;
    }
    if (!IsAnchored) {
        FollowPointer(point);
        Render();
        if (HandlesWhileFloating())
            DrawHandles();
        return;
    }
    Handle = HitTest(point);
    Env.SetObjectCursor(CursorForHit(Handle));
    if (Handle != HitNothing || HandlesOverNothing())
        DrawHandles();
}

void TPlacedObjectTool::Refresh()
{
    if (Active)
        Render();
}

void TPlacedObjectTool::Commit()
{
    if (!Active)
        return;
    Active = false;
    const bool reopened = std::exchange(Reopened, false);
    // Whatever was kept belongs to a step this one follows.
    Kept.reset();
    std::optional<TKept> kept;
    if (IsAnchored) {
        Render();
        kept = Keep();
    } else {
        // A box that never landed is dropped.
        const TRect shown = Grow(Outline, 8);
        Restore();
        Env.PaintRect(shown);
    }
    Outline = TRect{};
    if (reopened)
        Env.ReplaceToolStep();
    else
        Env.RecordToolStep();
    if (kept) {
        kept->Step = Env.CurrentStep();
        Kept = std::move(kept);
    }
    Env.UpdateCommands();
}

void TPlacedObjectTool::Cancel()
{
    if (!Active)
        return;
    Active = false;
    if (std::exchange(Reopened, false)) {
        // An edit given up: the object stays as it was committed.
        ShowKept();
        Outline = TRect{};
        Env.UpdateCommands();
        return;
    }
    Restore();
    Outline = TRect{};
    // The whole view, as a refresh would show it, without asking this tool
    // to render again.
    const TRect view = Env.ViewRect();
    Env.RebuildComposite(view);
    Env.PaintRect(view);
    Env.UpdateCommands();
}

TPlacedObjectTool::TKept TPlacedObjectTool::Keep()
{
    TKept kept;
    kept.Settings = Settings();
    kept.Front = Env.FrontColor();
    kept.Back = Env.BackColor();
    kept.Outline = Outline;
    const TBitmap& sketch = Env.SketchLayer();
    kept.Under = ClampRect(Grow(Outline, 4), sketch.Width(), sketch.Height());
    const int width = kept.Under.Right - kept.Under.Left + 1;
    const int height = kept.Under.Bottom - kept.Under.Top + 1;
    const auto copy = [&](const TBitmap& work, const TBitmap& layer, TBitmap& under) {
        if (kept.Under.Empty() || work.Width() != layer.Width() || work.Height() != layer.Height())
            return;
        under = TBitmap(width, height);
        under.CopyRect(work, kept.Under.Left, kept.Under.Top, width, height, 0, 0);
    };
    copy(Env.SketchWork(), Env.SketchLayer(), kept.SketchUnder);
    copy(Env.ColorWork(), Env.ColorLayer(), kept.ColorUnder);
    KeepGeometry();
    return kept;
}

bool TPlacedObjectTool::CanReopen() const
{
    // Without a history nothing tells whether another step followed.
    return !Active && Kept && Kept->Step != 0 && Kept->Step == Env.CurrentStep();
}

bool TPlacedObjectTool::Reopen()
{
    if (!CanReopen())
        return false;
    Env.SketchWork() = Env.SketchLayer();
    Env.ColorWork() = Env.ColorLayer();
    const TRect& under = Kept->Under;
    if (!Kept->SketchUnder.Empty())
        Env.SketchWork().CopyRect(Kept->SketchUnder, 0, 0, Kept->SketchUnder.Width(), Kept->SketchUnder.Height(),
                                  under.Left, under.Top);
    if (!Kept->ColorUnder.Empty())
        Env.ColorWork().CopyRect(Kept->ColorUnder, 0, 0, Kept->ColorUnder.Width(), Kept->ColorUnder.Height(),
                                 under.Left, under.Top);
    Outline = Kept->Outline;
    IsAnchored = true;
    Handle = HitNothing;
    Active = true;
    Reopened = true;
    Env.DisableCommands();
    ShowKept();
    return true;
}

void TPlacedObjectTool::ShowKept()
{
    TakeKeptGeometry();
    Env.SetObjectSettings(Code, Kept->Settings);
    Env.SetFrontColor(Kept->Front);
    Env.SetBackColor(Kept->Back);
    Render();
}
