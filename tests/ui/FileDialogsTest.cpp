// The program's file dialogs, through the toolkit's real dialog.
#include "ui/FileDialogs.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

const QList<TFileFilter> SaveFilters = {
    {"Bitmaps (*.bmp)", {"*.bmp"}},
    {"JPEG Image File (*.jpg)", {"*.jpg"}},
    {"Lumenquilla Project (*.p2c)", {"*.p2c"}},
};

// The filter a person leaves selected must come back as its index, whatever
// form of its text the toolkit reports with the patterns hidden.
TEST(FileDialogs, TheSelectedFilterOfARealDialogComesBackAsItsIndex)
{
    for (int index = 1; index <= SaveFilters.size(); ++index) {
        QFileDialog dialog;
        TFileRequest request{"Save", SaveFilters, index, QDir::tempPath(), "photo_cartoon", {}};
        SetUpFileDialog(dialog, request);
        EXPECT_EQ(ChosenFilterIndex(SaveFilters, dialog.selectedNameFilter()), index)
            << dialog.selectedNameFilter().toStdString();
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
    TFileRequest request{"Save", SaveFilters, 2, folder.path(), "photo_cartoon", {}};
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

// Phones name their photos in upper case (IMG_0001.HEIC): a filter must
// list them as it lists lower-case names, in the real dialog.
TEST(FileDialogs, AFilterListsNamesInEitherCase)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    for (const char* name : {"IMG_0001.HEIC", "b.heic", "c.txt"}) {
        QFile file(folder.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    QFileDialog dialog;
    dialog.setFileMode(QFileDialog::ExistingFile);
    const QList<TFileFilter> filters = {{"HEIC Image File (*.heic;*.heif)", {"*.heic", "*.heif"}}};
    // A place of the request joins the side bar once, beside the usual ones.
    SetUpFileDialog(dialog, TFileRequest{"Open", filters, 1, folder.path(), {}, {folder.path(), folder.path()}});
    EXPECT_EQ(dialog.sidebarUrls().count(QUrl::fromLocalFile(folder.path())), 1);
    auto* model = dialog.findChild<QFileSystemModel*>();
    ASSERT_NE(model, nullptr);
    const QModelIndex root = model->index(folder.path());
    // The folder is read on a thread of the model's own, all names at once.
    ASSERT_TRUE(QTest::qWaitFor([&] { return model->rowCount(root) > 0; }, 5000));
    const auto shownNames = [&] {
        QStringList shown;
        for (int row = 0; row < model->rowCount(root); ++row) {
            const QModelIndex index = model->index(row, 0, root);
            // Names a filter turns away are hidden or greyed out, by platform.
            if (model->flags(index) & Qt::ItemIsEnabled)
                shown << model->fileName(index);
        }
        shown.sort();
        return shown;
    };
    // What the model learns of the files after their names may change what it shows.
    const QStringList expected({"IMG_0001.HEIC", "b.heic"});
    EXPECT_TRUE(QTest::qWaitFor([&] { return shownNames() == expected; }, 5000));
    EXPECT_EQ(shownNames(), expected);
}

} // namespace
