#pragma once

#include "tools/ObjectImage.h"
#include "tools/ObjectText.h"
#include "tools/Tool.h"
#include "tools/ToolEnvironment.h"

#include <cstdint>
#include <optional>
#include <vector>

// What a drag on a placed object does, by where it starts: a corner, an
// edge, the body, a balloon's tail tip, or the middle handle that bends a
// tail.
enum THitCode : int {
    HitNothing = 0,
    HitTopLeft = 1,
    HitLeft = 2,
    HitBottomLeft = 3,
    HitTop = 4,
    HitBottom = 5,
    HitTopRight = 6,
    HitRight = 7,
    HitBottomRight = 8,
    HitBody = 9,
    HitTail = 10,
    HitTailBend = 11,
    HitTail2 = 12,
    HitTail2Bend = 13,
};

TObjectCursor CursorForHit(int hit);

// The editor every placed object shares (boxes, text, balloons). Selecting
// the tool copies both layers as the snapshot; the object then floats with
// the pointer, is anchored by the first press, and is resized or moved by
// drags that start on its handles or body. Every rendering first puts the
// snapshot back where the object was, so the object is never drawn over an
// earlier rendering of itself. The object becomes part of the layers when
// the tool is left (one history step) and is thrown away by a cancel.
//
// The tool keeps what it last committed: its geometry, settings, colours and
// the pixels it covered. While the history still stands at that object's
// step, Reopen makes it pending again; committing it then replaces that
// step, and a cancel leaves it as it was committed.
class TPlacedObjectTool : public TTool {
public:
    TPlacedObjectTool(TToolEnvironment& environment, TToolCode code)
        : Env(environment)
        , Code(code)
    {
    }

    void Press(TToolPoint point, TMouseButton button, TMouseButtons held) override;
    void Move(TToolPoint point, TMouseButtons held) override;
    void Release(TToolPoint, TMouseButton, TMouseButtons) override {}
    void Select() override;
    void Refresh() override;
    void Commit() override;
    void Cancel() override;

    // Whether the object this tool committed last can be edited again: no
    // other history step has followed its own.
    bool CanReopen() const;
    // Makes that object pending again, as it was committed; false when it
    // cannot be.
    bool Reopen();

    // Between the tool's selection and its commit or cancel.
    bool Pending() const { return Active; }
    bool Anchored() const { return IsAnchored; }
    int ActiveHandle() const { return Handle; }
    // Where the object was last rendered (empty before the first render).
    const TRect& OutlineRect() const { return Outline; }
    // The picture rectangle the object's image covers now.
    virtual TRect ImageRect() const = 0;

protected:
    virtual void StartGeometry() = 0;
    // The object's top-left corner as a drag records it.
    virtual TToolPoint Origin() const = 0;
    // A move with no button while the object floats.
    virtual void FollowPointer(TToolPoint point) = 0;
    // A move with the left button held, by the handle found last.
    virtual void DragTo(int handle, TToolPoint point, TToolPoint pressPoint, TToolPoint pressOrigin) = 0;
    virtual int HitTest(TToolPoint point) const = 0;
    virtual std::vector<TToolPoint> HandlePoints() const = 0;
    // The rectangle shown again after the handles are drawn.
    virtual TRect HandleArea() const = 0;
    virtual void BuildImage(TObjectImage& image) = 0;

    // Moves the object does not take at all (balloons beyond the picture).
    virtual bool IgnoresMove(TToolPoint) const { return false; }
    // How far around the last rendering is shown again.
    virtual int PaintMargin() const { return 8; }
    // The text box shows its handles while it floats.
    virtual bool HandlesWhileFloating() const { return false; }
    // Balloons draw handles only over the object.
    virtual bool HandlesOverNothing() const { return true; }
    // The geometry of the object being committed is kept, and taken back.
    virtual void KeepGeometry() = 0;
    virtual void TakeKeptGeometry() = 0;

    TObjectSettings Settings() const { return Env.ObjectSettings(Code); }

    TToolEnvironment& Env;
    TToolCode Code;
    TObjectFont Font;

private:
    // What the last committed object was drawn with, and the snapshot's
    // pixels under it.
    struct TKept {
        TObjectSettings Settings;
        TToolColor Front;
        TToolColor Back;
        TRect Outline;
        TRect Under;
        TBitmap SketchUnder;
        TBitmap ColorUnder;
        std::uint64_t Step = 0;
    };

    void Render();
    // Puts the snapshot back over the last rendering and its handles.
    void Restore();
    void DrawHandles();
    TKept Keep();
    // The kept object, drawn as it was committed.
    void ShowKept();

    bool Active = false;
    bool IsAnchored = false;
    int Handle = HitNothing;
    TToolPoint PressPoint;
    TToolPoint PressOrigin;
    TRect Outline;
    TObjectImage Image;
    std::optional<TKept> Kept;
    // The pending object is the kept one, opened again.
    bool Reopened = false;
};

// Grows a rectangle by `by` on every side; an empty one stays empty.
TRect Grow(const TRect& rect, int by);
// The smallest rectangle holding both; an empty one adds nothing.
TRect Union(const TRect& a, const TRect& b);
