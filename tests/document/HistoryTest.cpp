#include "History.h"

#include "FileError.h"
#include "P2CFile.h"
#include "ProgramDir.h"
#include "TestFolder.h"
#include "TestPictures.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

// The document as it stands after the n-th operation: its pixels and its
// opacity carry n.
TDocument StateNumber(int n, int side = 3)
{
    TDocument document;
    document.SketchLayer = PatternPicture(side, side, n);
    document.ColorLayer = PatternPicture(side, side, n + 100);
    document.SourceBitmap = PatternPicture(side, side, 7);
    document.LayerState.Opacity = 1 + n % 99;
    document.LayerState.ColorVisible = n % 2 == 0;
    return document;
}

void ExpectShows(const TDocument& document, int n, int side = 3)
{
    const TDocument expected = StateNumber(n, side);
    EXPECT_TRUE(document.SketchLayer == expected.SketchLayer) << "state " << n;
    EXPECT_TRUE(document.ColorLayer == expected.ColorLayer) << "state " << n;
    EXPECT_TRUE(document.SourceBitmap == expected.SourceBitmap) << "state " << n;
    EXPECT_EQ(document.LayerState, expected.LayerState) << "state " << n;
    EXPECT_EQ(document.ViewBitmap.Width(), side);
    EXPECT_EQ(document.ViewBitmap.Height(), side);
}

class History : public ::testing::Test {
protected:
    TTestFolder programDir;
    THistory history{ProgramFile(HistoryFolderName)};
    TDocument document;

    void SetUp() override { history.SetHistoryStates(50); }
    void Record(int n, const std::string& operation, const std::string& comment = "--", int side = 3)
    {
        document = StateNumber(n, side);
        history.RecordHistory(operation, comment, document);
    }
    // "Open" and three tool operations.
    void RecordFour(int side = 3)
    {
        Record(1, "Open", "/home/me/beach.jpg", side);
        Record(2, "Pencil", "--", side);
        Record(3, "Brush", "--", side);
        Record(4, "Text Balloon", "Type: Ellipse", side);
    }
    struct TRing {
        int current, oldest, newest, rows;
        friend bool operator==(const TRing&, const TRing&) = default;
    };
    TRing Ring() const { return {history.Current(), history.Oldest(), history.Newest(), history.RowCount()}; }
};

TEST_F(History, TheDefaultOptionsGiveFiftyOneEmptySlots)
{
    EXPECT_EQ(THistory(programDir.Path()).Capacity(), 50);
    EXPECT_EQ(history.Capacity(), 51);
    EXPECT_EQ(Ring(), (TRing{0, 0, 0, 0}));
    EXPECT_EQ(history.CurrentRow(), 0);
    EXPECT_FALSE(history.CanUndo());
    EXPECT_FALSE(history.CanRedo());
    EXPECT_FALSE(history.Undo(document));
    EXPECT_FALSE(history.Redo(document));
    EXPECT_FALSE(fs::exists(history.Folder())) << "the folder is made by the first recording";
}

TEST_F(History, OpenAndThreeOperationsListFourRows)
{
    Record(1, "Open", "/home/me/beach.jpg");
    EXPECT_FALSE(history.CanUndo()) << "one state alone cannot be undone";
    EXPECT_FALSE(history.CanRedo());
    Record(2, "Pencil");
    Record(3, "Brush");
    Record(4, "Text Balloon", "Type: Ellipse");

    EXPECT_EQ(Ring(), (TRing{4, 0, 4, 4}));
    EXPECT_EQ(history.CurrentRow(), 4);
    EXPECT_TRUE(history.CanUndo());
    EXPECT_FALSE(history.CanRedo());
    const char* operations[] = {"Open", "Pencil", "Brush", "Text Balloon"};
    for (int row = 1; row <= 4; ++row) {
        EXPECT_EQ(history.SlotOfRow(row), row);
        EXPECT_EQ(history.Operation(row), operations[row - 1]);
        EXPECT_FALSE(history.RowRedoable(row));
        EXPECT_EQ(history.StateFile(row), programDir.Path() + "/history/~history" + std::to_string(row) + ".p2c");
        TDocument stored;
        ASSERT_EQ(ReadProjectFile(history.StateFile(row), stored), 0);
        EXPECT_TRUE(stored.SketchLayer == StateNumber(row).SketchLayer);
        EXPECT_EQ(stored.LayerState, StateNumber(row).LayerState);
    }
    EXPECT_EQ(history.Comment(1), "/home/me/beach.jpg");
    EXPECT_EQ(history.Comment(4), "Type: Ellipse");
}

TEST_F(History, UndoStopsAtOpenAndRedoReturns)
{
    RecordFour();
    for (int n = 3; n >= 1; --n) {
        document.ViewBitmap = TBitmap();
        ASSERT_TRUE(history.Undo(document));
        EXPECT_EQ(history.Current(), n);
        ExpectShows(document, n);
    }
    EXPECT_FALSE(history.CanUndo());
    EXPECT_TRUE(history.CanRedo());
    EXPECT_TRUE(history.RowRedoable(2));
    EXPECT_FALSE(history.RowRedoable(1));

    document.LayerState.Opacity = 77; // a fourth Undo must not reload anything
    EXPECT_FALSE(history.Undo(document));
    EXPECT_EQ(history.Current(), 1);
    EXPECT_EQ(document.LayerState.Opacity, 77);

    for (int n = 2; n <= 4; ++n) {
        ASSERT_TRUE(history.Redo(document));
        ExpectShows(document, n);
    }
    EXPECT_FALSE(history.Redo(document));
    EXPECT_EQ(Ring(), (TRing{4, 0, 4, 4}));
}

TEST_F(History, RecordingAfterTwoUndoStepsDropsTheRedoableStates)
{
    RecordFour();
    ASSERT_TRUE(history.Undo(document));
    ASSERT_TRUE(history.Undo(document));
    Record(30, "Eraser");
    EXPECT_EQ(Ring(), (TRing{3, 0, 3, 3}));
    EXPECT_FALSE(history.CanRedo());
    EXPECT_FALSE(history.Redo(document));
    EXPECT_EQ(history.Operation(3), "Eraser");
    EXPECT_EQ(history.Comment(3), "--");

    ASSERT_TRUE(history.Undo(document));
    ASSERT_TRUE(history.Redo(document));
    ExpectShows(document, 30);
}

TEST_F(History, AFullRingLetsTheOldestFallOut)
{
    for (int n = 1; n <= 50; ++n)
        Record(n, "op " + std::to_string(n));
    EXPECT_EQ(Ring(), (TRing{50, 0, 50, 50}));

    Record(51, "op 51");
    EXPECT_EQ(Ring(), (TRing{0, 1, 0, 50})) << "the 51st state wraps to slot 0 and the first falls out";
    EXPECT_EQ(history.Operation(history.SlotOfRow(1)), "op 2");
    EXPECT_EQ(history.Operation(history.SlotOfRow(50)), "op 51");

    Record(52, "op 52");
    EXPECT_EQ(Ring(), (TRing{1, 2, 1, 50}));
    EXPECT_EQ(history.Operation(history.SlotOfRow(1)), "op 3");
    EXPECT_EQ(history.CurrentRow(), 50);

    int steps = 0;
    while (history.Undo(document))
        ++steps;
    EXPECT_EQ(steps, 49);
    ExpectShows(document, 3);
    EXPECT_EQ(history.CurrentRow(), 1);
}

TEST_F(History, ChoosingARowRestoresItsState)
{
    RecordFour();
    ASSERT_TRUE(history.SelectRow(1, document));
    ExpectShows(document, 1);
    EXPECT_FALSE(history.CanUndo()) << "the first row is the oldest state";
    EXPECT_TRUE(history.CanRedo());
    EXPECT_EQ(history.CurrentRow(), 1);

    ASSERT_TRUE(history.SelectRow(3, document));
    ExpectShows(document, 3);
    EXPECT_TRUE(history.CanUndo());
    EXPECT_TRUE(history.RowRedoable(4));
    EXPECT_FALSE(history.RowRedoable(3));

    for (int row : {0, 5, -1, 51}) {
        EXPECT_FALSE(history.SelectRow(row, document)) << "row " << row;
        EXPECT_EQ(history.Current(), 3);
    }
}

TEST_F(History, CapacityZeroOrOneRecordsNothing)
{
    for (int states : {-1, -7, 0}) {
        history.SetHistoryStates(states);
        EXPECT_EQ(history.Capacity(), states == 0 ? 1 : 0);
        Record(1, "Open");
        Record(2, "Pencil");
        EXPECT_EQ(Ring(), (TRing{0, 0, 0, 0})) << states;
        EXPECT_FALSE(history.CanUndo());
        EXPECT_FALSE(history.CanRedo());
        EXPECT_FALSE(history.Undo(document));
        EXPECT_FALSE(history.Redo(document));
        EXPECT_FALSE(history.SelectRow(1, document));
        EXPECT_TRUE(document.SketchLayer == StateNumber(2).SketchLayer);
    }
    EXPECT_FALSE(fs::exists(history.Folder()));

    history.SetHistoryStates(1'000'000'000);
    EXPECT_EQ(history.Capacity(), THistory::MaxHistoryStates + 1);
}

TEST_F(History, ANewCapacityEmptiesTheListAndTheSameKeepsIt)
{
    RecordFour();
    history.SetHistoryStates(50);
    EXPECT_EQ(Ring(), (TRing{4, 0, 4, 4}));
    history.SetHistoryStates(10);
    EXPECT_EQ(history.Capacity(), 11);
    EXPECT_EQ(Ring(), (TRing{0, 0, 0, 0}));
    EXPECT_EQ(history.Operation(1), "");
    Record(5, "Open");
    EXPECT_EQ(Ring(), (TRing{1, 0, 1, 1}));
}

TEST_F(History, AStateThatCannotBeWrittenLeavesTheRingAsItWas)
{
    // A plain file where the folder should be: not even root can create it.
    PutFileBytes(history.Folder(), "in the way");
    document = StateNumber(1);
    EXPECT_THROW(history.RecordHistory("Open", "a.jpg", document), TFileError);
    EXPECT_EQ(Ring(), (TRing{0, 0, 0, 0}));
    EXPECT_EQ(history.Operation(1), "");
    EXPECT_EQ(history.Comment(1), "");
    EXPECT_FALSE(history.CanUndo());

    fs::remove(history.Folder());
    Record(1, "Open", "a.jpg");
    EXPECT_EQ(Ring(), (TRing{1, 0, 1, 1}));
}

TEST_F(History, AFullDiskKeepsARedoableStateIntact)
{
    const int side = 60; // states of about 34 kB, far over the limit below
    RecordFour(side);
    ASSERT_TRUE(history.Undo(document));
    ASSERT_TRUE(history.Undo(document));
    {
        TFileSizeLimit diskFull(10000);
        document = StateNumber(40, side);
        EXPECT_THROW(history.RecordHistory("Eraser", "--", document), TFileError);
    }
    EXPECT_EQ(Ring(), (TRing{2, 0, 4, 4}));
    EXPECT_EQ(history.Operation(3), "Brush");
    EXPECT_TRUE(history.CanRedo());
    ASSERT_TRUE(history.Redo(document));
    ExpectShows(document, 3, side);
    EXPECT_EQ(std::distance(fs::directory_iterator(history.Folder()), {}), 4) << "no temporary stays";
}

TEST_F(History, AStateThatCannotBeReadMovesNothing)
{
    RecordFour();
    const TDocument shown = document;
    auto expectUnchanged = [&] {
        EXPECT_EQ(history.Current(), 4);
        EXPECT_TRUE(document.SketchLayer == shown.SketchLayer);
        EXPECT_TRUE(document.ColorLayer == shown.ColorLayer);
        EXPECT_EQ(document.LayerState, shown.LayerState);
        EXPECT_TRUE(history.CanUndo());
    };

    const std::string bytes = FileBytes(history.StateFile(3));
    fs::remove(history.StateFile(3));
    EXPECT_THROW(history.Undo(document), TFileError);
    expectUnchanged();

    PutFileBytes(history.StateFile(3), "not a state");
    EXPECT_THROW(history.Undo(document), TFileError) << "a file of something else is an error, not a silent no-op";
    expectUnchanged();

    PutFileBytes(history.StateFile(3), bytes.substr(0, bytes.size() - 5));
    EXPECT_THROW(history.SelectRow(3, document), TFileError);
    expectUnchanged();

    PutFileBytes(history.StateFile(3), bytes);
    ASSERT_TRUE(history.Undo(document));
    ExpectShows(document, 3);
}

TEST_F(History, TheOpenStateKeepsTheLayerSettingsTheOpenMade)
{
    document.LayerState = TLayerState{false, false, true, false, BlendOpacity, 20};
    document.InitialisePhoto(PatternPicture(4, 4, 1));
    history.RecordHistory("Open", "a.jpg", document);
    document.LayerState.SketchVisible = false;
    history.RecordHistory("Pencil", "--", document);

    ASSERT_TRUE(history.Undo(document));
    EXPECT_EQ(document.LayerState, (TLayerState{true, true, true, false, BlendMultiply, 20}));
    EXPECT_TRUE(document.SketchLayer == FilledPicture(4, 4, 255, 255, 255));
}

} // namespace
