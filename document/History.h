#pragma once

#include "Document.h"

#include <string>
#include <vector>

// The undo history: a ring of document states, each written as a project
// file "~history<slot>.p2c" in a folder of its own, with an operation text
// and a comment per slot. The listed states are the slots after Oldest() up
// to Newest() in ring order; Current() is the one the document shows. No
// state is kept in memory.
//
// Rows, as the history panel's grid numbers them (row 0 is its header): row 1
// is the oldest listed state, row RowCount() the newest.
class THistory {
public:
    // The range HistoryStates is held to. -1 gives capacity 0 and 0 gives
    // capacity 1, both of which keep no state; lower values count as -1. Each
    // state is a file of the whole document (about 108 MB for a 12-megapixel
    // photo), so a thousand states already take a disk's worth of space.
    static constexpr int MinHistoryStates = -1;
    static constexpr int MaxHistoryStates = 1000;
    static constexpr int InitialCapacity = 50;

    // `folder` is where the state files go; it is created on the first recording.
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
    std::string StateFile(int slot) const;
    const std::string& Operation(int slot) const { return operations_.at(std::size_t(slot)); }
    const std::string& Comment(int slot) const { return comments_.at(std::size_t(slot)); }

    // Writes the document as the state after the current one; later states
    // are dropped from the list and, when the ring is full, the oldest falls
    // out. If the state file cannot be written, throws TFileError and the
    // ring is exactly as it was (a redoable state's file is replaced only by
    // a complete new one). Does nothing while the capacity keeps no state.
    void RecordHistory(const std::string& operation, const std::string& comment, const TDocument& document);

    bool CanUndo() const;
    bool CanRedo() const;
    // Step one state back or forward and read it into the document; false
    // when there is no such state. If the state cannot be read, throws
    // TFileError and neither the document nor the current state changes.
    bool Undo(TDocument& document);
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
    int Next(int slot) const { return (slot + 1) % capacity_; }
    int Previous(int slot) const { return (slot + capacity_ - 1) % capacity_; }

    std::string folder_;
    int capacity_ = InitialCapacity;
    int current_ = 0;
    int oldest_ = 0;
    int newest_ = 0;
    std::vector<std::string> operations_;
    std::vector<std::string> comments_;
};
