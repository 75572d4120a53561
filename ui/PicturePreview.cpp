#include "ui/PicturePreview.h"

#include "document/Document.h"
#include "document/P2CFile.h"
#include "document/ViewArithmetic.h"
#include "picture/FileNames.h"
#include "picture/PictureFiles.h"
#include "tools/PictureImage.h"

#include <QFileInfo>
#include <QImageReader>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

#include <exception>

namespace {

QImage ProjectPreview(const QString& path, int side, QSize* size)
{
    if (QFileInfo(path).size() > TPicturePreview::MaxProjectPreviewBytes)
        return {};
    TDocument document;
    try {
        ReadProjectFile(path.toStdString(), document);
        document.RebuildAll();
    } catch (const std::exception&) {
        return {};
    }
    const TBitmap& view = document.ViewBitmap;
    if (view.Empty())
        return {};
    *size = QSize(view.Width(), view.Height());
    // scaled() makes its own copy, so the document may go.
    return ImageOf(view).scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

// For what the toolkit cannot read (HEIC, AVIF, or a WebP or TIFF without
// its plugin): the program's own reader, then a reduction. A phone's HEIC
// brings its own small thumbnail, which spares decoding the whole photo.
QImage DecodedPreview(const QString& path, int side, QSize* size)
{
    TBitmap picture;
    int width = 0, height = 0;
    try {
        picture = ReadPictureForPreview(path.toStdString(), side, &width, &height);
    } catch (const std::exception&) {
        return {};
    }
    *size = QSize(width, height);
    return ImageOf(picture).scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

} // namespace

QImage PreviewPicture(const QString& path, int side, QSize* size)
{
    *size = QSize();
    const TFileKind kind = FileKindOf(path.toStdString());
    if (kind == TFileKind::Project)
        return ProjectPreview(path, side, size);
    if (!HoldsPicture(path.toStdString()))
        return {};
    QImageReader reader(path);
    reader.setAutoTransform(true);
    QSize full = reader.size();
    if (!full.isValid())
        return DecodedPreview(path, side, size);
    if (reader.transformation() & QImageIOHandler::TransformationRotate90)
        full.transpose();
    *size = full;
    // A JPEG is decoded straight at a fraction of its size, which keeps even
    // a large photo quick.
    const QSize scaled = full.scaled(side, side, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
    if (scaled.width() < full.width()) {
        QSize readSize = scaled;
        if (reader.transformation() & QImageIOHandler::TransformationRotate90)
            readSize.transpose();
        reader.setScaledSize(readSize);
    }
    QImage image = reader.read();
    if (image.isNull())
        return DecodedPreview(path, side, size);
    return image;
}

TPicturePreview::TPicturePreview(QWidget* parent)
    : QFrame(parent)
{
    setObjectName("PicturePreview");
    setFrameShape(QFrame::StyledPanel);
    Img_Preview = new QLabel(this);
    Img_Preview->setObjectName("Img_Preview");
    // At the bottom of its square, so that the size reads right under the picture.
    Img_Preview->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
    Img_Preview->setFixedSize(PreviewSide, PreviewSide);
    Lab_Size = new QLabel(this);
    Lab_Size->setObjectName("Lab_Size");
    Lab_Size->setAlignment(Qt::AlignCenter);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Img_Preview);
    layout->addWidget(Lab_Size);
    layout->addStretch();

    Delay = new QTimer(this);
    Delay->setSingleShot(true);
    Delay->setInterval(120);
    connect(Delay, &QTimer::timeout, this, [this] { ShowFile(PendingPath); });
}

void TPicturePreview::ShowFileSoon(const QString& path)
{
    PendingPath = path;
    Delay->start();
}

void TPicturePreview::ShowFile(const QString& path)
{
    QSize size;
    const QImage image = QFileInfo(path).isFile() ? PreviewPicture(path, PreviewSide, &size) : QImage();
    if (image.isNull()) {
        ShowPicture(QImage(), QString());
        return;
    }
    ShowPicture(image, QString::fromStdString(PictureSizeText(size.width(), size.height())));
}

void TPicturePreview::ShowPicture(const QImage& image, const QString& text)
{
    if (image.isNull()) {
        Img_Preview->clear();
    } else {
        const QSize box = Img_Preview->size() * devicePixelRatioF();
        QImage shown = image.width() > box.width() || image.height() > box.height()
                           ? image.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                           : image;
        shown.setDevicePixelRatio(devicePixelRatioF());
        Img_Preview->setPixmap(QPixmap::fromImage(shown));
    }
    Lab_Size->setText(text);
}
