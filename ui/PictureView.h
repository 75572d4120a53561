#pragma once

#include "document/Rect.h"
#include "document/ViewArithmetic.h"
#include "tools/ToolCodes.h"

#include <QWidget>

class QScrollBar;
class QWheelEvent;
class TDocument;
class TPaintBox;

// The picture view: the paint box that shows the document's composite at a
// zoom step, the two scroll bars that move it, and the mapping between the
// box's device pixels and picture pixels. It only shows the composite; the
// window that owns the document rebuilds it, and hears of resizes, scrolls
// and pointer events, in picture pixels, through the signals.
class TPictureView : public QWidget {
    Q_OBJECT

public:
    explicit TPictureView(const TDocument& document, QWidget* parent = nullptr);

    int ZoomStep() const { return Step; }
    double ZoomRate() const { return ZoomRateOfStep(Step); }
    // The visible part of the picture, inclusive edges.
    const TRect& ViewRect() const { return View; }
    // The picture pixel at the centre of the visible part.
    QPoint VisibleCentre() const { return QPoint((View.Left + View.Right) / 2, (View.Top + View.Bottom) / 2); }
    // The paint box's size in device pixels.
    QSize PaintSize() const;
    // The scroll positions: the picture pixel at the top-left corner.
    QPoint ScrollPosition() const;
    // The largest zoom step that shows the whole picture.
    int FitStep() const;

    void ComputeViewRect();
    // New ranges for the zoom and the paint box, the positions given (picture
    // pixels) held to them. Nothing while no picture is open.
    void UpdateScrollBars(QPoint position);
    // A zoom step without moving the bars, for a picture that sets them next.
    void ResetZoomStep(int step) { Step = step; }
    // Zooms keeping the picture point under `anchor` (paint box device
    // pixels) in place; without one, the centre of the view. False for a
    // step beyond the bounds, which changes nothing.
    bool SetZoomStep(int step, QPoint anchor);
    bool SetZoomStep(int step);
    // The hand: scrolls by picture pixels as far as the bars go; true when
    // the view moved.
    bool ScrollBy(int dx, int dy);
    // The arrow keys and Page Up / Page Down move the bars; false for other
    // keys and for a bar that is hidden.
    bool ScrollByKey(int key);

    void PaintView();
    // Draws a picture rectangle exactly as the whole view draws it.
    void PaintRect(const TRect& rect);

    // The cursor a tool asks for; the hand's depends on whether there is
    // anything to move, and on SetGrabbing.
    void ShowToolCursor(TToolCursor cursor);
    void SetGrabbing(bool grabbing) { Grabbing = grabbing; }
    void ShowShape(Qt::CursorShape shape);

signals:
    // The paint box has a new device size.
    void Resized();
    // A bar moved; the view rectangle already follows it.
    void Scrolled();
    // Pointer events while a picture is open, at the picture pixel under the pointer.
    void PointerPressed(TPicturePoint point, Qt::MouseButton button, Qt::MouseButtons buttons);
    void PointerMoved(TPicturePoint point, Qt::MouseButtons buttons);
    void PointerReleased(TPicturePoint point, Qt::MouseButton button, Qt::MouseButtons buttons);
    // Ctrl and the wheel turned whole notches, in (positive) or out, about a
    // point of the paint box in device pixels.
    void ZoomTurned(int notches, QPoint anchor);

private:
    TPicturePoint PointerToPicture(QPoint position) const;
    void WheelTurned(QWheelEvent* event);
    // Draws the screen pixels [x0, x1) x [y0, y1) of the scaled view rectangle.
    void StretchView(int x0, int x1, int y0, int y1);
    static void ApplyScrollRange(QScrollBar* bar, const TScrollRange& range, double zoomRate, int position);

    const TDocument& Document;
    TPaintBox* PaintBox = nullptr;
    QScrollBar* HorizontalBar = nullptr;
    QScrollBar* VerticalBar = nullptr;
    int Step = 0;
    TRect View{0, 0, 0, 0};
    TScrollRange HorizontalRange;
    TScrollRange VerticalRange;
    bool Grabbing = false;
    // Wheel turns below one notch add up, for touchpads.
    int ZoomWheelTurn = 0;
};
