#include "document/History.h"

#include "document/StateBands.h"
#include "picture/FileError.h"
#include "settings/ProgramDir.h"
#include "tests/document/TestFolder.h"
#include "tests/picture/PicturePrinter.h"
#include "tests/picture/TestPictures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// The document as it stands after the n-th operation: its pixels and its
// opacity carry n. The sketch layer is scrambled so that its states do not
// compress to nearly nothing.
TDocument StateNumber(int n, int side = 3)
{
    TDocument document;
    document.SketchLayer = PatternPicture(side, side, n);
    unsigned seed = unsigned(n);
    for (int y = 0; y < side; ++y)
        for (int i = 0; i < side * 3; ++i) {
            seed = seed * 1103515245u + 12345u;
            document.SketchLayer.ScanLine(y)[i] ^= std::uint8_t(seed >> 24);
        }
    document.ColorLayer = PatternPicture(side, side, n + 100);
    document.SourceBitmap = PatternPicture(side, side, 7);
    document.LayerState.Opacity = 1 + n % 99;
    document.LayerState.ColorVisible = n % 2 == 0;
    return document;
}

void ExpectShows(const TDocument& document, int n, int side = 3)
{
    const TDocument expected = StateNumber(n, side);
    EXPECT_SAME_PICTURE(document.SketchLayer, expected.SketchLayer) << "state " << n;
    EXPECT_SAME_PICTURE(document.ColorLayer, expected.ColorLayer) << "state " << n;
    EXPECT_SAME_PICTURE(document.SourceBitmap, expected.SourceBitmap) << "state " << n;
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
    static THistoryState ReadState(const std::string& path)
    {
        THistoryState state;
        const int dir = ::open(fs::path(path).parent_path().c_str(), O_RDONLY | O_DIRECTORY);
        const int fd = ::open(path.c_str(), O_RDONLY);
        EXPECT_GE(fd, 0) << path;
        if (fd >= 0) {
            ReadStateBands(dir, fd, state, path);
            ::close(fd);
        }
        ::close(dir);
        return state;
    }
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
    history.Flush();

    EXPECT_EQ(Ring(), (TRing{4, 0, 4, 4}));
    EXPECT_EQ(history.CurrentRow(), 4);
    EXPECT_TRUE(history.CanUndo());
    EXPECT_FALSE(history.CanRedo());
    const char* operations[] = {"Open", "Pencil", "Brush", "Text Balloon"};
    for (int row = 1; row <= 4; ++row) {
        EXPECT_EQ(history.SlotOfRow(row), row);
        EXPECT_EQ(history.Operation(row), operations[row - 1]);
        EXPECT_FALSE(history.RowRedoable(row));
        EXPECT_EQ(history.StateFile(row), history.RunFolder() + "/~history" + std::to_string(row) + ".state");
        const THistoryState stored = ReadState(history.StateFile(row));
        EXPECT_SAME_PICTURE(stored.Sketch, StateNumber(row).SketchLayer);
        EXPECT_EQ(stored.Layers, StateNumber(row).LayerState);
    }
    EXPECT_EQ(fs::path(history.RunFolder()).parent_path(), fs::path(programDir.Path() + "/history"));
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

TEST_F(History, ReplacingTheCurrentStateKeepsItsPlaceAndGivesItANewNumber)
{
    EXPECT_EQ(history.CurrentSerial(), 0u);
    history.ReplaceCurrent("Open", "/home/me/beach.jpg", StateNumber(1));
    EXPECT_EQ(Ring(), (TRing{1, 0, 1, 1})) << "with nothing listed it records";
    Record(2, "Pencil");
    Record(3, "Text Balloon", "Type: Ellipse");
    Record(4, "Brush");
    std::vector<std::uint64_t> numbers;
    for (int n = 4; n >= 1; --n) {
        numbers.push_back(history.CurrentSerial());
        if (n > 1) {
            ASSERT_TRUE(history.Undo(document));
        }
    }
    // Every state its own number, and the same one again after a redo.
    std::sort(numbers.begin(), numbers.end());
    EXPECT_EQ(std::unique(numbers.begin(), numbers.end()), numbers.end());
    const std::uint64_t first = history.CurrentSerial();
    ASSERT_TRUE(history.Redo(document));
    ASSERT_TRUE(history.Redo(document));
    ASSERT_TRUE(history.Undo(document));
    ASSERT_TRUE(history.Undo(document));
    EXPECT_EQ(history.CurrentSerial(), first);

    // Back at the balloon, which is edited: its state and texts are
    // replaced, the brush after it is gone.
    ASSERT_TRUE(history.Redo(document));
    ASSERT_TRUE(history.Redo(document));
    const std::uint64_t before = history.CurrentSerial();
    document = StateNumber(30);
    history.ReplaceCurrent("Text Balloon", "Type: Thought", document);
    history.Flush();
    EXPECT_EQ(Ring(), (TRing{3, 0, 3, 3}));
    EXPECT_NE(history.CurrentSerial(), before);
    EXPECT_EQ(history.Operation(3), "Text Balloon");
    EXPECT_EQ(history.Comment(3), "Type: Thought");
    EXPECT_EQ(history.Picture(3), "/home/me/beach.jpg");
    EXPECT_FALSE(history.CanRedo());
    EXPECT_TRUE(ReadState(history.StateFile(3)).Sketch == StateNumber(30).SketchLayer);

    // Undo reaches the state before the balloon; redo the edited balloon.
    ASSERT_TRUE(history.Undo(document));
    ExpectShows(document, 2);
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
        EXPECT_SAME_PICTURE(document.SketchLayer, StateNumber(2).SketchLayer);
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

// A write fails in the background: the state stays listed and restorable from
// memory, the failure is reported once, and no part of a state stands at its
// name. Only that one state waits in memory: the next recording fails and
// changes nothing until the disk has room again, so that a crash can never
// cost more than the state being written.
TEST_F(History, AFullDiskKeepsEveryListedStateRestorable)
{
    const int side = 60; // states of far more than the limit below
    RecordFour(side);
    history.Flush();
    ASSERT_TRUE(history.Undo(document));
    ASSERT_TRUE(history.Undo(document));
    {
        TFileSizeLimit diskFull(2000);
        Record(40, "Eraser", "--", side);
        EXPECT_EQ(Ring(), (TRing{3, 0, 3, 3})) << "listed at once";
        history.Flush();
        const std::string error = history.TakeWriteError();
        EXPECT_NE(error.find("Cannot write"), std::string::npos) << error;
        EXPECT_EQ(history.TakeWriteError(), "") << "reported once";
        EXPECT_FALSE(fs::exists(history.StateFile(3))) << "neither a part of the state nor the state it replaced";
        EXPECT_TRUE(history.HeldInMemory(3));

        ASSERT_TRUE(history.Undo(document));
        ExpectShows(document, 2, side);
        ASSERT_TRUE(history.Redo(document));
        ExpectShows(document, 40, side);

        EXPECT_THROW(Record(41, "Pencil", "--", side), TFileError);
        EXPECT_EQ(Ring(), (TRing{3, 0, 3, 3}));
        EXPECT_EQ(history.Operation(3), "Eraser");
        for (int state : {2, 1}) {
            ASSERT_TRUE(history.Undo(document));
            ExpectShows(document, state, side);
        }
        ASSERT_TRUE(history.Redo(document));
        ASSERT_TRUE(history.Redo(document));
        ExpectShows(document, 40, side);
    }
    Record(43, "Brush", "--", side);
    history.Flush();
    EXPECT_EQ(Ring(), (TRing{4, 0, 4, 4}));
    for (int slot = 3; slot <= 4; ++slot)
        EXPECT_FALSE(history.HeldInMemory(slot)) << "written once there is room: " << slot;
    EXPECT_SAME_PICTURE(ReadState(history.StateFile(3)).Sketch, StateNumber(40, side).SketchLayer);
    EXPECT_SAME_PICTURE(ReadState(history.StateFile(4)).Sketch, StateNumber(43, side).SketchLayer);
    for (const auto& entry : fs::directory_iterator(history.RunFolder()))
        EXPECT_NE(entry.path().filename().string().rfind(".tmp", 0), 0u) << "no temporary stays: " << entry.path();
}

// A state file deleted, damaged or replaced behind the program's back: Undo
// passes over it to the nearest older state that can be read and says so;
// Redo or a click on it reports it and moves nothing.
TEST_F(History, UndoPassesOverAStateThatCannotBeRead)
{
    using TDamage = std::function<void(const std::string& file, const std::string& other)>;
    const std::vector<std::pair<const char*, TDamage>> damages = {
        {"deleted", [](const std::string& file, const std::string&) { fs::remove(file); }},
        {"something else", [](const std::string& file, const std::string&) { PutFileBytes(file, "not a state"); }},
        {"truncated",
         [](const std::string& file, const std::string&) {
             const std::string bytes = FileBytes(file);
             PutFileBytes(file, bytes.substr(0, bytes.size() - 5));
         }},
        {"one byte changed",
         [](const std::string& file, const std::string&) {
             std::string bytes = FileBytes(file);
             bytes[bytes.size() / 2] ^= 0x10;
             PutFileBytes(file, bytes);
         }},
        {"a link to another state",
         [](const std::string& file, const std::string& other) {
             fs::remove(file);
             fs::create_symlink(other, file);
         }},
    };
    for (const auto& [what, damage] : damages) {
        SCOPED_TRACE(what);
        THistory ring(ProgramFile(HistoryFolderName));
        ring.SetHistoryStates(50);
        for (int n = 1; n <= 4; ++n) {
            document = StateNumber(n);
            ring.RecordHistory("op", "--", document);
        }
        ring.Flush();
        damage(ring.StateFile(3), ring.StateFile(4));

        std::string notice;
        ASSERT_TRUE(ring.Undo(document, &notice));
        EXPECT_EQ(ring.Current(), 2);
        ExpectShows(document, 2);
        EXPECT_NE(notice.find(ring.StateFile(3)), std::string::npos) << notice;

        EXPECT_THROW(ring.Redo(document), TFileError);
        EXPECT_THROW(ring.SelectRow(3, document), TFileError);
        EXPECT_EQ(ring.Current(), 2);
        ExpectShows(document, 2);
    }
}

TEST_F(History, UndoWithNoOlderStateThatCanBeReadMovesNothing)
{
    RecordFour();
    history.Flush();
    const TDocument shown = document;
    fs::remove(history.StateFile(3));
    PutFileBytes(history.StateFile(2), "not a state");
    PutFileBytes(history.StateFile(1), "");
    std::string notice;
    EXPECT_THROW(history.Undo(document, &notice), TFileError);
    EXPECT_EQ(history.Current(), 4);
    EXPECT_SAME_PICTURE(document.SketchLayer, shown.SketchLayer);
    EXPECT_EQ(document.LayerState, shown.LayerState);
    EXPECT_EQ(notice, "");
    EXPECT_TRUE(history.CanUndo());
}

// Two editors that run at once: each has its own locked folder and sees only
// its own states.
TEST_F(History, TwoRunsInOneHistoryFolderKeepTheirOwnStates)
{
    THistory other(ProgramFile(HistoryFolderName));
    other.SetHistoryStates(50);
    TDocument otherDocument;
    for (int n = 1; n <= 3; ++n) {
        Record(n, "op");
        otherDocument = StateNumber(100 + n);
        other.RecordHistory("op", "--", otherDocument);
    }
    history.Flush();
    other.Flush();
    EXPECT_NE(history.RunFolder(), other.RunFolder());
    for (int n = 2; n >= 1; --n) {
        ASSERT_TRUE(history.Undo(document));
        ExpectShows(document, n);
        ASSERT_TRUE(other.Undo(otherDocument));
        ExpectShows(otherDocument, 100 + n);
    }
    for (const THistory* run : {&history, &other}) {
        const int fd = ::open((run->RunFolder() + "/lock").c_str(), O_RDWR);
        ASSERT_GE(fd, 0);
        EXPECT_NE(::flock(fd, LOCK_EX | LOCK_NB), 0) << "the run holds its folder's lock";
        ::close(fd);
    }
}

// A link planted where a state is about to be written is replaced by the
// state, never written through.
TEST_F(History, ALinkAtAStateFileIsNotFollowed)
{
    Record(1, "Open");
    history.Flush();
    const std::string victim = programDir.File("precious.txt");
    PutFileBytes(victim, "keep me");
    for (int slot : {2, 3})
        fs::create_symlink(victim, history.StateFile(slot));
    Record(2, "Pencil");
    Record(3, "Brush");
    history.Flush();
    EXPECT_EQ(FileBytes(victim), "keep me");
    for (int slot : {2, 3}) {
        EXPECT_FALSE(fs::is_symlink(history.StateFile(slot))) << slot;
        EXPECT_SAME_PICTURE(ReadState(history.StateFile(slot)).Sketch, StateNumber(slot).SketchLayer) << slot;
    }
    ASSERT_TRUE(history.Undo(document));
    ExpectShows(document, 2);
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
    EXPECT_SAME_PICTURE(document.SketchLayer, FilledPicture(4, 4, 255, 255, 255));
}

} // namespace
