#include "ui/FrmMain.h"

#include "document/ViewStretch.h"
#include "tools/Tool.h"
#include "tools/ToolBox.h"
#include "ui/Cursors.h"
#include "ui/FrmToolOption.h"
#include "ui/FrmTools.h"
#include "ui/PaintBox.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace {

// A scroll bar arrow or wheel line moves about this many screen pixels.
constexpr double LineStepScreenPixels = 32;

} // namespace

QSize TFrmMain::PaintSize() const { return PaintBox1->DeviceSize(); }

void TFrmMain::SetCurrentTool(TToolCode tool)
{
    Tool = tool;
    FrmTools->SetCurrentTool(Tool);
}

TTool* TFrmMain::CurrentToolObject() const { return ToolBox->Find(Tool); }

void TFrmMain::ComputeViewRect()
{
    const QSize paint = PaintSize();
    View = ::ComputeViewRect(HorzScrollBar->value(), VertScrollBar->value(), Document.ViewBitmap.Width(),
                             Document.ViewBitmap.Height(), paint.width(), paint.height(), ZoomRate());
}

void TFrmMain::ApplyScrollRange(QScrollBar* bar, const TScrollRange& range, double zoomRate, int position)
{
    // The program moves the bar here: no view refresh for each step.
    const QSignalBlocker blocker(bar);
    bar->setRange(0, range.LastPosition());
    bar->setPageStep(std::max(range.Page, 1));
    bar->setSingleStep(std::max(1, Nearest(LineStepScreenPixels / zoomRate)));
    bar->setValue(std::clamp(position, 0, range.LastPosition()));
    bar->setVisible(range.Shown);
}

void TFrmMain::UpdateScrollBars() { UpdateScrollBars(QPoint(HorzScrollBar->value(), VertScrollBar->value())); }

void TFrmMain::UpdateScrollBars(QPoint position)
{
    if (!Document.PictureOpened)
        return;
    const QSize paint = PaintSize();
    const double zoom = ZoomRate();
    HorzRange = ScrollRangeFor(paint.width(), Document.ViewBitmap.Width(), zoom);
    VertRange = ScrollRangeFor(paint.height(), Document.ViewBitmap.Height(), zoom);
    ApplyScrollRange(HorzScrollBar, HorzRange, zoom, position.x());
    ApplyScrollRange(VertScrollBar, VertRange, zoom, position.y());
    StatusPanel0->setText(
        QString::fromStdString(PictureSizeText(Document.SourceBitmap.Width(), Document.SourceBitmap.Height())));
    StatusPanel1->setText(QString::fromStdString(ZoomText(zoom)));
    ComputeViewRect();
    ShowToolOptionPage();
}

void TFrmMain::StretchView(int x0, int x1, int y0, int y1)
{
    const TBitmap& view = Document.ViewBitmap;
    const TRect area = ClampRect(View, view.Width(), view.Height());
    if (area.Empty())
        return;
    const double zoom = ZoomRate();
    const TStretch stretch{area, ScaledLength(area.Right - area.Left + 1, zoom),
                           ScaledLength(area.Bottom - area.Top + 1, zoom)};
    QImage& screen = PaintBox1->Screen();
    x1 = std::min({x1, stretch.ScaledWidth, int(screen.width())});
    y1 = std::min({y1, stretch.ScaledHeight, int(screen.height())});
    x0 = std::max(x0, 0);
    y0 = std::max(y0, 0);
    if (x0 >= x1 || y0 >= y1)
        return;
    StretchToScreen(view, stretch, reinterpret_cast<std::uint32_t*>(screen.bits()),
                    std::size_t(screen.bytesPerLine()) / sizeof(std::uint32_t), x0, x1, y0, y1);
}

void TFrmMain::PaintView()
{
    QImage& screen = PaintBox1->Screen();
    const TBitmap& view = Document.ViewBitmap;
    const TRect area = ClampRect(View, view.Width(), view.Height());
    if (!Document.PictureOpened || area.Empty()) {
        PaintBox1->ClearToFace(screen.rect());
        PaintBox1->update();
        return;
    }
    const double zoom = ZoomRate();
    const int shownWidth = std::min(ScaledLength(area.Right - area.Left + 1, zoom), int(screen.width()));
    const int shownHeight = std::min(ScaledLength(area.Bottom - area.Top + 1, zoom), int(screen.height()));
    StretchView(0, shownWidth, 0, shownHeight);
    // The face colour where the picture does not reach.
    PaintBox1->ClearToFace(QRect(shownWidth, 0, screen.width() - shownWidth, shownHeight));
    PaintBox1->ClearToFace(QRect(0, shownHeight, screen.width(), screen.height() - shownHeight));
    PaintBox1->update();
}

void TFrmMain::PaintRect(const TRect& rect)
{
    const TBitmap& view = Document.ViewBitmap;
    const TRect area = ClampRect(View, view.Width(), view.Height());
    if (!Document.PictureOpened || area.Empty())
        return;
    // The screen pixels of the rectangle under the view's own mapping, so
    // that a part is drawn exactly as the whole view draws it.
    const double zoom = ZoomRate();
    const int w = area.Right - area.Left + 1;
    const int h = area.Bottom - area.Top + 1;
    const TScreenSpan columns = ScreenSpan(rect.Left, rect.Right, area.Left, w, ScaledLength(w, zoom));
    const TScreenSpan rows = ScreenSpan(rect.Top, rect.Bottom, area.Top, h, ScaledLength(h, zoom));
    if (columns.First >= columns.End || rows.First >= rows.End)
        return;
    StretchView(columns.First, columns.End, rows.First, rows.End);
    PaintBox1->UpdateDeviceRect(QRect(columns.First, rows.First, columns.End - columns.First, rows.End - rows.First));
}

void TFrmMain::RefreshView()
{
    if (Document.PictureOpened)
        Document.RebuildComposite(View);
    PaintView();
    // The rebuild took any cursor outline away; the tool draws it again, over
    // the composite as it is now.
    if (TTool* tool = CurrentToolObject(); tool && Document.PictureOpened)
        tool->Refresh();
}

void TFrmMain::RefreshToolPreview()
{
    // The tool shows its outline with the new settings at the end of the
    // refresh; the layer settings that may have asked for it show too.
    RefreshView();
}

void TFrmMain::ShowToolOptionPage()
{
    if (FrmToolOption)
        FrmToolOption->ShowPage(Tool);
    UpdateViewCursor();
}

void TFrmMain::UpdateViewCursor()
{
    const TToolInfo* info = FindTool(Tool);
    if (!info)
        return;
    int cursor = crDefault;
    switch (info->Cursor) {
    case TToolCursor::Arrow: break;
    case TToolCursor::Cross: cursor = crCross; break;
    case TToolCursor::Hand:
        // An open hand over a picture that can be moved, a closed one while it is.
        if (HorzRange.Shown || VertRange.Shown)
            cursor = Grabbing ? crHandGrab : crHandFlat;
        break;
    }
    PaintBox1->setCursor(CursorFor(cursor, PaintBox1->devicePixelRatioF()));
}

void TFrmMain::SetZoomStep(int step)
{
    const QSize paint = PaintSize();
    SetZoomStep(step, QPoint(paint.width() / 2, paint.height() / 2));
}

void TFrmMain::SetZoomStep(int step, QPoint anchor)
{
    if (step < MinZoomStep() || step > MaxZoomStep())
        return;
    const double oldRate = ZoomRate();
    ZoomStep = step;
    const double newRate = ZoomRate();
    const QSize paint = PaintSize();
    const TScrollRange horz = ScrollRangeFor(paint.width(), Document.ViewBitmap.Width(), newRate);
    const TScrollRange vert = ScrollRangeFor(paint.height(), Document.ViewBitmap.Height(), newRate);
    UpdateScrollBars(QPoint(ScrollKeepingPoint(HorzScrollBar->value(), anchor.x(), oldRate, newRate, horz),
                            ScrollKeepingPoint(VertScrollBar->value(), anchor.y(), oldRate, newRate, vert)));
    RefreshView();
    SetDrawToolsForZoom();
}

void TFrmMain::ZoomIn() { SetZoomStep(ZoomStep + 1); }

void TFrmMain::ZoomOut() { SetZoomStep(ZoomStep - 1); }

void TFrmMain::ActualPixels() { SetZoomStep(0); }

void TFrmMain::FitInWindow()
{
    const QSize paint = PaintSize();
    SetZoomStep(FitZoomStep(Document.ViewBitmap.Width(), Document.ViewBitmap.Height(), paint.width(), paint.height()));
}

void TFrmMain::keyPressEvent(QKeyEvent* event)
{
    // The arrow keys and Page Up / Page Down scroll the view, as in other
    // picture programs; with a modifier they are left to the shortcuts.
    QScrollBar* bar = nullptr;
    int steps = 0;
    bool page = false;
    if (Document.PictureOpened && event->modifiers() == Qt::NoModifier) {
        switch (event->key()) {
        case Qt::Key_Left:
            bar = HorzScrollBar;
            steps = -1;
            break;
        case Qt::Key_Right:
            bar = HorzScrollBar;
            steps = 1;
            break;
        case Qt::Key_Up:
            bar = VertScrollBar;
            steps = -1;
            break;
        case Qt::Key_Down:
            bar = VertScrollBar;
            steps = 1;
            break;
        case Qt::Key_PageUp:
            bar = VertScrollBar;
            steps = -1;
            page = true;
            break;
        case Qt::Key_PageDown:
            bar = VertScrollBar;
            steps = 1;
            page = true;
            break;
        default: break;
        }
    }
    if (!bar || bar->isHidden()) {
        QMainWindow::keyPressEvent(event);
        return;
    }
    bar->setValue(bar->value() + steps * (page ? bar->pageStep() : bar->singleStep()));
    event->accept();
}

void TFrmMain::SetDrawToolsForZoom()
{
    if (ZoomRate() >= 1.0)
        FrmTools->EnableDrawTools();
    else
        FrmTools->DisableDrawTools();
}

void TFrmMain::PaintBoxResized()
{
    if (Destroying)
        return;
    UpdateScrollBars();
    RefreshView();
}

void TFrmMain::ScrollBarMoved()
{
    if (Destroying)
        return;
    ComputeViewRect();
    RefreshView();
}

TPicturePoint TFrmMain::PointerToPicture(QPoint position) const
{
    return PictureCoordinates(position.x(), position.y(), ZoomRate(), HorzScrollBar->value(), VertScrollBar->value());
}

namespace {

TMouseButton ToolButton(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton: return TMouseButton::Left;
    case Qt::RightButton: return TMouseButton::Right;
    case Qt::MiddleButton: return TMouseButton::Middle;
    default: return TMouseButton::None;
    }
}

TMouseButtons ToolButtons(Qt::MouseButtons buttons)
{
    TMouseButtons held;
    for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton})
        if (buttons & button)
            held = held | ToolButton(button);
    return held;
}

TToolPoint ToolPoint(TPicturePoint point) { return TToolPoint{point.X, point.Y}; }

} // namespace

void TFrmMain::PointerPressed(QPoint position, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    if (Destroying || !Document.PictureOpened)
        return;
    if (TTool* tool = CurrentToolObject())
        Guarded([&] { tool->Press(ToolPoint(PointerToPicture(position)), ToolButton(button), ToolButtons(buttons)); });
}

void TFrmMain::PointerMoved(QPoint position, Qt::MouseButtons buttons)
{
    if (Destroying || !Document.PictureOpened)
        return;
    if (TTool* tool = CurrentToolObject())
        Guarded([&] { tool->Move(ToolPoint(PointerToPicture(position)), ToolButtons(buttons)); });
}

void TFrmMain::PointerReleased(QPoint position, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    if (Destroying || !Document.PictureOpened)
        return;
    // The release records the history step, which writes a file: its errors
    // are shown like any command's.
    if (TTool* tool = CurrentToolObject())
        Guarded(
            [&] { tool->Release(ToolPoint(PointerToPicture(position)), ToolButton(button), ToolButtons(buttons)); });
}

void TFrmMain::SetViewShape(Qt::CursorShape shape) { PaintBox1->setCursor(QCursor(shape)); }

void TFrmMain::SetViewGrabbing(bool grabbing)
{
    Grabbing = grabbing;
    UpdateViewCursor();
}

void TFrmMain::ScrollViewBy(int dx, int dy)
{
    bool moved = false;
    const auto move = [&moved](QScrollBar* bar, const TScrollRange& range, int by) {
        if (!range.Shown)
            return;
        const int position = std::clamp(bar->value() + by, 0, range.LastPosition());
        if (position == bar->value())
            return;
        const QSignalBlocker blocker(bar);
        bar->setValue(position);
        moved = true;
    };
    move(HorzScrollBar, HorzRange, dx);
    move(VertScrollBar, VertRange, dy);
    if (moved) {
        ComputeViewRect();
        RefreshView();
    }
}

void TFrmMain::WheelTurned(QWheelEvent* event)
{
    if (!Document.PictureOpened)
        return;
    if (event->modifiers() & Qt::ControlModifier) {
        ZoomWheelTurn += event->angleDelta().y();
        // The picture point under the pointer stays under it.
        const QPoint anchor = (event->position() * PaintBox1->devicePixelRatioF()).toPoint();
        for (; ZoomWheelTurn >= 120; ZoomWheelTurn -= 120)
            if (MenuItem_ZoomIn->isEnabled())
                SetZoomStep(ZoomStep + 1, anchor);
        for (; ZoomWheelTurn <= -120; ZoomWheelTurn += 120)
            if (MenuItem_ZoomOut->isEnabled())
                SetZoomStep(ZoomStep - 1, anchor);
        event->accept();
        return;
    }
    // Shift turns the wheel into a sideways scroll, as elsewhere on the desktop.
    const QPoint turn = event->angleDelta();
    const bool sideways = turn.x() != 0 || (event->modifiers() & Qt::ShiftModifier);
    const int delta = turn.y() != 0 ? turn.y() : turn.x();
    QScrollBar* bar = sideways ? HorzScrollBar : VertScrollBar;
    if (bar->isHidden() || delta == 0)
        return;
    // One notch (120) moves the desktop's number of lines; the bar's own
    // signal then refreshes the view.
    const int by = int(std::lround(double(delta) * QApplication::wheelScrollLines() * bar->singleStep() / 120));
    bar->setValue(bar->value() - by);
    event->accept();
}
