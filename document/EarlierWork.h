#pragma once

#include "document/Document.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Work left behind by earlier runs of the editor, found in the history
// folder at start: a run that crashed (no clean-exit mark, its lock free) or
// one that ended normally with its last state never saved to a file. Such a
// run's last picture is offered back once; everything else there is removed,
// so that the history folder never grows without bound. The picture of a
// crashed run is offered even when it was saved: the user did not choose to
// end that run.

// The note each run keeps of its current state, and the mark of a normal end.
inline constexpr const char* RunNoteName = "current";
inline constexpr const char* CleanExitName = "clean-exit";

struct TRunNote {
    int Slot = -1;
    // The state Slot was recorded after, whose file is complete whenever
    // Slot is noted (only one state is ever being written): what comes back
    // when the kill came before Slot's own file was; -1 for none.
    int Before = -1;
    std::int64_t Time = 0; // seconds since 1970
    bool Saved = false;
    std::string Picture;
};
std::string FormatRunNote(const TRunNote& note);
// False for text that is not a note (the note is then left as it was).
bool ParseRunNote(const std::string& text, TRunNote& note);

// What a start does with an earlier run's folder.
enum class TRunAction { Leave, Remove, OfferCrashed, OfferUnsaved };

struct TRunFacts {
    // Another editor holds the folder's lock: it is running.
    bool Locked = false;
    // No lock file yet and made moments ago: an editor is starting.
    bool Starting = false;
    bool CleanExit = false;
    // There is a state file to restore.
    bool HasState = false;
    // The note says the last state was saved to a file (or only opened).
    bool LastSaved = false;
};
TRunAction DecideRun(const TRunFacts& facts);

// An earlier run's folder kept locked while its work is offered.
class TEarlierRun {
public:
    ~TEarlierRun();
    TEarlierRun(const TEarlierRun&) = delete;
    TEarlierRun& operator=(const TEarlierRun&) = delete;

    TRunAction Action() const { return action_; }
    const TRunNote& Note() const { return note_; }
    const std::string& Path() const { return path_; }
    // The question the start asks, with the picture's name and time.
    std::string Question() const;

    // Reads the run's last state (or, if that cannot be read, its newest
    // state that can) into the document, sizing ViewBitmap to it. Throws
    // TFileError when none can be read; the document is then unchanged.
    void Restore(TDocument& document) const;
    // Removes the folder: the offer was taken or declined.
    void Discard();

    // Goes through the history folder `base`: folders of running editors
    // are left alone, those with nothing to offer are removed (and the state
    // files of the program's older versions with them), and the rest are
    // returned, newest first, locked by this process. `ownRun` is skipped.
    static std::vector<std::unique_ptr<TEarlierRun>> Scan(const std::string& base, const std::string& ownRun = "");

private:
    TEarlierRun() = default;
    std::string base_;
    std::string name_;
    std::string path_;
    TRunAction action_ = TRunAction::Remove;
    TRunNote note_;
    int lock_ = -1;
};
