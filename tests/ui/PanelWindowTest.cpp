#include "ui/PanelWindow.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

TEST(PanelWindow, TheCloseBoxHidesAndTellsTheOwnerButHidingByProgramDoesNot)
{
    QWidget owner;
    auto* panel = new TPanelWindow("Panel", &owner);
    QSignalSpy closed(panel, &TPanelWindow::ClosedByUser);
    EXPECT_EQ(panel->windowType(), Qt::Tool);
    panel->show();
    panel->close();
    EXPECT_TRUE(panel->isHidden());
    EXPECT_EQ(closed.count(), 1);

    panel->show();
    panel->hide();
    panel->close();
    EXPECT_EQ(closed.count(), 1);
}

TEST(PanelWindow, TheDeleteKeyIsPassedOnUnlessItEditsText)
{
    TPanelWindow panel("Panel", nullptr);
    auto* box = new QCheckBox("Box", &panel);
    auto* edit = new QLineEdit("abc", &panel);
    auto* memo = new QPlainTextEdit("xyz", &panel);
    auto* layout = new QVBoxLayout(&panel);
    for (QWidget* w : {static_cast<QWidget*>(box), static_cast<QWidget*>(edit), static_cast<QWidget*>(memo)})
        layout->addWidget(w);
    QSignalSpy passed(&panel, &TPanelWindow::DeleteKeyReleased);
    panel.show();

    box->setFocus();
    QTest::keyPress(box, Qt::Key_Delete);
    EXPECT_EQ(passed.count(), 0);
    QTest::keyRelease(box, Qt::Key_Delete);
    EXPECT_EQ(passed.count(), 1);
    QTest::keyClick(box, Qt::Key_Backspace);
    EXPECT_EQ(passed.count(), 1);

    edit->setFocus();
    edit->setCursorPosition(0);
    QTest::keyClick(edit, Qt::Key_Delete);
    memo->setFocus();
    memo->moveCursor(QTextCursor::Start);
    QTest::keyClick(memo, Qt::Key_Delete);
    EXPECT_EQ(edit->text(), "bc");
    EXPECT_EQ(memo->toPlainText(), "yz");
    EXPECT_EQ(passed.count(), 1);
}
