#include "ui/PicturePreview.h"

#include "document/Document.h"
#include "document/P2CFile.h"
#include "picture/BmpFile.h"
#include "picture/PictureFiles.h"

#include <QFile>
#include <QTemporaryDir>

#include <filesystem>

#include <gtest/gtest.h>

namespace {

QString Photo(const char* name) { return QStringLiteral(LQ_PHOTO_DIR "/") + name; }

TEST(PicturePreview, PhotosAreReducedToFitAndReportTheirFullSize)
{
    for (const char* name : {"coffee.jpg", "coffee.bmp"}) {
        QSize size;
        const QImage preview = PreviewPicture(Photo(name), 120, &size);
        EXPECT_EQ(size, QSize(600, 400)) << name;
        EXPECT_EQ(preview.size(), QSize(120, 80)) << name;
    }
    // A small picture is not enlarged by the reader.
    QSize size;
    EXPECT_EQ(PreviewPicture(Photo("astronaut.jpg"), 1000, &size).size(), QSize(512, 512));
}

// Every kind the editor opens previews, by content, also those the toolkit
// has no reader for (the program's own reader stands in).
TEST(PicturePreview, TheNewerKindsPreviewByTheirContent)
{
    QTemporaryDir folder;
    const TBitmap photo = ReadBmpFile(Photo("coffee.bmp").toStdString());
    const std::string png = folder.filePath("coffee.png").toStdString();
    WritePicture(png, photo);
    WritePicture(folder.filePath("coffee.webp").toStdString(), photo, {true});
    std::filesystem::copy_file(png, folder.filePath("png-named.jpg").toStdString());
    std::filesystem::copy_file(png, folder.filePath("png-without-extension").toStdString());
    for (const char* name : {"coffee.png", "coffee.webp", "png-named.jpg", "png-without-extension"}) {
        QSize size;
        const QImage preview = PreviewPicture(folder.filePath(name), 120, &size);
        EXPECT_EQ(size, QSize(600, 400)) << name;
        ASSERT_EQ(preview.size(), QSize(120, 80)) << name;
        // The middle of the photo, reduced: close to the photo's own colour there.
        const QRgb shown = preview.pixel(60, 40);
        const std::uint8_t* middle = photo.ScanLine(200) + 300 * 3;
        EXPECT_NEAR(qRed(shown), middle[2], 40) << name;
        EXPECT_NEAR(qBlue(shown), middle[0], 40) << name;
    }
}

TEST(PicturePreview, AProjectShowsItsComposite)
{
    QTemporaryDir folder;
    TDocument document;
    document.InitialisePhoto(ReadBmpFile(Photo("coffee.bmp").toStdString()));
    // Only the sketch layer shown, filled black: the preview is black.
    document.SketchLayer.Fill(0, 0, 0);
    document.LayerState.ColorVisible = false;
    const QString project = folder.filePath("scene.p2c");
    ASSERT_EQ(WriteProjectFile(project.toStdString(), document), 0);

    QSize size;
    const QImage preview = PreviewPicture(project, 60, &size);
    EXPECT_EQ(size, QSize(600, 400));
    ASSERT_EQ(preview.size(), QSize(60, 40));
    EXPECT_EQ(preview.pixel(30, 20), qRgb(0, 0, 0));
}

TEST(PicturePreview, OtherFilesHaveNoPreview)
{
    QTemporaryDir folder;
    const QString png = folder.filePath("coffee.png");
    QFile text(png);
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("no picture");
    text.close();
    const QString broken = folder.filePath("broken.p2c");
    QFile file(broken);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("p2c");
    file.close();
    for (const QString& path : {png, broken, folder.filePath("missing.jpg")}) {
        QSize size(1, 1);
        EXPECT_TRUE(PreviewPicture(path, 100, &size).isNull()) << path.toStdString();
        EXPECT_FALSE(size.isValid()) << path.toStdString();
    }
}

} // namespace
