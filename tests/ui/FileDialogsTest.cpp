// The program's file dialogs, through the toolkit's real dialog.
#include "FileDialogs.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

const QList<TFileFilter> SaveFilters = {
    {"Bitmaps (*.bmp)", {"*.bmp"}},
    {"JPEG Image File (*.jpg)", {"*.jpg"}},
    {"Rorav Id Arezudu File(*.p2c)", {"*.p2c"}},
};

// The filter a person leaves selected must come back as its index, whatever
// form of its text the toolkit reports with the patterns hidden.
TEST(FileDialogs, TheSelectedFilterOfARealDialogComesBackAsItsIndex)
{
    for (int index = 1; index <= SaveFilters.size(); ++index) {
        QFileDialog dialog;
        TFileRequest request{"Save", SaveFilters, index, QDir::tempPath(), "photo_cartoon"};
        SetUpFileDialog(dialog, request);
        EXPECT_EQ(ChosenFilterIndex(SaveFilters, dialog.selectedNameFilter()), index) << dialog.selectedNameFilter().toStdString();
    }
    EXPECT_EQ(ChosenFilterIndex(SaveFilters, "Bitmaps"), 0);
    EXPECT_EQ(ChosenFilterIndex(SaveFilters, "Bitmaps (*.bmp)"), 1);
}

// A name typed without an extension and accepted with Enter, as a person
// saves the proposed name.
TEST(FileDialogs, AcceptingTheProposedNameWithEnterReportsTheChosenFilter)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    TFileRequest request{"Save", SaveFilters, 2, folder.path(), "photo_cartoon"};
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
        ASSERT_NE(name, nullptr);
        EXPECT_EQ(name->text(), "photo_cartoon");
        QTest::keyClick(name, Qt::Key_Return);
    });
    const std::optional<TFileChoice> choice = RunSaveDialog(nullptr, request);
    ASSERT_TRUE(choice.has_value());
    EXPECT_EQ(choice->FilterIndex, 2);
    EXPECT_EQ(QFileInfo(choice->FileName).fileName(), "photo_cartoon");
}

} // namespace
