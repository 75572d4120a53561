#pragma once

#include "tools/ObjectImage.h"

#include <QImage>
#include <QPainter>

// An object's image painted with the toolkit: a transparent picture of the
// image's size, antialiased or stair-stepped, that becomes a blended object
// image when done, so that it lies over the layer as painted.
class TObjectCanvas {
public:
    TObjectCanvas(int width, int height, bool smooth);

    QImage& Image() { return Picture; }
    QPainter& Painter() { return Paint; }
    // Ends the painting and hands the pixels over.
    void Finish(TObjectImage& image);

private:
    QImage Picture;
    QPainter Paint;
};
