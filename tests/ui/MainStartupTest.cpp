#include "tests/ui/MainFixture.h"

#include "picture/BmpFile.h"
#include "picture/FileError.h"
#include "settings/ProgramDir.h"
#include "tests/document/TestFolder.h"
#include "tests/picture/PicturePrinter.h"
#include "tests/picture/TestPictures.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QTest>

#include <filesystem>

#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// The main window's start and end as they concern work left behind: the
// question at start, the picture it brings back, and what an exit keeps.
class MainStartupTest : public MainWindowTest {
protected:
    QStringList Questions;
    bool Answer = true;

    // A new run of the editor on the same program folder.
    void Restart()
    {
        Main.reset();
        Main = TFrmMain::CreateWindows();
        Main->SetSaveDialog([this](QWidget*, const TFileRequest&) { return SaveAnswer; });
        Main->SetConfirmDialog([this](QWidget*, const QString& text) {
            Questions << text;
            return Answer;
        });
        Main->show();
        Settle();
    }
    int RunFolders() const
    {
        const QString base = QString::fromStdString(UserFile(HistoryFolderName));
        return QDir(base).entryList({"run-*"}, QDir::Dirs | QDir::NoDotAndDotDot).size();
    }
    // An earlier run killed after drawing on the photo: its lock went with it.
    void KillAfterTwoStates(const QString& photo)
    {
        THistory killed(UserFile(HistoryFolderName));
        killed.SetHistoryStates(50);
        TDocument document;
        document.InitialisePhoto(ReadBmpFile(photo.toStdString()));
        killed.RecordHistory("Open", photo.toStdString(), document);
        document.SketchLayer.Fill(10, 20, 30);
        killed.RecordHistory("Pencil", "--", document);
        killed.Flush();
    }
};

TEST_F(MainStartupTest, AKilledRunsPictureIsOfferedOnceAndComesBackUnsaved)
{
    for (const bool accept : {true, false}) {
        SCOPED_TRACE(accept);
        KillAfterTwoStates(Photo("coffee.bmp"));
        Answer = accept;
        Questions.clear();
        Restart();
        ASSERT_EQ(Questions.size(), 1);
        EXPECT_TRUE(Questions[0].startsWith("Lumenquilla was closed unexpectedly. Restore your last picture?"));
        EXPECT_TRUE(Questions[0].contains(Photo("coffee.bmp")));
        EXPECT_EQ(RunFolders(), accept ? 1 : 0) << "the offered folder goes; a taken picture is this run's";
        EXPECT_EQ(Main->Document().PictureOpened, accept);
        if (accept) {
            EXPECT_EQ(StatusPanel(0)->text(), "600 x 400");
            EXPECT_SAME_PICTURE(Main->Document().SketchLayer, FilledPicture(600, 400, 10, 20, 30));
            EXPECT_EQ(Main->History().RowCount(), 1);
            EXPECT_EQ(Main->History().Comment(Main->History().Current()), Photo("coffee.bmp").toStdString());
            EXPECT_FALSE(Main->History().CurrentSaved());
            EXPECT_TRUE(Item("MenuItem_SaveAs")->isEnabled());
        }
        EXPECT_TRUE(Messages.isEmpty()) << Messages.join('\n').toStdString();
        Main->close();
        Questions.clear();
        Restart();
        ASSERT_EQ(Questions.size(), accept ? 1 : 0) << "taken and still unsaved, it is offered again";
        if (accept) {
            EXPECT_TRUE(Questions[0].startsWith("Continue with the picture you were working on?"));
        }
        Main->History().MarkCurrentSaved();
        Main->close();
        EXPECT_EQ(RunFolders(), 0);
        Main.reset();
    }
}

TEST_F(MainStartupTest, AnExitKeepsOnlyWorkThatWasNeverSaved)
{
    struct TCase {
        const char* name;
        bool draw;
        bool save;
        bool offered;
    };
    const TCase cases[] = {
        {"opened only", false, false, false},
        {"changed, not saved", true, false, true},
        {"changed and saved", true, true, false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        Questions.clear();
        Restart();
        Open(Photo("coffee.bmp"));
        if (c.draw) {
            Tools().SketchLayer().Fill(1, 2, 3);
            Main->RecordHistory("Pencil", "--");
        }
        if (c.save) {
            SaveAnswer = TFileChoice{Folder.filePath("work.p2c"), 3};
            Main->Save();
        }
        Main->close();
        EXPECT_EQ(RunFolders(), c.offered ? 1 : 0);
        Restart();
        ASSERT_EQ(Questions.size(), c.offered ? 1 : 0);
        if (c.offered) {
            EXPECT_TRUE(Questions[0].startsWith("Continue with the picture you were working on?"));
            EXPECT_SAME_PICTURE(Main->Document().SketchLayer, FilledPicture(600, 400, 1, 2, 3));
        }
        Answer = true;
        Main->History().MarkCurrentSaved();
        Main->close();
        EXPECT_EQ(RunFolders(), 0);
    }
    EXPECT_TRUE(Messages.isEmpty()) << Messages.join('\n').toStdString();
}

// A run killed while it saved a project left the temporary file beside it,
// which the note of the write names; the next start removes it, and the
// note, while the project itself stays as it was.
TEST_F(MainStartupTest, AStartRemovesWhatAKilledSaveLeft)
{
    const pid_t killed = ::fork();
    if (killed == 0)
        ::_exit(0);
    ASSERT_GT(killed, 0);
    ::waitpid(killed, nullptr, 0);
    const std::string project = Folder.filePath("work.p2c").toStdString();
    PutFileBytes(project, "the old project");
    const std::string temporary =
        Folder.filePath(".work.p2c.lumenquilla-" + QString::number(killed) + "-Ab12Cd").toStdString();
    PutFileBytes(temporary, "half a project");
    const std::string journal = UserFile(WriteJournalName);
    fs::create_directories(journal);
    const std::string note = journal + "/" + std::to_string(killed) + "-0";
    PutFileBytes(note, project);

    Restart();
    EXPECT_FALSE(fs::exists(temporary));
    EXPECT_FALSE(fs::exists(note));
    EXPECT_EQ(FileBytes(project), "the old project");
    // This run's saves are noted too, and take their notes away when done.
    Open(Photo("coffee.bmp"));
    SaveAnswer = TFileChoice{QString::fromStdString(project), 6};
    Main->Save();
    EXPECT_TRUE(fs::is_empty(journal));
    EXPECT_TRUE(Messages.isEmpty()) << Messages.join('\n').toStdString();
}

TEST_F(MainStartupTest, AStateThatCannotBeWrittenIsReportedOnce)
{
    Restart();
    Open(Photo("coffee.bmp"));
    Main->History().Flush();
    // The next state's file cannot be put in place: a folder stands at its name.
    const std::string next = Main->History().RunFolder() + "/~history2.state";
    fs::create_directory(next);
    PutFileBytes(next + "/x", "x");
    Tools().SketchLayer().Fill(1, 2, 3);
    Main->RecordHistory("Pencil", "--");
    Main->History().Flush();
    // The window looks for failed writes on a timer.
    ASSERT_TRUE(QTest::qWaitFor([this] { return !Messages.isEmpty(); }, 5000));
    ASSERT_EQ(Messages.size(), 1);
    EXPECT_TRUE(Messages[0].contains("~history2.state")) << Messages[0].toStdString();
    // Listed and restorable all the same.
    Main->Undo();
    Main->Redo();
    EXPECT_SAME_PICTURE(Main->Document().SketchLayer, FilledPicture(600, 400, 1, 2, 3));
    EXPECT_EQ(Messages.size(), 1);
}

TEST_F(MainStartupTest, UndoPassesOverADeletedStateAndSaysSo)
{
    Restart();
    Open(Photo("coffee.bmp"));
    Open(Photo("astronaut.jpg"));
    Open(Photo("astronaut.jpg"));
    Main->History().Flush();
    ASSERT_TRUE(QFile::remove(QString::fromStdString(Main->History().StateFile(2))));
    Main->Undo();
    Settle();
    ASSERT_EQ(Messages.size(), 1);
    EXPECT_TRUE(Messages[0].contains(QString::fromStdString(Main->History().StateFile(2))))
        << Messages[0].toStdString();
    EXPECT_EQ(Main->History().CurrentRow(), 1);
    EXPECT_EQ(StatusPanel(0)->text(), "600 x 400");
    EXPECT_FALSE(Item("MenuItem_Undo")->isEnabled());
    EXPECT_TRUE(Item("MenuItem_Redo")->isEnabled());
}

} // namespace
