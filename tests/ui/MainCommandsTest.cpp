#include "tests/ui/MainFixture.h"

#include "ui/FrmOptions.h"

#include "document/P2CFile.h"
#include "picture/BmpFile.h"
#include "picture/FileError.h"
#include "picture/FileNames.h"
#include "picture/JpegFile.h"
#include "picture/PictureFiles.h"
#include "tests/picture/PicturePrinter.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>

#include <algorithm>

namespace {

std::vector<QAction*> Items(const TFrmMain& main, std::initializer_list<const char*> names)
{
    std::vector<QAction*> items;
    for (const char* name : names)
        items.push_back(Named<QAction>(main, name));
    return items;
}

std::vector<QAction*> DocumentCommands(const TFrmMain& main)
{
    return Items(main, {"MenuItem_SaveAs", "MenuItem_Copy", "MenuItem_Classic", "MenuItem_Cartoon", "MenuItem_Sketch",
                        "MenuItem_Linedrawing", "MenuItem_Canvas", "MenuItem_BrightContrast", "MenuItem_Saturation",
                        "MenuItem_ColorBalance", "MenuItem_ZoomIn", "MenuItem_ZoomOut", "MenuItem_ActualPixels"});
}

std::vector<QAction*> AlwaysAvailable(const TFrmMain& main)
{
    return Items(main, {"MenuItem_Open", "MenuItem_Options", "MenuItem_Exit", "MenuItem_History", "MenuItem_Layers",
                        "MenuItem_Tools", "MenuItem_ToolOption", "Content1", "About1"});
}

TEST_F(MainWindowTest, BeforeAPictureOnlyTheGeneralCommandsAreAvailable)
{
    for (QAction* item : AlwaysAvailable(*Main))
        EXPECT_TRUE(item->isEnabled()) << item->objectName().toStdString();
    for (QAction* item : DocumentCommands(*Main))
        EXPECT_FALSE(item->isEnabled()) << item->objectName().toStdString();
    EXPECT_FALSE(Item("MenuItem_Undo")->isEnabled());
    EXPECT_FALSE(Item("MenuItem_Redo")->isEnabled());
    // The tool bar buttons stand for their menu items.
    EXPECT_TRUE(Button("Tol_Open")->isEnabled());
    EXPECT_FALSE(Button("Tol_SaveAs")->isEnabled());
    EXPECT_FALSE(Button("Tol_Classic")->isEnabled());
    EXPECT_TRUE(Button("Tol_Help")->isEnabled());
    EXPECT_TRUE(StatusPanel(0)->text().isEmpty());
    EXPECT_TRUE(StatusPanel(1)->text().isEmpty());
}

TEST_F(MainWindowTest, MenusCarryTheirCaptionsAndShortcuts)
{
    EXPECT_EQ(Main->windowTitle(), "Lumenquilla Professional Edition");
    const std::pair<QAction*, const char*> shortcuts[] = {
        {Item("MenuItem_Open"), "Ctrl+O"},
        {Item("MenuItem_SaveAs"), "Ctrl+S"},
        {Item("MenuItem_Exit"), "Ctrl+Q"},
        {Item("MenuItem_Undo"), "Ctrl+Z"},
        {Item("MenuItem_Redo"), "Ctrl+Alt+Z"},
        {Item("MenuItem_Copy"), "Ctrl+C"},
        {Item("MenuItem_Classic"), "Ctrl+I"},
        {Item("MenuItem_ZoomIn"), "Ctrl+Right"},
        {Item("MenuItem_ZoomOut"), "Ctrl+Left"},
        {Item("MenuItem_ActualPixels"), "Ctrl+0"},
        {Item("Content1"), "F1"},
    };
    for (const auto& [item, keys] : shortcuts)
        EXPECT_EQ(item->shortcut(), QKeySequence(keys)) << item->objectName().toStdString();
    EXPECT_EQ(Button("Tol_Open")->toolTip(), "Open (Ctrl+O)");
    for (QAction* toggle :
         {Item("MenuItem_History"), Item("MenuItem_Layers"), Item("MenuItem_Tools"), Item("MenuItem_ToolOption")}) {
        EXPECT_TRUE(toggle->isCheckable());
        EXPECT_TRUE(toggle->isChecked());
    }
}

TEST_F(MainWindowTest, OpeningAPhotoEnablesTheDocumentCommands)
{
    const QString path = Photo("coffee.bmp");
    Open(path);
    ASSERT_TRUE(Messages.isEmpty()) << Messages.join('\n').toStdString();
    for (QAction* item : DocumentCommands(*Main))
        EXPECT_TRUE(item->isEnabled()) << item->objectName().toStdString();
    // A single history state: nothing to undo or redo.
    EXPECT_FALSE(Item("MenuItem_Undo")->isEnabled());
    EXPECT_FALSE(Item("MenuItem_Redo")->isEnabled());
    EXPECT_EQ(Main->History().RowCount(), 1);
    EXPECT_EQ(Main->History().Operation(Main->History().Current()), "Open");
    EXPECT_EQ(Main->History().Comment(Main->History().Current()), path.toStdString());

    EXPECT_EQ(StatusPanel(0)->text(), "600 x 400");
    EXPECT_EQ(StatusPanel(1)->text(), "100%");
    EXPECT_EQ(Main->CurrentTool(), TToolCode::Hand);
    EXPECT_EQ(Main->View().ZoomRate(), 1.0);
    const TBitmap photo = ReadBmpFile(path.toStdString());
    EXPECT_SAME_PICTURE(Main->Document().SourceBitmap, photo);
    // The white sketch layer multiplied over the photo shows it unchanged.
    EXPECT_SAME_PICTURE(Main->Document().ViewBitmap, photo);
}

TEST_F(MainWindowTest, FilesFromTheCommandLineOrDroppedOnTheWindowOpenTheFirstOne)
{
    const QString first = CopyOf("coffee.jpg", "first.jpg");
    Main->OpenFiles({first, Photo("coffee.bmp")});
    ASSERT_TRUE(Messages.isEmpty()) << Messages.join('\n').toStdString();
    EXPECT_EQ(Main->DocumentFileName(), first.toStdString());
    EXPECT_EQ(Main->History().RowCount(), 1);
    // The open dialog starts where that file was.
    OpenAnswer = std::nullopt;
    Main->OpenPicture();
    EXPECT_EQ(QDir(OpenRequests.back().Directory), QDir(Folder.path()));

    // A drop of a file manager's URL list.
    auto drop = [&](const QString& file) {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(file)});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(Main.get(), &enter);
        const bool accepted = enter.isAccepted();
        if (accepted) {
            QDropEvent event(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(Main.get(), &event);
            Settle();
        }
        return accepted;
    };
    EXPECT_TRUE(drop(Photo("coffee.bmp")));
    EXPECT_EQ(Main->DocumentFileName(), Photo("coffee.bmp").toStdString());
    EXPECT_EQ(Main->History().RowCount(), 2);
    // Not while a placed object waits and Open is disabled.
    Main->DisableCommands();
    EXPECT_FALSE(drop(first));
    EXPECT_EQ(Main->History().RowCount(), 2);
}

TEST_F(MainWindowTest, RecentFilesAndTheOpenFolderSurviveARestart)
{
    const QString first = CopyOf("coffee.jpg", "a.jpg");
    Open(first);
    Open(Photo("coffee.bmp"));
    auto names = [&] {
        QStringList texts;
        for (const QAction* item : RecentFilesMenu()->actions())
            texts << item->text();
        return texts;
    };
    EXPECT_EQ(names(), (QStringList{"coffee.bmp", "a.jpg"}));

    // Open through the dialog so that its folder is the one remembered.
    OpenAnswer = TFileChoice{Photo("coffee.bmp"), 1};
    Main->OpenPicture();
    Main->close();
    OpenAnswer.reset();
    StartAgain();
    EXPECT_EQ(names(), (QStringList{"coffee.bmp", "a.jpg"}));
    Main->OpenPicture();
    EXPECT_EQ(QDir(OpenRequests.back().Directory), QDir(QFileInfo(Photo("coffee.bmp")).absolutePath()));

    // A file gone since is said so and leaves the list.
    ASSERT_TRUE(QFile::remove(first));
    RecentFilesMenu()->actions().last()->trigger();
    EXPECT_EQ(Messages.size(), 1);
    EXPECT_TRUE(Messages.value(0).contains("no longer exists"));
    EXPECT_EQ(names(), QStringList{"coffee.bmp"});
}

TEST_F(MainWindowTest, WithTheOptionSetALargePictureOpensFitted)
{
    Open(Photo("storm.jpg"));
    EXPECT_EQ(Main->View().ZoomRate(), 1.0);
    Window<TFrmOptions>()->Chk_FitLarge->setChecked(true);
    ASSERT_TRUE(Window<TFrmOptions>()->SaveOptions());
    Open(Photo("storm.jpg"));
    EXPECT_LT(Main->View().ZoomRate(), 1.0);
    EXPECT_TRUE(HorzScrollBar()->isHidden() && VertScrollBar()->isHidden());
    // A picture that fits opens at actual pixels all the same.
    Open(Photo("coffee.bmp"));
    EXPECT_EQ(Main->View().ZoomRate(), 1.0);
}

TEST_F(MainWindowTest, TheOpenCommandOffersEveryPictureKindAndOpensTheChoice)
{
    Main->OpenPicture();
    ASSERT_EQ(OpenRequests.size(), 1u);
    const TFileRequest& request = OpenRequests[0];
    QStringList texts;
    for (const TFileFilter& filter : request.Filters)
        texts << filter.Text;
    EXPECT_EQ(
        texts,
        QStringList({"All Picture(*.jpg;*.jpeg;*.bmp;*.png;*.webp;*.tif;*.tiff;*.heic;*.heif;*.avif;*.p2c)",
                     "JPEG Image File (*.jpg)", "JPEG Image File (*.jpeg)", "Bitmaps (*.bmp)", "PNG Image File (*.png)",
                     "WebP Image File (*.webp)", "TIFF Image File (*.tif;*.tiff)", "HEIC Image File (*.heic;*.heif)",
                     "AVIF Image File (*.avif)", "Lumenquilla Project (*.p2c)", "All File(*.*)"}));
    EXPECT_EQ(request.Filters[0].Patterns, QStringList({"*.jpg", "*.jpeg", "*.bmp", "*.png", "*.webp", "*.tif",
                                                        "*.tiff", "*.heic", "*.heif", "*.avif", "*.p2c"}));
    EXPECT_EQ(request.FilterIndex, 1);
    // Cancelled: nothing happens.
    EXPECT_FALSE(Main->Document().PictureOpened);
    EXPECT_TRUE(Messages.isEmpty());

    OpenAnswer = TFileChoice{Photo("astronaut.jpg"), 1};
    Main->OpenPicture();
    Settle();
    EXPECT_TRUE(Messages.isEmpty()) << Messages.join('\n').toStdString();
    EXPECT_EQ(StatusPanel(0)->text(), "512 x 512");
    EXPECT_EQ(Main->DocumentFileName(), Photo("astronaut.jpg").toStdString());
    // The next open starts in the folder of the last choice.
    Main->OpenPicture();
    EXPECT_EQ(QDir(OpenRequests.back().Directory), QDir(LQ_PHOTO_DIR));
}

TEST_F(MainWindowTest, JpegExtensionsOpenAsJpegWhateverTheirCase)
{
    for (const char* name : {"photo.jpeg", "PHOTO.Jpg", "Photo.JPEG"}) {
        Open(CopyOf("coffee.jpg", name));
        EXPECT_TRUE(Messages.isEmpty()) << name << ": " << Messages.join('\n').toStdString();
        EXPECT_EQ(StatusPanel(0)->text(), "600 x 400") << name;
    }
    EXPECT_EQ(Main->History().RowCount(), 3);
}

TEST_F(MainWindowTest, AFileOpensByItsContentAndANonPictureChangesNothing)
{
    // Neither an unknown extension nor a lying one holds a picture back.
    for (const char* name : {"coffee.png", "coffee.txt"}) {
        Messages.clear();
        const QString path = CopyOf("coffee.jpg", name);
        Open(path);
        EXPECT_TRUE(Messages.isEmpty()) << name << ": " << Messages.join('\n').toStdString();
        EXPECT_EQ(Main->DocumentFileName(), path.toStdString()) << name;
    }
    const int rows = Main->History().RowCount();
    const TBitmap view = Main->Document().ViewBitmap;

    // No picture by name or content: the unknown-extension message.
    const QString text = WriteFile("notes.txt", QByteArray("just some notes"));
    Messages.clear();
    Open(text);
    EXPECT_EQ(Messages, QStringList({text + " open failed."}));
    // A picture's name on something else: the reader's own message.
    const QString fake = WriteFile("fake.png", QByteArray("just some notes"));
    Messages.clear();
    Open(fake);
    ASSERT_EQ(Messages.size(), 1);
    EXPECT_TRUE(Messages[0].contains("fake.png")) << Messages[0].toStdString();
    EXPECT_FALSE(Messages[0].endsWith(" open failed.")) << Messages[0].toStdString();
    EXPECT_EQ(Main->History().RowCount(), rows);
    EXPECT_SAME_PICTURE(Main->Document().ViewBitmap, view);
}

TEST_F(MainWindowTest, AProjectWithoutTheMagicGivesBothMessages)
{
    const QString path = WriteFile("bad.p2c", QByteArray(2048, 'x'));
    Open(path);
    EXPECT_EQ(Messages, QStringList({path + " is not a valid .p2c file.", path + " open failed."}));
    EXPECT_FALSE(Main->Document().PictureOpened);
}

TEST_F(MainWindowTest, AFailedReadKeepsTheDocumentAndShowsOnlyTheErrorsOwnMessage)
{
    Open(Photo("coffee.bmp"));
    const TBitmap source = Main->Document().SourceBitmap;
    const TBitmap view = Main->Document().ViewBitmap;

    QFile original(Photo("coffee.bmp"));
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    const QString broken = WriteFile("broken.bmp", original.read(1000));
    Open(broken);
    ASSERT_EQ(Messages.size(), 1);
    // The reader's own message, not the unknown-extension one.
    EXPECT_FALSE(Messages[0].endsWith(" open failed.")) << Messages[0].toStdString();
    EXPECT_TRUE(Messages[0].contains("broken.bmp")) << Messages[0].toStdString();
    EXPECT_SAME_PICTURE(Main->Document().SourceBitmap, source);
    EXPECT_SAME_PICTURE(Main->Document().ViewBitmap, view);
    EXPECT_EQ(Main->History().RowCount(), 1);
    EXPECT_EQ(Main->DocumentFileName(), Photo("coffee.bmp").toStdString());

    // A project of the right kind but cut short fails the same way.
    const QString project = Folder.filePath("cut.p2c");
    ASSERT_EQ(WriteProjectFile(project.toStdString(), Main->Document()), 0);
    ASSERT_TRUE(QFile::resize(project, 5000));
    Messages.clear();
    Open(project);
    ASSERT_EQ(Messages.size(), 1);
    EXPECT_FALSE(Messages[0].endsWith(" open failed.")) << Messages[0].toStdString();
    EXPECT_SAME_PICTURE(Main->Document().SourceBitmap, source);
}

TEST_F(MainWindowTest, ADamagedJpegOpensAndSaysWhatIsWrong)
{
    QFile original(Photo("coffee.jpg"));
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    const QByteArray bytes = original.readAll();
    const QString path = WriteFile("cut.jpg", bytes.left(bytes.size() * 2 / 3));
    Open(path);
    ASSERT_EQ(Messages.size(), 1);
    EXPECT_TRUE(Messages[0].startsWith(path + " is damaged")) << Messages[0].toStdString();
    EXPECT_TRUE(Main->Document().PictureOpened);
    EXPECT_EQ(StatusPanel(0)->text(), "600 x 400");
}

TEST_F(MainWindowTest, AnOpenWhoseHistoryStateCannotBeWrittenStillOpens)
{
    // A file where the history folder should be.
    WriteFile("history", "in the way");
    Open(Photo("coffee.bmp"));
    ASSERT_EQ(Messages.size(), 1);
    EXPECT_TRUE(Messages[0].contains("history")) << Messages[0].toStdString();
    EXPECT_TRUE(Main->Document().PictureOpened);
    EXPECT_TRUE(Item("MenuItem_SaveAs")->isEnabled());
    EXPECT_EQ(StatusPanel(0)->text(), "600 x 400");
}

TEST_F(MainWindowTest, SaveProposesANameFromThePhotoAndWritesByExtension)
{
    Open(Photo("coffee.jpg"));
    Main->Save();
    ASSERT_EQ(SaveRequests.size(), 1u);
    QStringList texts;
    for (const TFileFilter& filter : SaveRequests[0].Filters)
        texts << filter.Text;
    EXPECT_EQ(texts, QStringList({"Bitmaps (*.bmp)", "JPEG Image File (*.jpg)", "PNG Image File (*.png)",
                                  "WebP Image File (*.webp)", "WebP Lossless Image File (*.webp)",
                                  "Lumenquilla Project (*.p2c)"}));
    EXPECT_EQ(SaveRequests[0].FileName, "coffee_cartoon");
    EXPECT_EQ(SaveRequests[0].FilterIndex, 1);
    EXPECT_EQ(QDir(SaveRequests[0].Directory), QDir(LQ_PHOTO_DIR));

    // The whole composite is written, also the part the view never showed.
    Tools().RebuildAll();
    const TBitmap composite = Main->Document().ViewBitmap;

    SaveAnswer = TFileChoice{Folder.filePath("out"), 2};
    Main->Save();
    const TBitmap jpeg = ReadJpegFile(Folder.filePath("out.JPG").toStdString());
    EXPECT_EQ(jpeg.Width(), 600);
    EXPECT_EQ(jpeg.Height(), 400);

    SaveAnswer = TFileChoice{Folder.filePath("out"), 1};
    Main->Save();
    EXPECT_SAME_PICTURE(ReadBmpFile(Folder.filePath("out.BMP").toStdString()), composite);

    // A name with an extension keeps it, whatever the filter.
    SaveAnswer = TFileChoice{Folder.filePath("pic.jpeg"), 1};
    Main->Save();
    EXPECT_EQ(ReadJpegFile(Folder.filePath("pic.jpeg").toStdString()).Width(), 600);
    EXPECT_TRUE(Messages.isEmpty()) << Messages.join('\n').toStdString();

    // PNG and lossless WebP give the composite back exactly.
    SaveAnswer = TFileChoice{Folder.filePath("out"), SaveFilterPng};
    Main->Save();
    std::string warning;
    EXPECT_SAME_PICTURE(ReadPicture(Folder.filePath("out.PNG").toStdString(), &warning), composite);
    SaveAnswer = TFileChoice{Folder.filePath("out"), SaveFilterWebPLossless};
    Main->Save();
    EXPECT_SAME_PICTURE(ReadPicture(Folder.filePath("out.WEBP").toStdString(), &warning), composite);
    SaveAnswer = TFileChoice{Folder.filePath("lossy.webp"), SaveFilterBitmap};
    Main->Save();
    EXPECT_NE(ReadPicture(Folder.filePath("lossy.webp").toStdString(), &warning), composite);
    EXPECT_TRUE(Messages.isEmpty()) << Messages.join('\n').toStdString();

    // Kinds only read are not written.
    SaveAnswer = TFileChoice{Folder.filePath("out.tif"), 2};
    Main->Save();
    EXPECT_FALSE(QFile::exists(Folder.filePath("out.tif")));
    ASSERT_EQ(Messages.size(), 1);
    EXPECT_TRUE(Messages[0].startsWith(Folder.filePath("out.tif") + " was not saved")) << Messages[0].toStdString();
}

TEST_F(MainWindowTest, AProjectIsSavedAndProposedUnderItsOwnName)
{
    Open(Photo("astronaut.jpg"));
    SaveAnswer = TFileChoice{Folder.filePath("scene"), SaveFilterProject};
    Main->Save();
    const QString project = Folder.filePath("scene.P2C");
    ASSERT_TRUE(QFile::exists(project));

    Open(project);
    EXPECT_TRUE(Messages.isEmpty()) << Messages.join('\n').toStdString();
    EXPECT_EQ(Main->History().RowCount(), 2);
    SaveAnswer.reset();
    Main->Save();
    EXPECT_EQ(SaveRequests.back().FileName, "scene.P2C");
    EXPECT_EQ(SaveRequests.back().FilterIndex, SaveFilterProject);
}

TEST_F(MainWindowTest, ASaveThatCannotBeWrittenIsReported)
{
    Open(Photo("coffee.bmp"));
    SaveAnswer = TFileChoice{Folder.filePath("no/such/folder/out.bmp"), 1};
    Main->Save();
    ASSERT_EQ(Messages.size(), 1);
    EXPECT_TRUE(Messages[0].contains("out.bmp")) << Messages[0].toStdString();
}

TEST_F(MainWindowTest, UndoAndRedoStepBetweenOpenedPictures)
{
    Open(Photo("coffee.bmp"));
    Open(Photo("astronaut.jpg"));
    EXPECT_TRUE(Item("MenuItem_Undo")->isEnabled());
    EXPECT_FALSE(Item("MenuItem_Redo")->isEnabled());

    Main->SetCurrentTool(TToolCode::None);
    Main->Undo();
    Settle();
    EXPECT_EQ(StatusPanel(0)->text(), "600 x 400");
    EXPECT_SAME_PICTURE(Main->Document().SourceBitmap, ReadBmpFile(Photo("coffee.bmp").toStdString()));
    EXPECT_EQ(Main->Document().ViewBitmap.Width(), 600);
    EXPECT_EQ(Main->CurrentTool(), TToolCode::Hand);
    EXPECT_FALSE(Item("MenuItem_Undo")->isEnabled());
    EXPECT_TRUE(Button("Tol_Redo")->isEnabled());

    // Nothing further back: Undo changes nothing.
    Main->Undo();
    EXPECT_EQ(Main->History().CurrentRow(), 1);

    Main->Redo();
    Settle();
    EXPECT_EQ(StatusPanel(0)->text(), "512 x 512");
    EXPECT_TRUE(Item("MenuItem_Undo")->isEnabled());
    EXPECT_FALSE(Item("MenuItem_Redo")->isEnabled());
    EXPECT_TRUE(Messages.isEmpty()) << Messages.join('\n').toStdString();
}

TEST_F(MainWindowTest, AHistoryStateThatCannotBeReadIsReportedAndNothingMoves)
{
    Open(Photo("coffee.bmp"));
    Open(Photo("astronaut.jpg"));
    Main->History().Flush();
    ASSERT_TRUE(QFile::remove(QString::fromStdString(Main->History().StateFile(1))));
    Main->Undo();
    ASSERT_EQ(Messages.size(), 1);
    EXPECT_EQ(Main->History().CurrentRow(), 2);
    EXPECT_EQ(StatusPanel(0)->text(), "512 x 512");
    EXPECT_TRUE(Item("MenuItem_Undo")->isEnabled());
}

TEST_F(MainWindowTest, CopyPlacesTheWholeCompositeOnTheClipboard)
{
    Open(Photo("coffee.bmp"));
    Main->ZoomIn();
    Main->ZoomIn();
    Main->CopyToClipboard();
    // Until the PNG is ready only a bitmap is offered: the toolkit would
    // encode any other picture type on the interface thread when asked.
    const QMimeData* offer = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(offer, nullptr);
    EXPECT_EQ(offer->formats(), QStringList{"image/bmp"});
    const QImage copied = QImage::fromData(offer->data("image/bmp"), "BMP");
    ASSERT_EQ(copied.size(), QSize(600, 400));
    Tools().RebuildAll();
    for (const QPoint point : {QPoint(0, 0), QPoint(599, 399), QPoint(321, 123)}) {
        const std::uint8_t* pixel = Main->Document().ViewBitmap.ScanLine(point.y()) + point.x() * 3;
        EXPECT_EQ(copied.pixel(point), qRgb(pixel[2], pixel[1], pixel[0])) << point.x() << "," << point.y();
    }

    // The PNG follows as soon as it is compressed, of the same pixels.
    ASSERT_TRUE(
        QTest::qWaitFor([] { return QGuiApplication::clipboard()->mimeData()->hasFormat("image/png"); }, 10000));
    const QImage png = QImage::fromData(QGuiApplication::clipboard()->mimeData()->data("image/png"), "PNG");
    EXPECT_TRUE(png.convertToFormat(QImage::Format_RGB32) == copied);
}

TEST_F(MainWindowTest, DisableCommandsLastsUntilUpdateCommands)
{
    Open(Photo("coffee.bmp"));
    Main->DisableCommands();
    for (QAction* item : {Item("MenuItem_Open"), Item("MenuItem_SaveAs"), Item("MenuItem_Classic"),
                          Item("MenuItem_Canvas"), Item("MenuItem_ColorBalance")})
        EXPECT_FALSE(item->isEnabled()) << item->objectName().toStdString();
    EXPECT_FALSE(Button("Tol_Open")->isEnabled());
    // Copy and the view go on.
    EXPECT_TRUE(Item("MenuItem_Copy")->isEnabled());
    EXPECT_TRUE(Item("MenuItem_ZoomIn")->isEnabled());
    Main->UpdateCommands();
    for (QAction* item : DocumentCommands(*Main))
        EXPECT_TRUE(item->isEnabled()) << item->objectName().toStdString();
    EXPECT_TRUE(Item("MenuItem_Open")->isEnabled());
}

TEST_F(MainWindowTest, HelpOpensTheHelpFileOrElseTheUserGuide)
{
    Main->ShowContent();
    ASSERT_EQ(Messages.size(), 1);
    EXPECT_TRUE(Messages[0].contains("help/index.html")) << Messages[0].toStdString();
    EXPECT_TRUE(OpenedUrls.isEmpty());

    ASSERT_TRUE(QDir(Folder.path()).mkdir("help"));
    const QString guide = WriteFile("help/index.html", "<html></html>");
    Main->ShowContent();
    ASSERT_EQ(OpenedUrls.size(), 1);
    EXPECT_EQ(OpenedUrls[0], QUrl::fromLocalFile(guide));

    const QString chm = WriteFile("lumenquilla.chm", "ITSF");
    Main->ShowContent();
    ASSERT_EQ(OpenedUrls.size(), 2);
    EXPECT_EQ(OpenedUrls[1], QUrl::fromLocalFile(chm));
    EXPECT_EQ(Messages.size(), 1);
}

} // namespace
