#include "ui/FrmOptions.h"

#include "settings/ProgramDir.h"
#include "tests/document/TestFolder.h"
#include "tests/ui/MessageRecorder.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <initializer_list>

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

class OptionsDialog : public testing::Test {
protected:
    std::string OptionsFile() const { return Folder.File(OptionsFileName); }

    // Runs the dialog modally while `act` works on it.
    static int Run(TFrmOptions& dialog, const std::function<void()>& act)
    {
        QTimer::singleShot(0, &dialog, act);
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

TEST_F(OptionsDialog, WithoutAFileShowsTheDefaultsAndOnlyCustomEnablesTheSize)
{
    TFrmOptions dialog;
    EXPECT_EQ(dialog.CmbWinSize->currentText(), "Custom");
    EXPECT_EQ(dialog.SpnWidth->value(), 459);
    EXPECT_EQ(dialog.SpnHeight->value(), 451);
    EXPECT_EQ(dialog.SpnHistory->value(), 50);
    for (int mode : {1, 0, 2}) {
        dialog.CmbWinSize->setCurrentIndex(mode);
        for (QWidget* w : {static_cast<QWidget*>(dialog.SpnWidth), static_cast<QWidget*>(dialog.SpnHeight),
                           static_cast<QWidget*>(dialog.Lab_Width), static_cast<QWidget*>(dialog.Lab_Height)})
            EXPECT_EQ(w->isEnabled(), mode == 0) << mode;
    }

    PutFileBytes(OptionsFile(), Int32s({2, 800, 600, 20, 11, 12, 700, 500}));
    TFrmOptions fromFile;
    EXPECT_EQ(fromFile.CmbWinSize->currentText(), "Last");
    EXPECT_FALSE(fromFile.SpnWidth->isEnabled());
    EXPECT_EQ(fromFile.SpnWidth->value(), 800);
    EXPECT_EQ(fromFile.SpnHistory->value(), 20);
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
    EXPECT_EQ(FileBytes(OptionsFile()), Int32s({0, 459, 451, 80, 0, 0, 0, 0}));

    // Saved once, the same value says nothing more.
    Run(dialog, [&] { QTest::keyClick(&dialog, Qt::Key_Return); });
    EXPECT_EQ(Messages.Messages.size(), 1);
}

TEST_F(OptionsDialog, OkWithoutAHistoryChangeSaysNothing)
{
    TFrmOptions dialog;
    Run(dialog, [&] {
        Retype(dialog.SpnWidth, "640");
        // Enter in an entry presses OK and takes what is being typed.
        Retype(dialog.SpnHeight, "700");
        QTest::keyClick(dialog.SpnHeight, Qt::Key_Return);
    });
    EXPECT_TRUE(Messages.Messages.isEmpty());
    EXPECT_EQ(FileBytes(OptionsFile()), Int32s({0, 640, 700, 50, 0, 0, 0, 0}));
}

TEST_F(OptionsDialog, CancelEscAndTheCloseBoxPutTheEntriesBackAsTheyWereShown)
{
    TFrmOptions dialog;
    enum { ByButton, ByEsc, ByCloseBox };
    for (int how : {ByButton, ByEsc, ByCloseBox}) {
        const int result = Run(dialog, [&] {
            Retype(dialog.SpnHistory, "20");
            Retype(dialog.SpnWidth, "700");
            dialog.CmbWinSize->setCurrentIndex(1);
            if (how == ByButton)
                QTest::mouseClick(dialog.BtnCancel, Qt::LeftButton);
            else if (how == ByEsc)
                QTest::keyClick(&dialog, Qt::Key_Escape);
            else
                dialog.close();
        });
        EXPECT_EQ(result, QDialog::Rejected) << how;
        EXPECT_EQ(dialog.SpnHistory->value(), 50) << how;
        EXPECT_EQ(dialog.SpnWidth->value(), 459) << how;
        EXPECT_EQ(dialog.CmbWinSize->currentIndex(), 0) << how;
        EXPECT_TRUE(dialog.SpnWidth->isEnabled()) << how;
    }
    EXPECT_FALSE(std::filesystem::exists(OptionsFile()));

    // The save at exit writes what was there before, with no message.
    dialog.Options().LastWidth = 700; // the preview dialog closed meanwhile
    EXPECT_TRUE(dialog.SaveOptions());
    EXPECT_TRUE(Messages.Messages.isEmpty());
    EXPECT_EQ(FileBytes(OptionsFile()), Int32s({0, 459, 451, 50, 0, 0, 700, 0}));
}

TEST_F(OptionsDialog, ANumberTypedOutOfRangeIsCorrectedInSightBeforeOkSaves)
{
    TFrmOptions dialog;
    const int result = Run(dialog, [&] {
        Retype(dialog.SpnWidth, "100");
        QTest::mouseClick(dialog.BtnOk, Qt::LeftButton);
        // Still open, with the corrected value and the reason in view.
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(dialog.SpnWidth->value(), TProgramOptionsLimits::MinPreviewSize);
        EXPECT_TRUE(dialog.Lbl_RangeHint->isVisible());
        EXPECT_TRUE(dialog.Lbl_RangeHint->text().contains("200 and 16384"))
            << dialog.Lbl_RangeHint->text().toStdString();
        QTest::mouseClick(dialog.BtnOk, Qt::LeftButton);
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(FileBytes(OptionsFile()), Int32s({0, 200, 451, 50, 0, 0, 0, 0}));
}

TEST_F(OptionsDialog, ValuesOutsideTheRangesAreBroughtToTheLimitsWithoutAMessage)
{
    PutFileBytes(OptionsFile(), Int32s({9, 5, 100000, -7, 1, 2, 3, 4}));
    TFrmOptions dialog;
    EXPECT_EQ(dialog.CmbWinSize->currentIndex(), 0);
    EXPECT_EQ(dialog.Options().HistoryStates, TProgramOptionsLimits::MinHistoryStates);
    EXPECT_TRUE(dialog.SaveOptions());
    EXPECT_TRUE(Messages.Messages.isEmpty());
    EXPECT_EQ(FileBytes(OptionsFile()), Int32s({0, 200, 16384, 0, 1, 2, 3, 4}));

    // Typing cannot enter an absurd number either.
    Retype(dialog.SpnHistory, "99999");
    dialog.SpnHistory->interpretText();
    EXPECT_LE(dialog.SpnHistory->value(), TProgramOptionsLimits::MaxHistoryStates);
}
