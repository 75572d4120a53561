#pragma once

#include "picture/Bitmap.h"
#include "tools/ToolEnvironment.h"

#include <QColor>
#include <QImage>

// A picture's own memory seen as a toolkit image, without a copy: what a
// painter draws on it lands in the picture (its rows are padded to four
// bytes, as the toolkit's BGR format expects).
inline QImage ImageOf(TBitmap& picture)
{
    return QImage(picture.Bits(), picture.Width(), picture.Height(), qsizetype(picture.Stride()),
                  QImage::Format_BGR888);
}

// The same, read only.
inline QImage ImageOf(const TBitmap& picture)
{
    return QImage(picture.Bits(), picture.Width(), picture.Height(), qsizetype(picture.Stride()),
                  QImage::Format_BGR888);
}

inline QColor ToQColor(TToolColor color) { return QColor(color.R, color.G, color.B); }
