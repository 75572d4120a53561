#include "ui/PaintBox.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <cmath>

TPaintBox::TPaintBox(QWidget* parent)
    : QWidget(parent)
{
    setObjectName("PaintBox1");
    // Every pixel is drawn from the image, so the toolkit need not clear first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);
    setMinimumSize(1, 1);
    FitCanvas();
}

QColor TPaintBox::FaceColor() const { return palette().color(QPalette::Window); }

void TPaintBox::ClearToFace(const QRect& deviceRect)
{
    const QRect area = deviceRect.intersected(Canvas.rect());
    if (area.isEmpty())
        return;
    const QRgb face = FaceColor().rgb() | 0xff000000u;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(Canvas.scanLine(y));
        std::fill(row + area.left(), row + area.right() + 1, face);
    }
}

void TPaintBox::UpdateDeviceRect(const QRect& deviceRect)
{
    const qreal ratio = Canvas.devicePixelRatio();
    // Whole logical pixels that cover the device rectangle.
    const int left = int(std::floor(deviceRect.left() / ratio));
    const int top = int(std::floor(deviceRect.top() / ratio));
    const int right = int(std::ceil((deviceRect.right() + 1) / ratio));
    const int bottom = int(std::ceil((deviceRect.bottom() + 1) / ratio));
    update(QRect(left, top, right - left, bottom - top));
}

void TPaintBox::FitCanvas()
{
    const qreal ratio = devicePixelRatioF();
    const QSize device(std::max(1, int(std::lround(width() * ratio))), std::max(1, int(std::lround(height() * ratio))));
    if (Canvas.size() == device && Canvas.devicePixelRatio() == ratio)
        return;
    Canvas = QImage(device, QImage::Format_RGB32);
    Canvas.setDevicePixelRatio(ratio);
    Canvas.fill(FaceColor());
}

void TPaintBox::paintEvent(QPaintEvent* event)
{
    // A window moved to a screen of another pixel ratio has another device
    // size: the view is drawn anew for it once this paint is done.
    if (Canvas.devicePixelRatio() != devicePixelRatioF()) {
        FitCanvas();
        QMetaObject::invokeMethod(this, &TPaintBox::Resized, Qt::QueuedConnection);
    }
    QPainter painter(this);
    // The image has the box's pixel ratio, so it is copied without scaling.
    painter.drawImage(
        event->rect(), Canvas,
        QRectF(event->rect().topLeft() * Canvas.devicePixelRatio(), event->rect().size() * Canvas.devicePixelRatio()));
}

void TPaintBox::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    FitCanvas();
    emit Resized();
}

QPoint TPaintBox::DevicePosition(const QPointF& position) const
{
    const qreal ratio = Canvas.devicePixelRatio();
    return QPoint(int(std::floor(position.x() * ratio)), int(std::floor(position.y() * ratio)));
}

void TPaintBox::mousePressEvent(QMouseEvent* event)
{
    emit PointerPressed(DevicePosition(event->position()), event->button(), event->buttons());
}

void TPaintBox::mouseMoveEvent(QMouseEvent* event)
{
    emit PointerMoved(DevicePosition(event->position()), event->buttons());
}

void TPaintBox::mouseReleaseEvent(QMouseEvent* event)
{
    emit PointerReleased(DevicePosition(event->position()), event->button(), event->buttons());
}

void TPaintBox::wheelEvent(QWheelEvent* event) { emit WheelTurned(event); }
