// The editor on a full disk: the history's file system full while the user
// edits, and a save that does not fit.
#include "tests/ui/MainFixture.h"

#include "picture/FileError.h"
#include "tests/picture/PicturePrinter.h"
#include "tests/picture/TempFolder.h"
#include "tests/ui/PostedEvents.h"
#include "ui/FrmTools.h"

#include <QFile>
#include <QTest>
#include <QToolButton>

#include <filesystem>
#include <fstream>
#include <memory>

namespace fs = std::filesystem;

namespace {

// Every file the editor writes stops short, as on a full disk: a size limit
// on files (what `ulimit -f` sets), or, when LQ_FULL_DISK_FOLDER names a
// small file system made for the test (bench/full-disk mounts one), the
// program folder on it, filled up for real.
class MainFullDisk : public MainWindowTest {
protected:
    void SetUp() override
    {
        const QByteArray small = qgetenv("LQ_FULL_DISK_FOLDER");
        if (!small.isEmpty()) {
            SmallDisk = QString::fromLocal8Bit(small) + "/program";
            fs::remove_all(SmallDisk.toStdString());
            fs::create_directories(SmallDisk.toStdString());
        }
        MainWindowTest::SetUp();
        if (!SmallDisk.isEmpty()) {
            OverrideProgramDir(SmallDisk.toStdString());
            StartAgain();
        }
    }
    void TearDown() override
    {
        Limit.reset();
        MainWindowTest::TearDown();
        if (!SmallDisk.isEmpty())
            fs::remove_all(SmallDisk.toStdString());
    }
    // From here on the disk is full: each file is held to 4 KB, or a file of
    // the user's takes what room the small file system has left.
    void FillTheDisk()
    {
        if (SmallDisk.isEmpty()) {
            Limit = std::make_unique<TFileSizeLimit>(4096);
            return;
        }
        std::ofstream filler(SmallDisk.toStdString() + "/filler", std::ios::binary);
        const std::string block(64 * 1024, 'x');
        while (filler.write(block.data(), std::streamsize(block.size())))
            ;
    }
    void Stroke(int n)
    {
        const QPoint from(40 + 9 * (n % 50), 30 + 7 * (n % 60));
        SendMouse(*Main, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
        SendMouse(*Main, QEvent::MouseMove, from + QPoint(30, 12), Qt::NoButton, Qt::LeftButton);
        SendMouse(*Main, QEvent::MouseButtonRelease, from + QPoint(30, 12), Qt::LeftButton, Qt::NoButton);
    }
    // A stroke and its state, written or not.
    void StrokeAndWrite(int n)
    {
        Stroke(n);
        Main->History().Flush();
        ASSERT_TRUE(PostedEventsHandled());
    }
    bool CurrentWritten() const { return !Main->History().HeldInMemory(Main->History().Current()); }

    QString SmallDisk;
    std::unique_ptr<TFileSizeLimit> Limit;
};

// No room for the history: one message says so, editing goes on, and Undo
// goes back through every state that was written, to the photo.
TEST_F(MainFullDisk, EditingGoesOnWithOneMessageAndUndoReachesTheStatesWritten)
{
    Open(Photo("storm.jpg"));
    Main->findChild<QToolButton*>("BtnBrush")->click();
    std::vector<TBitmap> written{Main->Document().SketchLayer};
    for (int n = 1; n <= 2; ++n) {
        StrokeAndWrite(n);
        ASSERT_TRUE(CurrentWritten());
        written.push_back(Main->Document().SketchLayer);
    }
    ASSERT_TRUE(Messages.isEmpty()) << Messages.join('\n').toStdString();

    FillTheDisk();
    int strokes = 0;
    for (int n = 3; n < 300 && CurrentWritten(); ++n, ++strokes) {
        StrokeAndWrite(n);
        if (CurrentWritten())
            written.push_back(Main->Document().SketchLayer);
    }
    ASSERT_FALSE(CurrentWritten()) << "the history still fits after " << strokes << " strokes";
    // The window looks for failed writes on a timer.
    ASSERT_TRUE(QTest::qWaitFor([this] { return !Messages.isEmpty(); }, 5000));
    for (int n = 0; n < 6; ++n)
        StrokeAndWrite(300 + n);
    ASSERT_EQ(Messages.size(), 1) << Messages.join("\n---\n").toStdString();
    EXPECT_TRUE(Messages[0].contains("history")) << Messages[0].toStdString();
    EXPECT_TRUE(Main->findChild<QAction*>("MenuItem_Undo")->isEnabled());

    while (Main->History().CanUndo())
        Main->Undo();
    EXPECT_EQ(Main->History().CurrentRow(), 1);
    for (std::size_t i = 0; i < written.size(); ++i) {
        EXPECT_SAME_PICTURE(Main->Document().SketchLayer, written[i]) << "state " << i;
        Main->Redo();
    }
    ASSERT_TRUE(PostedEventsHandled());
    EXPECT_EQ(Messages.size(), 1) << Messages.join("\n---\n").toStdString();
}

TEST_F(MainFullDisk, ASaveThatDoesNotFitSaysSoAndKeepsTheOldFile)
{
    Open(Photo("storm.jpg"));
    const QString project = QString::fromStdString(UserFile("work.p2c"));
    SaveAnswer = TFileChoice{project, 6};
    Main->Save();
    ASSERT_TRUE(Messages.isEmpty()) << Messages.join('\n').toStdString();
    const std::string before = FileBytes(project.toStdString());
    ASSERT_GT(before.size(), 1000u);

    Main->findChild<QToolButton*>("BtnBrush")->click();
    Stroke(1);
    Main->History().Flush();
    FillTheDisk();
    Main->Save();
    ASSERT_TRUE(PostedEventsHandled());
    ASSERT_EQ(Messages.size(), 1) << Messages.join("\n---\n").toStdString();
    EXPECT_TRUE(Messages[0].contains(project)) << Messages[0].toStdString();
    EXPECT_TRUE(Messages[0].contains("full")) << Messages[0].toStdString();
    Limit.reset();
    EXPECT_EQ(FileBytes(project.toStdString()), before) << "the old file stays as it was";
    for (const auto& entry : fs::directory_iterator(fs::path(project.toStdString()).parent_path()))
        EXPECT_EQ(entry.path().filename().string().find(".lumenquilla-"), std::string::npos) << entry.path();
}

} // namespace
