#include "Options.h"

#include "MessageRecorder.h"
#include "ProgramDir.h"
#include "TestFolder.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>

namespace {

const QString HistoryMessage = "History States will not take effect until next run";

std::string Int32s(std::initializer_list<std::int32_t> values)
{
    std::string bytes;
    for (std::int32_t v : values)
        for (int k = 0; k < 4; ++k)
            bytes.push_back(char(std::uint32_t(v) >> (8 * k) & 0xFF));
    return bytes;
}

std::int32_t Int32At(const std::string& bytes, std::size_t at)
{
    std::uint32_t v = 0;
    for (int k = 3; k >= 0; --k)
        v = v << 8 | std::uint8_t(bytes.at(at + std::size_t(k)));
    return std::int32_t(v);
}

class OptionsDialog : public testing::Test
{
protected:
    std::string OptionsFile() const { return Folder.File(OptionsFileName); }

    // Runs the dialog modally and lets `act` work on it while it is shown.
    int Run(TFrmOptions& dialog, const std::function<void()>& act)
    {
        QTimer::singleShot(0, &dialog, [&] {
            EXPECT_TRUE(dialog.isVisible());
            act();
        });
        return dialog.exec();
    }

    static void Retype(QSpinBox* spin, const QString& text)
    {
        spin->setFocus();
        spin->selectAll();
        QTest::keyClicks(spin, text);
    }

    TTestFolder Folder;
    TMessageRecorder Messages;
};

} // namespace

TEST_F(OptionsDialog, WithoutAFileShowsTheDefaults)
{
    TFrmOptions dialog;
    EXPECT_EQ(dialog.windowTitle(), "Options");
    EXPECT_EQ(dialog.CmbWinSize->currentText(), "Custom");
    EXPECT_EQ(dialog.CmbWinSize->count(), 3);
    EXPECT_EQ(dialog.CmbWinSize->itemText(1), "Maximized");
    EXPECT_EQ(dialog.CmbWinSize->itemText(2), "Last");
    EXPECT_EQ(dialog.SpnWidth->value(), 459);
    EXPECT_EQ(dialog.SpnHeight->value(), 451);
    EXPECT_EQ(dialog.SpnHistory->value(), 50);
    EXPECT_TRUE(dialog.SpnWidth->isEnabled());
    EXPECT_TRUE(dialog.SpnHeight->isEnabled());
    EXPECT_EQ(dialog.Label1->text(), "Preview Window Size:");
    EXPECT_EQ(dialog.Label3->text(), "Width:");
    EXPECT_EQ(dialog.Label4->text(), "Height:");
    EXPECT_EQ(dialog.Label5->text(), "History States:");
    EXPECT_EQ(dialog.BtnOk->text(), "&Ok");
    EXPECT_EQ(dialog.BtnCancel->text(), "&Cancel");
    EXPECT_EQ(dialog.Options().HistoryStates, 50);
    EXPECT_FALSE(std::filesystem::exists(OptionsFile()));
}

TEST_F(OptionsDialog, OnlyCustomEnablesTheWidthAndHeight)
{
    TFrmOptions dialog;
    for (int mode : {1, 2, 0, 2}) {
        dialog.CmbWinSize->setCurrentIndex(mode);
        const bool custom = mode == 0;
        EXPECT_EQ(dialog.SpnWidth->isEnabled(), custom) << mode;
        EXPECT_EQ(dialog.SpnHeight->isEnabled(), custom) << mode;
        EXPECT_EQ(dialog.Label3->isEnabled(), custom) << mode;
        EXPECT_EQ(dialog.Label4->isEnabled(), custom) << mode;
        EXPECT_TRUE(dialog.SpnHistory->isEnabled());
    }

    // A file that says Last disables them from the start.
    PutFileBytes(OptionsFile(), Int32s({2}));
    TFrmOptions fromFile;
    EXPECT_EQ(fromFile.CmbWinSize->currentText(), "Last");
    EXPECT_FALSE(fromFile.SpnWidth->isEnabled());
}

TEST_F(OptionsDialog, OkWithAChangedHistorySaysItWaitsForTheNextRun)
{
    TFrmOptions dialog;
    const int result = Run(dialog, [&] {
        Retype(dialog.SpnHistory, "80");
        QTest::mouseClick(dialog.BtnOk, Qt::LeftButton);
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(Messages.Messages, QStringList{HistoryMessage});

    const std::string bytes = FileBytes(OptionsFile());
    ASSERT_EQ(bytes.size(), 32u);
    EXPECT_EQ(bytes, Int32s({0, 459, 451, 80, 0, 0, 0, 0}));
    EXPECT_EQ(dialog.Options().HistoryStates, 80);

    // Saved once, the same value says nothing more.
    Run(dialog, [&] { QTest::keyClick(&dialog, Qt::Key_Return); });
    EXPECT_EQ(Messages.Messages.size(), 1);
}

TEST_F(OptionsDialog, OkWithoutAHistoryChangeSaysNothing)
{
    TFrmOptions dialog;
    Run(dialog, [&] {
        Retype(dialog.SpnWidth, "640");
        dialog.CmbWinSize->setCurrentIndex(1);
        QTest::mouseClick(dialog.BtnOk, Qt::LeftButton);
    });
    EXPECT_TRUE(Messages.Messages.isEmpty());
    EXPECT_EQ(FileBytes(OptionsFile()), Int32s({1, 640, 451, 50, 0, 0, 0, 0}));
}

TEST_F(OptionsDialog, EnterSavesWhatIsStillBeingTyped)
{
    TFrmOptions dialog;
    Run(dialog, [&] {
        Retype(dialog.SpnHeight, "700");
        QTest::keyClick(dialog.SpnHeight, Qt::Key_Return);
    });
    EXPECT_EQ(Int32At(FileBytes(OptionsFile()), 8), 700);
}

TEST_F(OptionsDialog, CancelKeepsTheEntriesForTheNextSave)
{
    TFrmOptions dialog;
    const int result = Run(dialog, [&] {
        Retype(dialog.SpnHistory, "20");
        QTest::mouseClick(dialog.BtnCancel, Qt::LeftButton);
    });
    EXPECT_EQ(result, QDialog::Rejected);
    EXPECT_FALSE(std::filesystem::exists(OptionsFile()));
    EXPECT_TRUE(Messages.Messages.isEmpty());
    EXPECT_EQ(dialog.SpnHistory->value(), 20);
    EXPECT_EQ(dialog.Options().HistoryStates, 50);

    // The main window saves at exit: the entry is written and the message
    // comes then.
    EXPECT_TRUE(dialog.SaveOptions());
    EXPECT_EQ(Messages.Messages, QStringList{HistoryMessage});
    EXPECT_EQ(Int32At(FileBytes(OptionsFile()), 12), 20);
}

TEST_F(OptionsDialog, KeepsTheLastWindowFieldsAndWritesExactly32Bytes)
{
    PutFileBytes(OptionsFile(), Int32s({2, 800, 600, 20, 11, 12, 700, 500}));
    TFrmOptions dialog;
    EXPECT_EQ(dialog.CmbWinSize->currentIndex(), 2);
    EXPECT_EQ(dialog.SpnWidth->value(), 800);
    EXPECT_EQ(dialog.SpnHeight->value(), 600);
    EXPECT_EQ(dialog.SpnHistory->value(), 20);

    // The preview dialog stores its rectangle when it closes.
    dialog.Options().LastWidth = 720;
    EXPECT_TRUE(dialog.SaveOptions());
    EXPECT_EQ(FileBytes(OptionsFile()), Int32s({2, 800, 600, 20, 11, 12, 720, 500}));
    EXPECT_TRUE(Messages.Messages.isEmpty());
}

TEST_F(OptionsDialog, AShortFileReplacesOnlyTheFieldsItHolds)
{
    PutFileBytes(OptionsFile(), Int32s({0, 1024}));
    TFrmOptions dialog;
    EXPECT_EQ(dialog.SpnWidth->value(), 1024);
    EXPECT_EQ(dialog.SpnHeight->value(), 451);
    EXPECT_EQ(dialog.SpnHistory->value(), 50);
}

TEST_F(OptionsDialog, ValuesOutsideTheRangesAreBroughtToTheLimitsWithoutAMessage)
{
    PutFileBytes(OptionsFile(), Int32s({9, 5, 100000, -7, 0, 0, 0, 0}));
    TFrmOptions dialog;
    EXPECT_EQ(dialog.CmbWinSize->currentIndex(), 0);
    EXPECT_EQ(dialog.SpnWidth->value(), TFrmOptions::MinPreviewSize);
    EXPECT_EQ(dialog.SpnHeight->value(), TFrmOptions::MaxPreviewSize);
    EXPECT_EQ(dialog.SpnHistory->value(), TFrmOptions::MinHistoryStates);
    EXPECT_EQ(dialog.Options().HistoryStates, TFrmOptions::MinHistoryStates);

    EXPECT_TRUE(dialog.SaveOptions());
    EXPECT_TRUE(Messages.Messages.isEmpty());
    EXPECT_EQ(FileBytes(OptionsFile()), Int32s({0, 200, 16384, 0, 0, 0, 0, 0}));

    // Typing beyond the limits cannot enter an absurd value either.
    Retype(dialog.SpnHistory, "99999");
    dialog.SpnHistory->interpretText();
    EXPECT_LE(dialog.SpnHistory->value(), TFrmOptions::MaxHistoryStates);
}

TEST_F(OptionsDialog, LoadingAgainShowsTheFileOverTheEntries)
{
    TFrmOptions dialog;
    dialog.SpnHistory->setValue(70);
    PutFileBytes(OptionsFile(), Int32s({0, 459, 451, 30}));
    dialog.LoadOptions();
    EXPECT_EQ(dialog.SpnHistory->value(), 30);
    EXPECT_EQ(dialog.Options().HistoryStates, 30);
}

TEST_F(OptionsDialog, AFileThatCannotBeWrittenIsReportedToTheCallerOnly)
{
    std::filesystem::create_directory(OptionsFile()); // a folder stands in the way
    TFrmOptions dialog;
    EXPECT_FALSE(dialog.SaveOptions());
    EXPECT_TRUE(Messages.Messages.isEmpty());
}
