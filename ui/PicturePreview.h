#pragma once

#include <QFrame>
#include <QImage>
#include <QString>

class QLabel;
class QTimer;

// The picture preview beside the open dialog's file list: a small picture of
// the file under the cursor and its size in pixels. Pictures are decoded at a
// reduced size; projects are read whole, so large ones show only their size.
class TPicturePreview : public QFrame {
    Q_OBJECT

public:
    explicit TPicturePreview(QWidget* parent = nullptr);

    // Shows the file a little later, so that running through a folder with
    // the arrow keys does not decode every picture on the way.
    void ShowFileSoon(const QString& path);
    void ShowFile(const QString& path);

    // Projects larger than this are not read for a preview.
    static constexpr qint64 MaxProjectPreviewBytes = 120 * 1024 * 1024;
    static constexpr int PreviewSide = 220;

    QLabel* Img_Preview = nullptr;
    QLabel* Lab_Size = nullptr;

private:
    void ShowPicture(const QImage& image, const QString& text);

    QTimer* Delay = nullptr;
    QString PendingPath;
};

// A picture no larger than side x side made from the file, and its full size
// in Size; a null image when the file cannot be previewed.
QImage PreviewPicture(const QString& path, int side, QSize* size);
