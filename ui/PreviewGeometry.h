#pragma once

#include <QPoint>
#include <QSize>

// The arithmetic of what the preview area shows, in device pixels of the
// area and pixels of the working picture.

// Where a region of `areaSize` pixels starts along one axis so that it is
// centred on picture pixel `centre`, held inside the picture (0 when the area
// takes the whole picture).
int CentredScroll(int centre, int areaSize, int pictureSize);

// The whole picture reduced to lie in the area with its shape kept (each side
// at least 1); the picture's own size when it fits.
QSize FitSize(QSize picture, QSize area);
// Where the reduced picture lies in the area: centred.
QPoint FitOrigin(QSize fit, QSize area);
// The picture pixel shown at an area point of the fit view, held inside the
// picture.
QPoint FitToPicture(QPoint areaPoint, QSize picture, QSize fit, QSize area);
