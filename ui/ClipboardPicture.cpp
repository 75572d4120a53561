#include "ui/ClipboardPicture.h"

#include "picture/BmpFile.h"
#include "tools/PictureImage.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QImage>
#include <QImageWriter>
#include <QThreadPool>

#include <atomic>
#include <ostream>
#include <streambuf>

namespace {

const QString PngType = QStringLiteral("image/png");
const QString BmpType = QStringLiteral("image/bmp");

// Counts the copies; a compression finishing after a newer copy is dropped.
std::atomic<unsigned> CopyCount{0};

// An output stream's buffer over memory of a known size.
class TArrayOutput : public std::streambuf {
public:
    TArrayOutput(char* bytes, std::size_t size) { setp(bytes, bytes + size); }
};

} // namespace

TClipboardPicture::TClipboardPicture(std::shared_ptr<const TBitmap> picture, QByteArray png)
    : Picture(std::move(picture))
    , Png(std::move(png))
{
}

// Not Qt's own picture type: offering it makes the toolkit offer PNG, JPEG
// and more for it, each encoded on the interface thread when asked for (six
// seconds for PNG on an 18-megapixel picture). Only what costs a copy is
// offered until the worker's PNG is ready.
QStringList TClipboardPicture::formats() const
{
    QStringList list{BmpType};
    if (!Png.isEmpty())
        list.prepend(PngType);
    return list;
}

bool TClipboardPicture::hasFormat(const QString& mimeType) const { return formats().contains(mimeType); }

QVariant TClipboardPicture::retrieveData(const QString& mimeType, QMetaType) const
{
    if (mimeType == PngType && !Png.isEmpty())
        return Png;
    if (mimeType == BmpType) {
        // Written once, straight into the bytes handed out: a paste asks
        // again for every program that reads it.
        if (Bmp.isEmpty()) {
            Bmp.resize(qsizetype(BmpFileSize(Picture->Width(), Picture->Height())));
            TArrayOutput buffer(Bmp.data(), std::size_t(Bmp.size()));
            std::ostream out(&buffer);
            WriteBmp(out, *Picture);
        }
        return Bmp;
    }
    return {};
}

QByteArray EncodePng(const TBitmap& picture)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    // zlib's fastest level: a photo compresses almost as well, several times
    // sooner than the default.
    writer.setCompression(1);
    if (!writer.write(ImageOf(picture)))
        return {};
    return bytes;
}

void CopyPicture(const TBitmap& picture)
{
    // The composite changes later; the clipboard keeps the picture as it was.
    auto snapshot = std::make_shared<const TBitmap>(picture);
    const unsigned copy = ++CopyCount;
    QGuiApplication::clipboard()->setMimeData(new TClipboardPicture(snapshot));

    // The application waits for the global pool's work when it ends, so the
    // result is never handed to a program that is going away.
    QThreadPool::globalInstance()->start([snapshot, copy] {
        QByteArray png = EncodePng(*snapshot);
        if (png.isEmpty())
            return;
        QMetaObject::invokeMethod(
            qApp,
            [snapshot, copy, png = std::move(png)] {
                // Only if nothing was copied since, by this program or another:
                // the clipboard must still hold this copy's offer.
                const auto* offer = qobject_cast<const TClipboardPicture*>(QGuiApplication::clipboard()->mimeData());
                if (copy != CopyCount.load() || !offer || !offer->Holds(*snapshot))
                    return;
                QGuiApplication::clipboard()->setMimeData(new TClipboardPicture(snapshot, png));
            },
            Qt::QueuedConnection);
    });
}
