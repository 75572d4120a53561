#pragma once

#include "picture/Bitmap.h"

#include <QByteArray>
#include <QMimeData>

#include <memory>

// The composite as the clipboard offers it to other programs. Answering a
// request must never keep the editor waiting, since the window system asks
// on the interface thread: a bitmap (image/bmp) costs only a copy and is
// there at once; PNG, which most
// programs prefer, is compressed on a worker thread as soon as Copy runs and
// offered from the moment it is ready (CopyPicture puts a new offer with it
// on the clipboard then).
class TClipboardPicture : public QMimeData {
    Q_OBJECT

public:
    TClipboardPicture(std::shared_ptr<const TBitmap> picture, QByteArray png = {});

    QStringList formats() const override;
    bool hasFormat(const QString& mimeType) const override;
    bool Holds(const TBitmap& picture) const { return Picture.get() == &picture; }

protected:
    QVariant retrieveData(const QString& mimeType, QMetaType type) const override;

private:
    std::shared_ptr<const TBitmap> Picture;
    QByteArray Png;
    mutable QByteArray Bmp;
};

// Puts a copy of `picture` on the system clipboard, then starts its PNG
// compression in the background. A later copy makes an earlier compression's
// result go unused.
void CopyPicture(const TBitmap& picture);

// PNG bytes of a picture, quickly compressed (the clipboard is read at once
// or not at all; its size matters less than the wait).
QByteArray EncodePng(const TBitmap& picture);
