#include "ui/FrmHistory.h"

#include "document/Document.h"
#include "document/History.h"
#include "settings/ProgramDir.h"
#include "tests/document/TestFolder.h"
#include "tests/ui/PostedEvents.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <string>

namespace {

class HistoryPanel : public testing::Test {
protected:
    void SetUp() override
    {
        History.SetHistoryStates(50);
        Document.SketchLayer = Document.ColorLayer = Document.SourceBitmap = TBitmap(2, 2);
    }

    void ShowPanel()
    {
        Panel.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Panel));
    }

    void Record(const std::string& operation, const std::string& comment = "--")
    {
        History.RecordHistory(operation, comment, Document);
        Panel.RefreshHistoryGrid();
    }
    // "Open" and three tool operations.
    void RecordFour()
    {
        Record("Open", "/home/me/beach.jpg");
        Record("Pencil");
        Record("Brush");
        Record("Text Balloon", "Type: Ellipse");
    }

    void Click(int gridRow)
    {
        const QRect cell = Grid()->visualRect(Grid()->model()->index(gridRow - 1, 0));
        QTest::mouseClick(Grid()->viewport(), Qt::LeftButton, {}, cell.center());
    }

    QString Text(int gridRow, int column) const { return Grid()->item(gridRow - 1, column)->text(); }
    // 1 grey on white, 0 drawn as usual, -1 anything else.
    int Greyed(int gridRow) const
    {
        const QTableWidgetItem* cells[] = {Grid()->item(gridRow - 1, 0), Grid()->item(gridRow - 1, 1)};
        bool grey = true, plain = true;
        for (const QTableWidgetItem* c : cells) {
            grey = grey && c->foreground().color() == QColor(0x808080) && c->background().color() == Qt::white;
            plain = plain && c->foreground().style() == Qt::NoBrush && c->background().style() == Qt::NoBrush;
        }
        return grey ? 1 : plain ? 0 : -1;
    }
    int SelectedRow() const { return Grid()->currentRow() + 1; }
    QTableWidget* Grid() const { return Panel.StateGrid; }

    TTestFolder Folder;
    THistory History{ProgramFile(HistoryFolderName)};
    TDocument Document;
    TFrmHistory Panel{History};
    QSignalSpy Chosen{&Panel, &TFrmHistory::RowChosen};
};

} // namespace

TEST_F(HistoryPanel, ListsTheStatesWithTheCurrentOneSelectedAndLaterOnesGrey)
{
    RecordFour();
    ASSERT_EQ(Grid()->rowCount(), 4);
    EXPECT_EQ(Text(1, 0), "Open");
    EXPECT_EQ(Text(1, 1), "beach.jpg \u2014 /home/me");
    EXPECT_EQ(Grid()->item(0, 1)->toolTip(), "/home/me/beach.jpg");
    EXPECT_EQ(Text(4, 0), "Text Balloon");
    EXPECT_EQ(Text(4, 1), "Type: Ellipse");
    EXPECT_EQ(SelectedRow(), 4);

    History.Undo(Document);
    History.Undo(Document);
    Panel.RefreshHistoryGrid();
    EXPECT_EQ(SelectedRow(), 2);
    EXPECT_EQ(Greyed(1), 0);
    EXPECT_EQ(Greyed(2), 0);
    EXPECT_EQ(Greyed(3), 1);
    EXPECT_EQ(Greyed(4), 1);

    // A new state drops the redoable ones.
    Record("Eraser");
    ASSERT_EQ(Grid()->rowCount(), 3);
    EXPECT_EQ(Text(3, 0), "Eraser");
    EXPECT_EQ(Greyed(3), 0);
    EXPECT_EQ(SelectedRow(), 3);

    History.SetHistoryStates(-1);
    Panel.RefreshHistoryGrid();
    EXPECT_EQ(Grid()->rowCount(), 0);
}

TEST_F(HistoryPanel, ClickingTheFirstRowChoosesItOnce)
{
    RecordFour();
    ShowPanel();
    // The main window's part: restore the state and refresh the grid.
    QObject::connect(&Panel, &TFrmHistory::RowChosen, &Panel, [this](int row) {
        History.SelectRow(row, Document);
        Panel.RefreshHistoryGrid();
    });
    Click(1);
    ASSERT_TRUE(Chosen.wait(1000));
    EXPECT_EQ(Chosen.at(0).at(0).toInt(), 1);
    EXPECT_FALSE(History.CanUndo());
    EXPECT_TRUE(History.CanRedo());
    EXPECT_EQ(SelectedRow(), 1);
    EXPECT_EQ(Greyed(2), 1);
    ASSERT_TRUE(PostedEventsHandled());
    EXPECT_EQ(Chosen.count(), 1);
}

TEST_F(HistoryPanel, KeysChooseTooAndFastKeysReportOnlyTheRowTheyStopOn)
{
    RecordFour();
    ShowPanel();
    Grid()->setFocus();
    QTest::keyClick(Grid(), Qt::Key_Up);
    ASSERT_TRUE(Chosen.wait(1000));
    EXPECT_EQ(Chosen.at(0).at(0).toInt(), 3);

    Chosen.clear();
    QTest::keyClick(Grid(), Qt::Key_Up);
    QTest::keyClick(Grid(), Qt::Key_Up);
    ASSERT_TRUE(Chosen.wait(1000));
    ASSERT_TRUE(PostedEventsHandled());
    ASSERT_EQ(Chosen.count(), 1);
    EXPECT_EQ(Chosen.at(0).at(0).toInt(), 1);
}

TEST_F(HistoryPanel, RefreshesThatMoveTheSelectionAreNoChoice)
{
    RecordFour();
    ShowPanel();
    History.Undo(Document);
    Panel.RefreshHistoryGrid();
    History.Redo(Document);
    Panel.RefreshHistoryGrid();
    Record("Eraser");
    Panel.hide();
    History.Undo(Document);
    Panel.show();
    ASSERT_TRUE(PostedEventsHandled());
    EXPECT_EQ(Chosen.count(), 0);
    EXPECT_EQ(SelectedRow(), 4);

    // And the user's next choice is taken as one.
    Click(2);
    ASSERT_TRUE(Chosen.wait(1000));
    EXPECT_EQ(Chosen.at(0).at(0).toInt(), 2);
}

TEST_F(HistoryPanel, AChoiceOvertakenByARefreshIsDropped)
{
    RecordFour();
    ShowPanel();
    Click(1);
    // A state is recorded before the choice is reported: row 1 no longer
    // holds what the user clicked on.
    History.SetHistoryStates(2);
    Record("Pencil");
    ASSERT_TRUE(PostedEventsHandled());
    EXPECT_EQ(Chosen.count(), 0);
}

TEST_F(HistoryPanel, TheCurrentRowIsScrolledIntoViewAndTheCommentFillsTheWidth)
{
    ShowPanel();
    // The ring is full: the current row stays the last one.
    for (int i = 0; i < 60; ++i)
        Record("Pencil", "/home/me/a folder with a long name/" + std::to_string(i) + ".jpg");
    ASSERT_EQ(Grid()->rowCount(), 50);
    Grid()->scrollToTop();
    Record("Open", "/home/me/beach.jpg");
    const auto currentInView = [this] {
        const QRect current = Grid()->visualItemRect(Grid()->item(Grid()->rowCount() - 1, 0));
        return Grid()->viewport()->rect().contains(current);
    };
    EXPECT_TRUE(QTest::qWaitFor(currentInView, 1000));
    EXPECT_TRUE(currentInView()) << "the newest row is in view";

    // The columns end at the panel's right edge, at any width.
    for (int width : {260, 700}) {
        Panel.resize(width, Panel.height());
        const QHeaderView* columns = Grid()->horizontalHeader();
        const auto columnsEnd = [&] { return columns->sectionViewportPosition(1) + columns->sectionSize(1); };
        EXPECT_TRUE(QTest::qWaitFor([&] { return columnsEnd() == Grid()->viewport()->width(); }, 1000));
        EXPECT_EQ(columnsEnd(), Grid()->viewport()->width()) << width;
        EXPECT_FALSE(Grid()->horizontalScrollBar()->isVisible()) << width;
    }
}
