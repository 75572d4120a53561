#pragma once

#include "document/Document.h"
#include "document/StateStore.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// The undo history: a ring of document states with an operation text and a
// comment per slot. The listed states are the slots after Oldest() up to
// Newest() in ring order; Current() is the one the document shows.
//
// Each running editor keeps its states in a folder of its own inside the
// history folder ("~history<slot>.state" and the bands they name, see
// StateStore.h and StateBands.h), locked while
// it runs. Beside the states the folder holds a note of the current state
// (its slot, time, picture and whether it was saved), which a later start
// reads when this run did not end normally; see EndRun and EarlierWork.h.
//
// Rows, as the history panel's grid numbers them (row 0 is its header): row 1
// is the oldest listed state, row RowCount() the newest.
class THistory {
public:
    // The range HistoryStates is held to. -1 gives capacity 0 and 0 gives
    // capacity 1, both of which keep no state; lower values count as -1. A
    // state costs the disk only the bands of rows it changed (StateBands.h):
    // the first holds the whole document (tens of MB for a 12-megapixel
    // photo), a brush stroke a few hundred KB.
    static constexpr int MinHistoryStates = -1;
    static constexpr int MaxHistoryStates = 1000;
    static constexpr int InitialCapacity = 50;

    // `folder` is the history folder; this run's folder is made in it on
    // the first recording.
    explicit THistory(std::string folder);

    // Capacity = HistoryStates + 1 slots, HistoryStates held to the range
    // above. A change of capacity empties the list (the slot numbers would
    // no longer mean the same states); the same capacity keeps it.
    void SetHistoryStates(int historyStates);

    int Capacity() const { return capacity_; }
    int Current() const { return current_; }
    int Oldest() const { return oldest_; }
    int Newest() const { return newest_; }
    const std::string& Folder() const { return folder_; }
    // This run's folder; empty until the first recording.
    const std::string& RunFolder() const { return store_.Folder().Path(); }
    std::string StateFile(int slot) const;
    // The picture a slot's state belongs to: the comment of the "Open" it
    // descends from.
    const std::string& Picture(int slot) const { return pictures_.at(std::size_t(slot)); }
    const std::string& Operation(int slot) const { return operations_.at(std::size_t(slot)); }
    const std::string& Comment(int slot) const { return comments_.at(std::size_t(slot)); }

    // Takes the document as the state after the current one; later states
    // are dropped from the list and, when the ring is full, the oldest falls
    // out. The state is listed at once and written by a background thread.
    // If this run's folder cannot be made, or earlier states could not be
    // written and hold all the memory allowed them, throws TFileError and the
    // ring is exactly as it was (a redoable state's file is replaced only by
    // a complete new one). Does nothing while the capacity keeps no state.
    // An "Open" state counts as saved: it is a file the user has.
    void RecordHistory(const std::string& operation, const std::string& comment, const TDocument& document);
    // Takes the document in place of the current state, with new texts: an
    // object edited again replaces its own step. The states after it are
    // dropped. Records a first state when none is listed; fails as
    // RecordHistory does, leaving the ring as it was.
    void ReplaceCurrent(const std::string& operation, const std::string& comment, const TDocument& document);
    // A number for the current state that no other state of this run has,
    // a replaced one included; 0 while nothing is listed.
    std::uint64_t CurrentSerial() const { return RowCount() > 0 ? serials_[std::size_t(current_)] : 0; }

    // A write that failed in the background: its message, once (empty when
    // none). The state stays listed and restorable from memory. The handler
    // is called from the writing thread when a write fails.
    std::string TakeWriteError() { return store_.TakeWriteError(); }
    // The latest write failed, and none has succeeded since.
    bool WritesFailing() const { return store_.WritesFailing(); }
    void SetWriteFailedHandler(std::function<void()> handler) { store_.SetWriteFailedHandler(std::move(handler)); }
    // Waits until every state is written (or has failed).
    void Flush() { store_.Flush(); }
    bool HeldInMemory(int slot) const { return store_.Held(slot); }

    // The current state was written to a file of the user's (or is no longer).
    void MarkCurrentSaved(bool saved = true);
    bool CurrentSaved() const { return RowCount() > 0 && saved_[std::size_t(current_)]; }
    // The normal end of the run: waits for the writes; when the current state
    // was never saved, keeps it (alone) with a clean-exit mark for the next
    // start to offer, otherwise removes this run's folder. The lock goes.
    void EndRun();

    bool CanUndo() const;
    bool CanRedo() const;
    // Step one state back or forward and read it into the document; false
    // when there is no such state. If the state cannot be read, throws
    // TFileError and neither the document nor the current state changes;
    // except that Undo passes over states that cannot be read (deleted or
    // damaged behind the program's back) to the nearest older one that can,
    // and says so in `notice`. It throws only when none can.
    bool Undo(TDocument& document, std::string* notice = nullptr);
    bool Redo(TDocument& document);
    // The user chose a row of the list: its state is read into the document.
    // Rows outside 1..RowCount() are ignored (false). Failure as for Undo.
    bool SelectRow(int row, TDocument& document);

    int RowCount() const;
    // The row of the current state; 0 while nothing is listed.
    int CurrentRow() const;
    int SlotOfRow(int row) const;
    // Rows after the current one are states that Redo would reach.
    bool RowRedoable(int row) const { return row > CurrentRow(); }

private:
    // Reads a slot's state into the document and sizes ViewBitmap to it; the
    // caller's view refresh rebuilds the visible part.
    void RestoreHistory(int slot, TDocument& document) const;
    // The note a later start reads; quiet, since it only helps a recovery.
    void WriteRunNote() const;
    int Next(int slot) const { return (slot + 1) % capacity_; }
    int Previous(int slot) const { return (slot + capacity_ - 1) % capacity_; }

    std::string folder_;
    TStateStore store_;
    int capacity_ = InitialCapacity;
    int current_ = 0;
    int oldest_ = 0;
    int newest_ = 0;
    std::vector<std::string> operations_;
    std::vector<std::string> comments_;
    std::vector<std::string> pictures_;
    std::vector<char> saved_;
    std::vector<std::uint64_t> serials_;
    std::uint64_t lastSerial_ = 0;
};
