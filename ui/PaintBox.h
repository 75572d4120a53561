#pragma once

#include <QImage>
#include <QWheelEvent>
#include <QWidget>

// The picture view's drawing surface. It keeps one screen-sized image in
// device pixels, which the main window draws the visible part of the picture
// into; painting only copies that image to the screen, one image pixel to one
// device pixel. Pointer events are passed on in device pixels of the box.
class TPaintBox : public QWidget {
    Q_OBJECT

public:
    explicit TPaintBox(QWidget* parent = nullptr);

    // The box's size in device pixels, and the image of that size (format
    // RGB32) that is shown. A new size starts the image in the window face
    // colour.
    QSize DeviceSize() const { return Canvas.size(); }
    QImage& Screen() { return Canvas; }
    QColor FaceColor() const;
    // Fills a rectangle of the image (device pixels) with the face colour.
    void ClearToFace(const QRect& deviceRect);
    // Repaints a rectangle given in device pixels.
    void UpdateDeviceRect(const QRect& deviceRect);

signals:
    // The device size changed (also when the screen's pixel ratio did).
    void Resized();
    // Pointer position in device pixels of the box: the pixel it lies in.
    void PointerPressed(QPoint position, Qt::MouseButton button, Qt::MouseButtons buttons);
    void PointerMoved(QPoint position, Qt::MouseButtons buttons);
    void PointerReleased(QPoint position, Qt::MouseButton button, Qt::MouseButtons buttons);
    void WheelTurned(QWheelEvent* event);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void FitCanvas();
    QPoint DevicePosition(const QPointF& position) const;

    QImage Canvas;
};
