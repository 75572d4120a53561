#include "document/EarlierWork.h"

#include "document/History.h"
#include "document/HistoryFolder.h"
#include "document/StateBands.h"
#include "picture/FileError.h"
#include "settings/ProgramDir.h"
#include "tests/document/TestFolder.h"
#include "tests/picture/PicturePrinter.h"
#include "tests/picture/TestPictures.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <map>

namespace fs = std::filesystem;

namespace {

TEST(EarlierWork, WhatAStartDoesWithAnEarlierRun)
{
    struct TRow {
        TRunFacts facts;
        TRunAction action;
    };
    // Locked, Starting, CleanExit, HasState, LastSaved.
    const TRow rows[] = {
        {{true, false, false, true, false}, TRunAction::Leave}, // another editor runs
        {{true, false, true, true, false}, TRunAction::Leave},
        {{false, true, false, false, false}, TRunAction::Leave}, // an editor is making it
        {{false, false, false, true, false}, TRunAction::OfferCrashed},
        {{false, false, true, true, false}, TRunAction::OfferUnsaved},
        {{false, false, false, true, true}, TRunAction::OfferCrashed}, // crashed after saving
        {{false, false, true, true, true}, TRunAction::Remove},
        {{false, false, false, false, false}, TRunAction::Remove}, // nothing to restore
        {{false, false, true, false, false}, TRunAction::Remove},
    };
    for (const TRow& row : rows) {
        const TRunFacts& f = row.facts;
        EXPECT_EQ(DecideRun(f), row.action) << f.Locked << f.Starting << f.CleanExit << f.HasState << f.LastSaved;
    }
}

TEST(EarlierWork, TheRunNoteReadsBackAndNothingElseReadsAsOne)
{
    for (const std::string picture : {"", "/home/me/a b.jpg", "odd\nname.bmp"}) {
        const TRunNote note{12, 11, 1765000000, true, picture};
        TRunNote read;
        ASSERT_TRUE(ParseRunNote(FormatRunNote(note), read)) << picture;
        EXPECT_EQ(read.Slot, 12);
        EXPECT_EQ(read.Before, 11);
        EXPECT_EQ(read.Time, 1765000000);
        EXPECT_TRUE(read.Saved);
        EXPECT_EQ(read.Picture, picture);
    }
    // A note of an earlier version names no state before.
    TRunNote old;
    ASSERT_TRUE(ParseRunNote("slot 3\ntime 9\nsaved 0\npicture a.jpg\n", old));
    EXPECT_EQ(old.Slot, 3);
    EXPECT_EQ(old.Before, -1);
    EXPECT_EQ(old.Picture, "a.jpg");
    for (const std::string text :
         {"", "slot 1\n", "slot x\ntime 1\nsaved 0\npicture a\n", "slot 1\ntime 1\nsaved 2\npicture a\n",
          "slot -3\ntime 1\nsaved 0\npicture a\n", "slot 1\ntime 1\nsaved 0\npicture a",
          "slot 1\nbefore -2\ntime 1\nsaved 0\npicture a\n"}) {
        TRunNote read{5, 4, 6, true, "kept"};
        EXPECT_FALSE(ParseRunNote(text, read)) << text;
        EXPECT_EQ(read.Picture, "kept");
    }
}

// Runs of every kind left in one history folder, as a start finds them.
class EarlierRuns : public ::testing::Test {
protected:
    TTestFolder programDir;
    std::string base = ProgramFile(HistoryFolderName);

    TDocument StateNumber(int n)
    {
        TDocument document;
        document.SketchLayer = PatternPicture(5, 4, n);
        document.ColorLayer = PatternPicture(5, 4, n + 50);
        document.SourceBitmap = PatternPicture(6, 3, n + 90);
        document.LayerState.Opacity = n;
        return document;
    }
    // A run that records the given operations ("Open" takes `picture`).
    std::unique_ptr<THistory> Run(const std::string& picture, std::initializer_list<int> states)
    {
        auto history = std::make_unique<THistory>(base);
        history->SetHistoryStates(10);
        for (int n : states) {
            const TDocument document = StateNumber(n);
            history->RecordHistory(n % 10 == 1 ? "Open" : "Pencil", n % 10 == 1 ? picture : "--", document);
        }
        return history;
    }
    static std::string Name(const THistory& history) { return fs::path(history.RunFolder()).filename(); }
};

TEST_F(EarlierRuns, OnlyLostWorkIsOfferedAndTheRestIsCleanedAway)
{
    std::map<std::string, TRunAction> expected;

    { // Killed after two operations: no clean-exit mark, lock free.
        auto run = Run("/pics/beach.jpg", {1, 2, 3});
        run->Flush();
        expected[Name(*run)] = TRunAction::OfferCrashed;
    }
    { // Closed normally while showing an unsaved state (not the newest).
        auto run = Run("/pics/cat.jpg", {11, 12, 13});
        TDocument document;
        ASSERT_TRUE(run->Undo(document));
        run->EndRun();
        EXPECT_EQ(run->RunFolder().empty(), false);
        expected[Name(*run)] = TRunAction::OfferUnsaved;
    }
    std::vector<std::string> gone;
    { // Closed normally after saving.
        auto run = Run("/pics/saved.jpg", {21, 22});
        run->MarkCurrentSaved();
        const std::string folder = run->RunFolder();
        run->EndRun();
        EXPECT_FALSE(fs::exists(folder)) << "nothing to keep";
    }
    { // Closed normally with only the opened picture.
        auto run = Run("/pics/opened.jpg", {31});
        const std::string folder = run->RunFolder();
        run->EndRun();
        EXPECT_FALSE(fs::exists(folder)) << "nothing to keep";
    }
    { // Killed just after saving: the run is offered back all the same.
        auto run = Run("/pics/killed-saved.jpg", {41, 42});
        run->MarkCurrentSaved();
        run->Flush();
        expected[Name(*run)] = TRunAction::OfferCrashed;
    }
    { // Killed before its first state was written.
        THistoryFolder empty(base);
        empty.Open();
        gone.push_back(empty.Path());
    }
    for (const std::string& folder : gone)
        EXPECT_TRUE(fs::exists(folder)) << "not removed before the scan: " << folder;
    // Still running: left alone.
    auto running = Run("/pics/running.jpg", {51, 52});
    running->Flush();
    // What older versions of the program left, and what is not the history's.
    PutFileBytes(base + "/~history3.p2c", "old state");
    PutFileBytes(base + "/notes.txt", "mine");
    const std::string elsewhere = programDir.File("elsewhere");
    fs::create_directory(elsewhere);
    PutFileBytes(elsewhere + "/~history1.state", "not the history's");
    fs::create_directory_symlink(elsewhere, base + "/run-link");

    auto offers = TEarlierRun::Scan(base);
    ASSERT_EQ(offers.size(), 3u);
    for (const auto& offer : offers) {
        const std::string name = fs::path(offer->Path()).filename();
        ASSERT_TRUE(expected.count(name)) << name;
        EXPECT_EQ(offer->Action(), expected[name]);
        TDocument document;
        offer->Restore(document);
        const bool crashed = offer->Action() == TRunAction::OfferCrashed;
        const bool saved = offer->Note().Picture == "/pics/killed-saved.jpg";
        const TDocument state = StateNumber(saved ? 42 : crashed ? 3 : 12);
        EXPECT_SAME_PICTURE(document.SketchLayer, state.SketchLayer);
        EXPECT_SAME_PICTURE(document.ColorLayer, state.ColorLayer);
        EXPECT_SAME_PICTURE(document.SourceBitmap, state.SourceBitmap);
        EXPECT_EQ(document.LayerState, state.LayerState);
        EXPECT_EQ(document.ViewBitmap.Width(), 5);
        const std::string question = offer->Question();
        EXPECT_EQ(question.rfind(crashed ? "Lumenquilla was closed unexpectedly. Restore your last picture?"
                                         : "Continue with the picture you were working on?",
                                 0),
                  0u)
            << question;
        EXPECT_NE(question.find(saved     ? "/pics/killed-saved.jpg"
                                : crashed ? "/pics/beach.jpg"
                                          : "/pics/cat.jpg"),
                  std::string::npos)
            << question;
        if (!crashed) {
            int files = 0, bands = 0;
            for (const auto& entry : fs::directory_iterator(offer->Path()))
                ++(IsBandFileName(entry.path().filename().string()) ? bands : files);
            EXPECT_EQ(files, 4) << "the kept state alone, with the lock, the note and the mark";
            EXPECT_EQ(bands, 3) << "and the bands of its three pictures";
        }
    }
    for (const std::string& folder : gone)
        EXPECT_FALSE(fs::exists(folder)) << folder;
    EXPECT_TRUE(fs::exists(running->RunFolder()));
    EXPECT_FALSE(fs::exists(base + "/~history3.p2c"));
    EXPECT_TRUE(fs::exists(base + "/notes.txt"));
    EXPECT_TRUE(fs::exists(elsewhere + "/~history1.state"));

    // While offered, the folders stay locked: a second start meanwhile sees
    // nothing to offer and removes nothing.
    EXPECT_TRUE(TEarlierRun::Scan(base).empty());
    for (const auto& offer : offers)
        EXPECT_TRUE(fs::exists(offer->Path()));

    // Taken or declined, an offer is made once.
    const std::string first = offers[0]->Path();
    offers[0]->Discard();
    EXPECT_FALSE(fs::exists(first));
    offers.clear();
    ASSERT_EQ(TEarlierRun::Scan(base).size(), 2u) << "those not yet answered stay for the next start";
}

// Killed while the newest state was being written, after two undos: what
// comes back is the state it was recorded after, not the later state on disk
// that the user had undone and replaced.
TEST_F(EarlierRuns, AStateKilledBeforeItsFileGivesTheStateItFollowed)
{
    {
        auto run = Run("/pics/beach.jpg", {1, 2, 3});
        TDocument document;
        ASSERT_TRUE(run->Undo(document));
        ASSERT_TRUE(run->Undo(document));
        run->RecordHistory("Brush", "--", StateNumber(4));
        run->Flush();
        // Its file never came, and the undone state's file is the newest.
        fs::remove(run->StateFile(2));
        fs::last_write_time(run->StateFile(3), fs::file_time_type::clock::now() + std::chrono::hours(1));
    }
    auto offers = TEarlierRun::Scan(base);
    ASSERT_EQ(offers.size(), 1u);
    TDocument document;
    offers[0]->Restore(document);
    EXPECT_SAME_PICTURE(document.SketchLayer, StateNumber(1).SketchLayer);
}

TEST_F(EarlierRuns, ACrashedRunWhoseLastStateIsDamagedOffersItsNewestIntactOne)
{
    {
        auto run = Run("/pics/beach.jpg", {1, 2, 3});
        run->Flush();
        PutFileBytes(run->StateFile(3), "damaged");
    }
    auto offers = TEarlierRun::Scan(base);
    ASSERT_EQ(offers.size(), 1u);
    TDocument document;
    offers[0]->Restore(document);
    EXPECT_TRUE(document.SketchLayer == StateNumber(2).SketchLayer ||
                document.SketchLayer == StateNumber(1).SketchLayer);
    EXPECT_EQ(document.SketchLayer.Width(), 5);
}

} // namespace
