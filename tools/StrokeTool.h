#pragma once

#include "tools/CursorOutline.h"
#include "tools/Tool.h"
#include "tools/ToolEnvironment.h"

// What the pencil, brush, eraser, darken and lighten tools share: the
// cursor outline that follows the pointer while no button is held, the
// outline moved along while the left button paints, and one history step on
// every release.
class TStrokeTool : public TTool {
public:
    explicit TStrokeTool(TToolEnvironment& environment)
        : Env(environment)
    {
    }

    void Press(TToolPoint point, TMouseButton button, TMouseButtons held) final;
    void Move(TToolPoint point, TMouseButtons held) override;
    void Release(TToolPoint point, TMouseButton button, TMouseButtons held) override;
    void Select() override
    {
        Outline.Forget();
        Stroking = false;
    }
    void Refresh() override;
    void Commit() override;
    // Leaving the tool by the Delete key takes the outline away too.
    void Cancel() override { Commit(); }

    const TCursorOutline& CursorOutline() const { return Outline; }

protected:
    // The tool's size setting now.
    virtual int Size() const = 0;
    // The press that starts a stroke (any button).
    virtual void Begin(TToolPoint point) = 0;
    // One step of a stroke with the left button held.
    virtual void Continue(TToolPoint point) = 0;
    // Whether a changed setting shows at once (the eraser waits for the
    // pointer to move).
    virtual bool ShowsOnRefresh() const { return true; }
    virtual bool OutlineAlwaysEllipse() const { return false; }
    // A pointer move with no button held.
    virtual void Hover(TToolPoint point);

    // Puts the composite under the outline back and shows it.
    void HideOutline();
    void ShowOutline(TToolPoint point);
    void RebuildAndPaint(const TRect& rect);

    TToolEnvironment& Env;
    TCursorOutline Outline;

private:
    // Between a press and its release: a drag that did not start with a
    // press of this tool only moves the outline.
    bool Stroking = false;
};
