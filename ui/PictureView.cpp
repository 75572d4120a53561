#include "ui/PictureView.h"

#include "document/Document.h"
#include "document/ViewStretch.h"
#include "ui/Cursors.h"
#include "ui/PaintBox.h"

#include <QApplication>
#include <QGridLayout>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace {

// A scroll bar arrow or wheel line moves about this many screen pixels.
constexpr double LineStepScreenPixels = 32;

} // namespace

TPictureView::TPictureView(const TDocument& document, QWidget* parent)
    : QWidget(parent)
    , Document(document)
{
    setObjectName("ViewClient");
    PaintBox = new TPaintBox(this);
    HorizontalBar = new QScrollBar(Qt::Horizontal, this);
    HorizontalBar->setObjectName("HorzScrollBar");
    VerticalBar = new QScrollBar(Qt::Vertical, this);
    VerticalBar->setObjectName("VertScrollBar");
    for (QScrollBar* bar : {HorizontalBar, VerticalBar}) {
        bar->setFocusPolicy(Qt::NoFocus);
        bar->hide();
        connect(bar, &QScrollBar::valueChanged, this, [this] {
            ComputeViewRect();
            emit Scrolled();
        });
    }
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);
    grid->addWidget(PaintBox, 0, 0);
    grid->addWidget(VerticalBar, 0, 1);
    grid->addWidget(HorizontalBar, 1, 0);

    connect(PaintBox, &TPaintBox::Resized, this, &TPictureView::Resized);
    connect(PaintBox, &TPaintBox::PointerPressed, this,
            [this](QPoint position, Qt::MouseButton button, Qt::MouseButtons buttons) {
                if (Document.PictureOpened)
                    emit PointerPressed(PointerToPicture(position), button, buttons);
            });
    connect(PaintBox, &TPaintBox::PointerMoved, this, [this](QPoint position, Qt::MouseButtons buttons) {
        if (Document.PictureOpened)
            emit PointerMoved(PointerToPicture(position), buttons);
    });
    connect(PaintBox, &TPaintBox::PointerReleased, this,
            [this](QPoint position, Qt::MouseButton button, Qt::MouseButtons buttons) {
                if (Document.PictureOpened)
                    emit PointerReleased(PointerToPicture(position), button, buttons);
            });
    connect(PaintBox, &TPaintBox::WheelTurned, this, &TPictureView::WheelTurned);
}

QSize TPictureView::PaintSize() const { return PaintBox->DeviceSize(); }

QPoint TPictureView::ScrollPosition() const { return QPoint(HorizontalBar->value(), VerticalBar->value()); }

int TPictureView::FitStep() const
{
    const QSize paint = PaintSize();
    return FitZoomStep(Document.ViewBitmap.Width(), Document.ViewBitmap.Height(), paint.width(), paint.height());
}

void TPictureView::ComputeViewRect()
{
    const QSize paint = PaintSize();
    View = ::ComputeViewRect(HorizontalBar->value(), VerticalBar->value(), Document.ViewBitmap.Width(),
                             Document.ViewBitmap.Height(), paint.width(), paint.height(), ZoomRate());
}

void TPictureView::ApplyScrollRange(QScrollBar* bar, const TScrollRange& range, double zoomRate, int position)
{
    // The program moves the bar here: no view refresh for each step.
    const QSignalBlocker blocker(bar);
    bar->setRange(0, range.LastPosition());
    bar->setPageStep(std::max(range.Page, 1));
    bar->setSingleStep(std::max(1, Nearest(LineStepScreenPixels / zoomRate)));
    bar->setValue(std::clamp(position, 0, range.LastPosition()));
    bar->setVisible(range.Shown);
}

void TPictureView::UpdateScrollBars(QPoint position)
{
    if (!Document.PictureOpened)
        return;
    const QSize paint = PaintSize();
    const double zoom = ZoomRate();
    HorizontalRange = ScrollRangeFor(paint.width(), Document.ViewBitmap.Width(), zoom);
    VerticalRange = ScrollRangeFor(paint.height(), Document.ViewBitmap.Height(), zoom);
    ApplyScrollRange(HorizontalBar, HorizontalRange, zoom, position.x());
    ApplyScrollRange(VerticalBar, VerticalRange, zoom, position.y());
    ComputeViewRect();
}

bool TPictureView::SetZoomStep(int step)
{
    const QSize paint = PaintSize();
    return SetZoomStep(step, QPoint(paint.width() / 2, paint.height() / 2));
}

bool TPictureView::SetZoomStep(int step, QPoint anchor)
{
    if (step < MinZoomStep() || step > MaxZoomStep())
        return false;
    const double oldRate = ZoomRate();
    Step = step;
    const double newRate = ZoomRate();
    const QSize paint = PaintSize();
    const TScrollRange horz = ScrollRangeFor(paint.width(), Document.ViewBitmap.Width(), newRate);
    const TScrollRange vert = ScrollRangeFor(paint.height(), Document.ViewBitmap.Height(), newRate);
    UpdateScrollBars(QPoint(ScrollKeepingPoint(HorizontalBar->value(), anchor.x(), oldRate, newRate, horz),
                            ScrollKeepingPoint(VerticalBar->value(), anchor.y(), oldRate, newRate, vert)));
    return true;
}

bool TPictureView::ScrollBy(int dx, int dy)
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
    move(HorizontalBar, HorizontalRange, dx);
    move(VerticalBar, VerticalRange, dy);
    if (moved)
        ComputeViewRect();
    return moved;
}

bool TPictureView::ScrollByKey(int key)
{
    QScrollBar* bar = nullptr;
    int steps = 0;
    bool page = false;
    switch (key) {
    case Qt::Key_Left:
        bar = HorizontalBar;
        steps = -1;
        break;
    case Qt::Key_Right:
        bar = HorizontalBar;
        steps = 1;
        break;
    case Qt::Key_Up:
        bar = VerticalBar;
        steps = -1;
        break;
    case Qt::Key_Down:
        bar = VerticalBar;
        steps = 1;
        break;
    case Qt::Key_PageUp:
        bar = VerticalBar;
        steps = -1;
        page = true;
        break;
    case Qt::Key_PageDown:
        bar = VerticalBar;
        steps = 1;
        page = true;
        break;
    default: break;
    }
    if (!bar || bar->isHidden())
        return false;
    bar->setValue(bar->value() + steps * (page ? bar->pageStep() : bar->singleStep()));
    return true;
}

void TPictureView::StretchView(int x0, int x1, int y0, int y1)
{
    const TBitmap& view = Document.ViewBitmap;
    const TRect area = ClampRect(View, view.Width(), view.Height());
    if (area.Empty())
        return;
    const double zoom = ZoomRate();
    const TStretch stretch{area, ScaledLength(area.Right - area.Left + 1, zoom),
                           ScaledLength(area.Bottom - area.Top + 1, zoom)};
    QImage& screen = PaintBox->Screen();
    x1 = std::min({x1, stretch.ScaledWidth, int(screen.width())});
    y1 = std::min({y1, stretch.ScaledHeight, int(screen.height())});
    x0 = std::max(x0, 0);
    y0 = std::max(y0, 0);
    if (x0 >= x1 || y0 >= y1)
        return;
    StretchToScreen(view, stretch, reinterpret_cast<std::uint32_t*>(screen.bits()),
                    std::size_t(screen.bytesPerLine()) / sizeof(std::uint32_t), x0, x1, y0, y1);
}

void TPictureView::PaintView()
{
    QImage& screen = PaintBox->Screen();
    const TBitmap& view = Document.ViewBitmap;
    const TRect area = ClampRect(View, view.Width(), view.Height());
    if (!Document.PictureOpened || area.Empty()) {
        PaintBox->ClearToFace(screen.rect());
        PaintBox->update();
        return;
    }
    const double zoom = ZoomRate();
    const int shownWidth = std::min(ScaledLength(area.Right - area.Left + 1, zoom), int(screen.width()));
    const int shownHeight = std::min(ScaledLength(area.Bottom - area.Top + 1, zoom), int(screen.height()));
    StretchView(0, shownWidth, 0, shownHeight);
    // The face colour where the picture does not reach.
    PaintBox->ClearToFace(QRect(shownWidth, 0, screen.width() - shownWidth, shownHeight));
    PaintBox->ClearToFace(QRect(0, shownHeight, screen.width(), screen.height() - shownHeight));
    PaintBox->update();
}

void TPictureView::PaintRect(const TRect& rect)
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
    PaintBox->UpdateDeviceRect(QRect(columns.First, rows.First, columns.End - columns.First, rows.End - rows.First));
}

void TPictureView::ShowToolCursor(TToolCursor cursor)
{
    int shape = crDefault;
    switch (cursor) {
    case TToolCursor::Arrow: break;
    case TToolCursor::Cross: shape = crCross; break;
    case TToolCursor::Hand:
        // An open hand over a picture that can be moved, a closed one while it is.
        if (HorizontalRange.Shown || VerticalRange.Shown)
            shape = Grabbing ? crHandGrab : crHandFlat;
        break;
    }
    PaintBox->setCursor(CursorFor(shape, PaintBox->devicePixelRatioF()));
}

void TPictureView::ShowShape(Qt::CursorShape shape) { PaintBox->setCursor(QCursor(shape)); }

TPicturePoint TPictureView::PointerToPicture(QPoint position) const
{
    return PictureCoordinates(position.x(), position.y(), ZoomRate(), HorizontalBar->value(), VerticalBar->value());
}

void TPictureView::WheelTurned(QWheelEvent* event)
{
    if (!Document.PictureOpened)
        return;
    if (event->modifiers() & Qt::ControlModifier) {
        ZoomWheelTurn += event->angleDelta().y();
        const int notches = ZoomWheelTurn / 120;
        ZoomWheelTurn -= notches * 120;
        // The picture point under the pointer stays under it.
        if (notches != 0)
            emit ZoomTurned(notches, (event->position() * PaintBox->devicePixelRatioF()).toPoint());
        event->accept();
        return;
    }
    // Shift turns the wheel into a sideways scroll, as elsewhere on the desktop.
    const QPoint turn = event->angleDelta();
    const bool sideways = turn.x() != 0 || (event->modifiers() & Qt::ShiftModifier);
    const int delta = turn.y() != 0 ? turn.y() : turn.x();
    QScrollBar* bar = sideways ? HorizontalBar : VerticalBar;
    if (bar->isHidden() || delta == 0)
        return;
    // One notch (120) moves the desktop's number of lines; the bar's own
    // signal then refreshes the view.
    const int by = int(std::lround(double(delta) * QApplication::wheelScrollLines() * bar->singleStep() / 120));
    bar->setValue(bar->value() - by);
    event->accept();
}
