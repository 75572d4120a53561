#include "PanelWindow.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

class PanelWindow : public testing::Test
{
protected:
    void SetUp() override
    {
        auto* layout = new QVBoxLayout(Panel);
        Box = new QCheckBox("Box", Panel);
        Edit = new QLineEdit(Panel);
        Memo = new QPlainTextEdit(Panel);
        layout->addWidget(Box);
        layout->addWidget(Edit);
        layout->addWidget(Memo);
        Owner.show();
        Panel->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(Panel));
    }

    QWidget Owner;
    TPanelWindow* Panel = new TPanelWindow("Panel", &Owner);
    QCheckBox* Box = nullptr;
    QLineEdit* Edit = nullptr;
    QPlainTextEdit* Memo = nullptr;
    QSignalSpy Closed{Panel, &TPanelWindow::ClosedByUser};
    QSignalSpy Delete{Panel, &TPanelWindow::DeleteKeyReleased};
};

} // namespace

TEST_F(PanelWindow, IsAToolWindowOfItsOwner)
{
    EXPECT_EQ(Panel->windowTitle(), "Panel");
    EXPECT_EQ(Panel->windowType(), Qt::Tool);
    EXPECT_EQ(Panel->parentWidget(), &Owner);
    EXPECT_GE(TPanelWindow::ColumnWidth(Panel), 235);
}

TEST_F(PanelWindow, TheCloseBoxHidesAndTellsTheOwnerButHidingByProgramDoesNot)
{
    Panel->close();
    EXPECT_TRUE(Panel->isHidden());
    EXPECT_EQ(Closed.count(), 1);

    Panel->show();
    Panel->hide();
    EXPECT_EQ(Closed.count(), 1);
    // A hidden panel closed once more does not release the toggle again.
    Panel->close();
    EXPECT_EQ(Closed.count(), 1);
}

TEST_F(PanelWindow, TheDeleteKeyIsPassedOnUnlessItEditsText)
{
    Box->setFocus();
    QTest::keyClick(Box, Qt::Key_Delete);
    EXPECT_EQ(Delete.count(), 1);
    // Only the release counts, and a held key only once.
    QTest::keyPress(Box, Qt::Key_Delete);
    EXPECT_EQ(Delete.count(), 1);
    QTest::keyRelease(Box, Qt::Key_Delete);
    EXPECT_EQ(Delete.count(), 2);
    QTest::keyClick(Box, Qt::Key_Backspace);
    EXPECT_EQ(Delete.count(), 2);

    Edit->setText("abc");
    Edit->setFocus();
    Edit->setCursorPosition(0);
    QTest::keyClick(Edit, Qt::Key_Delete);
    EXPECT_EQ(Edit->text(), "bc");
    Memo->setPlainText("xyz");
    Memo->setFocus();
    Memo->moveCursor(QTextCursor::Start);
    QTest::keyClick(Memo, Qt::Key_Delete);
    EXPECT_EQ(Memo->toPlainText(), "yz");
    EXPECT_EQ(Delete.count(), 2);
}
