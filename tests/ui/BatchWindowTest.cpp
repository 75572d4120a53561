// File > Batch: the window that asks for photos, preset, folder and format,
// and the progress window the batch runs behind while the editor stays in use.
#include "tests/ui/MainFixture.h"

#include "batch/BatchPlan.h"
#include "batch/BatchRun.h"
#include "picture/BmpFile.h"
#include "settings/SettingsFile.h"
#include "tests/picture/TestPictures.h"
#include "ui/FrmBatch.h"
#include "ui/FrmBatchProgress.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

namespace {

class BatchWindow : public MainWindowTest {
protected:
    // The shipped cartoon preset with the widest colour smoothing, so that
    // each photo takes a while.
    std::string SlowPreset()
    {
        TEffectSettings settings{};
        EXPECT_TRUE(ReadSettingsFile(LQ_PROGRAM_DIR "/cartoon.set", settings));
        settings.ColorSmooth = 19;
        const std::string path = Folder.filePath("slow.set").toStdString();
        EXPECT_TRUE(WriteSettingsFile(path, settings));
        return path;
    }

    QString Photos(int count, int width, int height)
    {
        const QString folder = Folder.filePath("photos");
        QDir().mkpath(folder);
        for (int i = 0; i < count; ++i)
            WriteBmpFile(QString("%1/p%2.bmp").arg(folder).arg(i).toStdString(), PatternPicture(width, height, i));
        return folder;
    }

    QStringList Outputs() const { return QDir(Folder.filePath("out")).entryList(QDir::Files, QDir::Name); }

    TBatchChoice Choice(const QString& inputs, const std::string& preset) const
    {
        TBatchChoice choice;
        choice.Inputs = {inputs};
        choice.Settings.OutputFolder = Folder.filePath("out").toStdString();
        choice.Settings.PresetFile = preset;
        choice.Settings.Jobs = 1;
        choice.Settings.Threads = 1;
        return choice;
    }
};

TEST_F(BatchWindow, TheWindowTakesPhotosFoldersPresetFolderAndFormat)
{
    TBatchChoice initial;
    initial.Settings.PresetFile = ProgramFile(CartoonSetName);
    TFrmBatch dialog(initial);
    const QString a = CopyOf("coffee.jpg", "a.jpg"), b = CopyOf("astronaut.jpg", "b.jpg");
    QStringList folders = {Folder.filePath("photos"), Folder.filePath("out")};
    dialog.PhotosDialog = [&](QWidget*, const TFileRequest&) { return QStringList{a, b, a}; };
    dialog.FolderDialog = [&](QWidget*, const TFileRequest&) { return folders.takeFirst(); };
    std::optional<TFileChoice> presetAnswer = TFileChoice{Folder.filePath("mine"), 1};
    dialog.PresetDialog = [&](QWidget*, const TFileRequest&) { return presetAnswer; };
    dialog.show();

    // Every label with an access key leads to a control; one without would
    // show its ampersand.
    for (const QLabel* label : dialog.findChildren<QLabel*>()) {
        if (label->text().contains('&')) {
            EXPECT_NE(label->buddy(), nullptr) << label->text().toStdString();
        }
    }

    // Start needs photos and a folder for the pictures.
    dialog.BtnStart->click();
    EXPECT_EQ(dialog.Lbl_Problem->text(), "Add photos or a folder first.");
    dialog.BtnAddPhotos->click();
    dialog.BtnAddFolder->click();
    EXPECT_EQ(dialog.Lst_Inputs->count(), 3) << "a photo added twice is listed once";
    dialog.BtnStart->click();
    EXPECT_EQ(dialog.Lbl_Problem->text(), "Choose the folder the pictures go to.");
    EXPECT_TRUE(dialog.isVisible());
    dialog.BtnBrowse->click();

    // The kinds the save dialog writes, from the table of formats.
    QStringList formats;
    for (int i = 0; i < dialog.Cmb_Format->count(); ++i)
        formats << dialog.Cmb_Format->itemText(i);
    EXPECT_EQ(formats, (QStringList{"Bitmaps", "JPEG Image File", "PNG Image File", "WebP Image File",
                                    "WebP Lossless Image File"}));
    EXPECT_EQ(dialog.Cmb_Format->currentText(), "JPEG Image File");
    dialog.Cmb_Format->setCurrentIndex(4);

    // Any preset file, by the last entry; cancelling that keeps the choice.
    EXPECT_EQ(dialog.Cmb_Preset->currentText(), "Cartoon");
    const int other = dialog.Cmb_Preset->count() - 1;
    dialog.Cmb_Preset->setCurrentIndex(other);
    emit dialog.Cmb_Preset->activated(other);
    EXPECT_EQ(dialog.Cmb_Preset->currentText(), "mine");
    presetAnswer.reset();
    dialog.Cmb_Preset->setCurrentIndex(dialog.Cmb_Preset->count() - 1);
    emit dialog.Cmb_Preset->activated(dialog.Cmb_Preset->count() - 1);
    EXPECT_EQ(dialog.Cmb_Preset->currentText(), "mine");

    dialog.Edt_Suffix->setText("-c");
    dialog.Chk_Fit->setChecked(true);
    dialog.Chk_Recurse->setChecked(true);
    dialog.Chk_SkipExisting->setChecked(true);
    const TBatchChoice choice = dialog.Choice();
    EXPECT_EQ(choice.Inputs, (QStringList{a, b, Folder.filePath("photos")}));
    EXPECT_EQ(choice.Settings.OutputFolder, Folder.filePath("out").toStdString());
    EXPECT_EQ(choice.Settings.PresetFile, Folder.filePath("mine.set").toStdString());
    EXPECT_EQ(choice.Settings.Format, TFileKind::WebP);
    EXPECT_TRUE(choice.Settings.Lossless);
    EXPECT_EQ(choice.Settings.Suffix, "-c");
    EXPECT_TRUE(choice.Settings.Fit && choice.Settings.Recurse && choice.Settings.SkipExisting);
    dialog.BtnStart->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);

    // Shown again, it starts from that choice.
    TFrmBatch again(choice);
    EXPECT_EQ(again.Cmb_Preset->currentText(), "mine");
    EXPECT_EQ(again.Cmb_Format->currentText(), "WebP Lossless Image File");
    EXPECT_EQ(again.Lst_Inputs->count(), 3);
}

TEST_F(BatchWindow, ABatchRunsBesideTheEditorWhichStaysInUse)
{
    const QString photos = Photos(3, 900, 700);
    WriteFile("photos/broken.bmp", "BM but no bitmap");
    int asked = 0;
    Main->SetBatchDialog([&](QWidget*, const TBatchChoice&) {
        ++asked;
        return std::optional<TBatchChoice>(Choice(photos, SlowPreset()));
    });
    Item("MenuItem_Batch")->trigger();
    TFrmBatchProgress* window = Main->BatchWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    // File > Batch shows the running batch again instead of starting
    // another (its end is heard of only once events are processed), and the
    // editor opens a photo meanwhile.
    Item("MenuItem_Batch")->trigger();
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(Main->BatchWindow(), window);
    Open(Photo("coffee.jpg"));
    EXPECT_TRUE(Main->Document().PictureOpened);
    EXPECT_TRUE(Messages.isEmpty()) << Messages.join('\n').toStdString();

    ASSERT_TRUE(QTest::qWaitFor([&] { return window->Finished(); }, 120000));
    EXPECT_TRUE(window->Lab_Status->text().startsWith("4 photos: 3 done, 0 skipped, 1 failed, in "))
        << window->Lab_Status->text().toStdString();
    ASSERT_EQ(window->Lst_Problems->count(), 1);
    EXPECT_TRUE(window->Lst_Problems->item(0)->text().startsWith("failed: "))
        << window->Lst_Problems->item(0)->text().toStdString();
    EXPECT_EQ(window->ProgressBar1->value(), window->ProgressBar1->maximum());
    EXPECT_EQ(Outputs(), (QStringList{"p0.jpg", "p1.jpg", "p2.jpg"}));

    EXPECT_EQ(window->Btn_Cancel->text(), "Close");
    window->Btn_Cancel->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return Main->BatchWindow() == nullptr; }, 5000));
}

// Cancel, or closing the window, stops every photo under way; the outputs
// finished stay and nothing half written is left.
TEST_F(BatchWindow, CancelOrClosingStopsTheBatchAndLeavesOnlyWholeOutputs)
{
    const QString photos = Photos(6, 700, 500);
    const std::string preset = SlowPreset();
    for (const bool byClosing : {false, true}) {
        SCOPED_TRACE(byClosing ? "closing" : "Cancel");
        QDir(Folder.filePath("out")).removeRecursively();
        const TBatchChoice choice = Choice(photos, preset);
        std::vector<std::string> inputs = {choice.Inputs.front().toStdString()};
        auto* window =
            new TFrmBatchProgress(std::make_unique<TBatchRun>(PlanBatch(inputs, choice.Settings), choice.Settings));
        QPointer<TFrmBatchProgress> alive(window);
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->show();
        ASSERT_TRUE(QTest::qWaitFor([&] { return window->Run().Counts().Running > 0; }, 30000));
        if (byClosing) {
            window->close();
            EXPECT_TRUE(window->isVisible()) << "the window waits for the photos under way";
        } else {
            window->Btn_Cancel->click();
            EXPECT_FALSE(window->Btn_Cancel->isEnabled());
        }
        ASSERT_TRUE(QTest::qWaitFor([&] { return !alive || window->Finished(); }, 30000));
        if (alive) {
            const TBatchCounts counts = window->Run().Counts();
            EXPECT_TRUE(window->Lab_Status->text().contains("not done: stopped"))
                << window->Lab_Status->text().toStdString();
            EXPECT_EQ(Outputs().size(), counts.Done);
            EXPECT_LT(counts.Done, 6);
            delete window;
        } else {
            EXPECT_LT(Outputs().size(), 6);
        }
        for (const QString& name : QDir(Folder.filePath("out")).entryList(QDir::Files | QDir::Hidden))
            EXPECT_FALSE(name.startsWith('.')) << "a temporary file stayed: " << name.toStdString();
    }
}

} // namespace
