#include "ui/Cursors.h"

#include <QGuiApplication>
#include <QPainter>
#include <QSvgRenderer>

#include <cmath>

namespace {

const char* HandResource(int id)
{
    switch (id) {
    case crHandFlat: return ":/cursors/handflat.svg";
    case crHandGrab: return ":/cursors/handgrab.svg";
    default: return nullptr;
    }
}

} // namespace

QPixmap HandCursorPixmap(int id, qreal devicePixelRatio)
{
    const char* resource = HandResource(id);
    if (!resource)
        return {};
    QSvgRenderer renderer(QString::fromLatin1(resource));
    if (!renderer.isValid())
        return {};
    // Whole device pixels only, so the artwork is never resampled.
    const int pixels = static_cast<int>(std::ceil(HandCursorSize * devicePixelRatio));
    QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter);
    painter.end();
    QPixmap pixmap = QPixmap::fromImage(image);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    return pixmap;
}

QPoint HandCursorHotSpot(int id)
{
    // The middle of the palm, where the hand holds the picture.
    if (HandResource(id))
        return {13, 14};
    return {};
}

QCursor CursorFor(int id, qreal devicePixelRatio)
{
    switch (id) {
    case crHandFlat:
    case crHandGrab: {
        const QPixmap pixmap = HandCursorPixmap(id, devicePixelRatio);
        if (pixmap.isNull())
            return QCursor(Qt::OpenHandCursor);
        const QPoint hot = HandCursorHotSpot(id);
        return QCursor(pixmap, hot.x(), hot.y());
    }
    case crCross: return QCursor(Qt::CrossCursor);
    case crHourGlass: return QCursor(Qt::WaitCursor);
    case crDefault:
    case crArrow:
    default: return QCursor(Qt::ArrowCursor);
    }
}

QCursor CursorFor(int id)
{
    const qreal ratio = qGuiApp ? qGuiApp->devicePixelRatio() : 1.0;
    return CursorFor(id, ratio);
}
