#include "tools/ObjectCanvas.h"

#include <algorithm>

TObjectCanvas::TObjectCanvas(int width, int height, bool smooth)
    : Picture(std::max(width, 1), std::max(height, 1), QImage::Format_ARGB32_Premultiplied)
{
    Picture.fill(Qt::transparent);
    Paint.begin(&Picture);
    Paint.setRenderHint(QPainter::Antialiasing, smooth);
    Paint.setRenderHint(QPainter::TextAntialiasing, smooth);
}

void TObjectCanvas::Finish(TObjectImage& image)
{
    if (Paint.isActive())
        Paint.end();
    const int width = Picture.width();
    const int height = Picture.height();
    image.Masked = false;
    image.Blended = true;
    image.Paint = TBitmap(width, height);
    image.Alpha.assign(std::size_t(width) * std::size_t(height), 0);
    for (int y = 0; y < height; ++y) {
        const QRgb* in = reinterpret_cast<const QRgb*>(Picture.constScanLine(y));
        std::uint8_t* out = image.Paint.ScanLine(y);
        std::uint8_t* alpha = image.Alpha.data() + std::size_t(y) * std::size_t(width);
        for (int x = 0; x < width; ++x, out += 3) {
            out[0] = std::uint8_t(qBlue(in[x]));
            out[1] = std::uint8_t(qGreen(in[x]));
            out[2] = std::uint8_t(qRed(in[x]));
            alpha[x] = std::uint8_t(qAlpha(in[x]));
        }
    }
}
