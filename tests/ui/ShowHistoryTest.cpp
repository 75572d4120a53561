#include "ShowHistory.h"

#include "Document.h"
#include "History.h"
#include "ProgramDir.h"
#include "TestFolder.h"

#include <QHeaderView>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class HistoryPanel : public testing::Test
{
protected:
    void SetUp() override
    {
        History.SetHistoryStates(50);
        Document.SketchLayer = TBitmap(2, 2);
        Document.ColorLayer = TBitmap(2, 2);
        Document.SourceBitmap = TBitmap(2, 2);
    }

    void ShowPanel()
    {
        Panel.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Panel));
    }

    // "Open" and three tool operations, as after a short session.
    void RecordFour()
    {
        Record("Open", "/home/me/beach.jpg");
        Record("Pencil", "--");
        Record("Brush", "--");
        Record("Text Balloon", "Type: Ellipse");
    }

    void Record(const std::string& operation, const std::string& comment)
    {
        History.RecordHistory(operation, comment, Document);
        Panel.RefreshHistoryGrid();
    }

    // The main window's part of a chosen row.
    void RestoreOnChoice()
    {
        QObject::connect(&Panel, &TFrmHistory::RowChosen, &Panel, [this](int row) {
            History.SelectRow(row, Document);
            Panel.RefreshHistoryGrid();
        });
    }

    QString Text(int gridRow, int column) const { return Grid()->item(gridRow - 1, column)->text(); }
    bool Grey(int gridRow) const
    {
        for (int column = 0; column < 2; ++column) {
            const QTableWidgetItem* item = Grid()->item(gridRow - 1, column);
            if (item->foreground().color() != QColor(0x808080) || item->background().color() != Qt::white)
                return false;
        }
        return true;
    }
    bool Plain(int gridRow) const
    {
        for (int column = 0; column < 2; ++column) {
            const QTableWidgetItem* item = Grid()->item(gridRow - 1, column);
            if (item->foreground().style() != Qt::NoBrush || item->background().style() != Qt::NoBrush)
                return false;
        }
        return true;
    }
    int SelectedGridRow() const { return Grid()->currentRow() + 1; }
    QRect RowRect(int gridRow) const
    {
        return Grid()->visualRect(Grid()->model()->index(gridRow - 1, 0));
    }
    QTableWidget* Grid() const { return Panel.StringGrid1; }

    TTestFolder Folder;
    THistory History{ProgramFile(HistoryFolderName)};
    TDocument Document;
    TFrmHistory Panel{History};
    QSignalSpy Chosen{&Panel, &TFrmHistory::RowChosen};
};

} // namespace

TEST_F(HistoryPanel, HasTheDesignedGrid)
{
    EXPECT_EQ(Panel.windowTitle(), "History");
    EXPECT_EQ(Grid()->columnCount(), 2);
    EXPECT_EQ(Grid()->horizontalHeaderItem(0)->text(), "Operate");
    EXPECT_EQ(Grid()->horizontalHeaderItem(1)->text(), "Comment");
    EXPECT_EQ(Grid()->verticalHeader()->width(), 11);
    EXPECT_GE(Grid()->verticalHeader()->defaultSectionSize(), 18);
    EXPECT_GE(Grid()->columnWidth(0), 72);
    EXPECT_EQ(Grid()->columnWidth(1), 368);
    EXPECT_EQ(Grid()->horizontalHeader()->sectionResizeMode(0), QHeaderView::Interactive);
    EXPECT_EQ(Grid()->selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_EQ(Grid()->selectionMode(), QAbstractItemView::SingleSelection);
    EXPECT_EQ(Grid()->editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_EQ(Grid()->rowCount(), 0);
}

TEST_F(HistoryPanel, ListsTheRecordedStatesWithTheCurrentOneSelected)
{
    RecordFour();
    ASSERT_EQ(Grid()->rowCount(), 4);
    EXPECT_EQ(Text(1, 0), "Open");
    EXPECT_EQ(Text(1, 1), "/home/me/beach.jpg");
    EXPECT_EQ(Text(2, 0), "Pencil");
    EXPECT_EQ(Text(2, 1), "--");
    EXPECT_EQ(Text(4, 0), "Text Balloon");
    EXPECT_EQ(Text(4, 1), "Type: Ellipse");
    EXPECT_EQ(SelectedGridRow(), 4);
    for (int row = 1; row <= 4; ++row)
        EXPECT_TRUE(Plain(row)) << row;
}

TEST_F(HistoryPanel, StatesRedoWouldReachAreGreyOnWhiteUntilANewStateDropsThem)
{
    RecordFour();
    History.Undo(Document);
    History.Undo(Document);
    Panel.RefreshHistoryGrid();
    EXPECT_EQ(SelectedGridRow(), 2);
    EXPECT_TRUE(Plain(1));
    EXPECT_TRUE(Plain(2));
    EXPECT_TRUE(Grey(3));
    EXPECT_TRUE(Grey(4));

    Record("Eraser", "--");
    ASSERT_EQ(Grid()->rowCount(), 3);
    EXPECT_EQ(Text(3, 0), "Eraser");
    EXPECT_TRUE(Plain(3));
    EXPECT_EQ(SelectedGridRow(), 3);
}

TEST_F(HistoryPanel, AFullRingListsTheNewestStates)
{
    History.SetHistoryStates(3);
    for (int n = 1; n <= 5; ++n)
        Record("Pencil", std::to_string(n));
    ASSERT_EQ(Grid()->rowCount(), 3);
    EXPECT_EQ(Text(1, 1), "3");
    EXPECT_EQ(Text(3, 1), "5");
    EXPECT_EQ(SelectedGridRow(), 3);
}

TEST_F(HistoryPanel, AHistoryThatKeepsNoStateListsNothing)
{
    RecordFour();
    History.SetHistoryStates(-1);
    Record("Open", "/home/me/beach.jpg");
    EXPECT_EQ(Grid()->rowCount(), 0);
}

TEST_F(HistoryPanel, ClickingTheFirstRowChoosesItOnce)
{
    RecordFour();
    ShowPanel();
    RestoreOnChoice();
    QTest::mouseClick(Grid()->viewport(), Qt::LeftButton, {}, RowRect(1).center());
    ASSERT_TRUE(Chosen.wait(1000));
    ASSERT_EQ(Chosen.count(), 1);
    EXPECT_EQ(Chosen.at(0).at(0).toInt(), 1);

    EXPECT_EQ(History.CurrentRow(), 1);
    EXPECT_FALSE(History.CanUndo());
    EXPECT_TRUE(History.CanRedo());
    EXPECT_EQ(SelectedGridRow(), 1);
    EXPECT_TRUE(Plain(1));
    for (int row = 2; row <= 4; ++row)
        EXPECT_TRUE(Grey(row)) << row;
    QTest::qWait(20);
    EXPECT_EQ(Chosen.count(), 1);
}

TEST_F(HistoryPanel, MovingTheSelectionWithTheKeysIsAChoiceToo)
{
    RecordFour();
    ShowPanel();
    Grid()->setFocus();
    QTest::keyClick(Grid(), Qt::Key_Up);
    ASSERT_TRUE(Chosen.wait(1000));
    EXPECT_EQ(Chosen.at(0).at(0).toInt(), 3);
}

TEST_F(HistoryPanel, KeysPressedFasterThanStatesAreReadReportOnlyTheLastRow)
{
    RecordFour();
    ShowPanel();
    Grid()->setFocus();
    QTest::keyClick(Grid(), Qt::Key_Up);
    QTest::keyClick(Grid(), Qt::Key_Up);
    QTest::keyClick(Grid(), Qt::Key_Up);
    ASSERT_TRUE(Chosen.wait(1000));
    QTest::qWait(20);
    ASSERT_EQ(Chosen.count(), 1);
    EXPECT_EQ(Chosen.at(0).at(0).toInt(), 1);
}

TEST_F(HistoryPanel, ARefreshThatMovesTheSelectionIsNoChoice)
{
    RecordFour();
    ShowPanel();
    History.Undo(Document);
    Panel.RefreshHistoryGrid();
    History.Redo(Document);
    Panel.RefreshHistoryGrid();
    Record("Eraser", "--");
    QTest::qWait(20);
    EXPECT_EQ(Chosen.count(), 0);
    EXPECT_EQ(SelectedGridRow(), 5);

    // And the user's next choice is taken as one.
    QTest::mouseClick(Grid()->viewport(), Qt::LeftButton, {}, RowRect(2).center());
    ASSERT_TRUE(Chosen.wait(1000));
    EXPECT_EQ(Chosen.at(0).at(0).toInt(), 2);
}

TEST_F(HistoryPanel, AChoiceOvertakenByARefreshIsDropped)
{
    RecordFour();
    ShowPanel();
    QTest::mouseClick(Grid()->viewport(), Qt::LeftButton, {}, RowRect(1).center());
    // A state is recorded before the choice is reported: row 1 is no longer
    // what the user clicked on.
    History.SetHistoryStates(2);
    Record("Pencil", "--");
    QTest::qWait(20);
    EXPECT_EQ(Chosen.count(), 0);
}

TEST_F(HistoryPanel, ShowingThePanelBringsTheGridUpToDate)
{
    History.RecordHistory("Open", "/home/me/beach.jpg", Document);
    History.RecordHistory("Pencil", "--", Document);
    ShowPanel();
    EXPECT_EQ(Grid()->rowCount(), 2);
    EXPECT_EQ(SelectedGridRow(), 2);
    QTest::qWait(20);
    EXPECT_EQ(Chosen.count(), 0);
}
