#pragma once

#include "document/HistoryFolder.h"
#include "document/StateBands.h"
#include "document/StateFile.h"

#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

// Where the history's states live: a state is copied into a buffer at once
// and written to its file by one background thread, so that recording costs
// the caller a copy, not a write. The file is an index of bands that the
// states share (StateBands.h): a band goes when no state file names it any
// more. Until its file is complete the state is
// restored from memory. A state whose file could not be written stays in
// memory, listed and restorable; the failure is reported through
// TakeWriteError (and the handler, from the writing thread), and the write
// is tried again with the next state. At most MaxHeld states are kept in
// memory: a Put beyond that waits for the writer, and when the writer cannot
// make room because writes keep failing, Put throws and changes nothing.
// One: whenever a state is put, the one before it is on disk, so that a
// crash loses at most the state being written.
class TStateStore {
public:
    static constexpr int MaxHeld = 1;

    explicit TStateStore(std::string base);
    // Waits for the writes still pending.
    ~TStateStore();
    TStateStore(const TStateStore&) = delete;
    TStateStore& operator=(const TStateStore&) = delete;

    THistoryFolder& Folder() { return folder_; }
    const THistoryFolder& Folder() const { return folder_; }
    static std::string FileName(int slot);

    // Makes and locks the run's folder (once). Throws TFileError.
    void Open();
    // The document becomes the state of `slot`. Throws TFileError (see
    // above) or std::bad_alloc; nothing has changed then.
    void Put(int slot, const TDocument& document);
    // Reads the state of `slot` into the document; from memory while it is
    // held there. Throws TFileError or std::bad_alloc; the document is then
    // unchanged.
    void Get(int slot, TDocument& document) const;
    // The slot's state is no longer wanted: memory is released and a write
    // not yet begun is skipped.
    void Drop(int slot);
    template <class Listed>
    void DropUnless(Listed&& listed)
    {
        std::lock_guard lock(mutex_);
        for (auto it = held_.begin(); it != held_.end();)
            it = listed(it->first) ? std::next(it) : Erase(it);
    }
    bool Held(int slot) const;
    // Waits until every state that can be written is.
    void Flush();
    // Removes every state file but the one of `slot`, and every band it does
    // not name; the files named in `alsoKeep` stay. For the end of a run
    // that keeps one state: Flush first.
    void KeepOnly(int slot, const std::vector<std::string>& alsoKeep);

    // The message of the latest failed write, once; empty when none.
    std::string TakeWriteError();
    // The latest write failed: no state has been written since.
    bool WritesFailing() const;
    // Called from the writing thread after a write failed.
    void SetWriteFailedHandler(std::function<void()> handler);

private:
    struct THeld {
        std::shared_ptr<THistoryState> State;
        bool Failed = false;
    };
    struct TJob {
        int Slot;
        std::shared_ptr<THistoryState> State;
    };
    void Run();
    // The state file `name` is gone: the bands no other state file names go
    // too. The writer's (or KeepOnly's, with the writer idle).
    void Release(const std::string& name);
    void Recycle(std::shared_ptr<THistoryState>& state);
    std::map<int, THeld>::iterator Erase(std::map<int, THeld>::iterator it);
    int HeldExcept(int slot) const;

    THistoryFolder folder_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::map<int, THeld> held_;
    std::deque<TJob> jobs_;
    // Files of dropped states set aside by Put, for the writer to remove,
    // with the names they had.
    std::vector<std::pair<std::string, std::string>> asides_;
    // The bands in the folder, how many state files name each, and the
    // bands of each state file written.
    std::set<TBandKey> present_;
    std::map<TBandKey, int> references_;
    std::map<std::string, std::vector<TBandKey>> stateBands_;
    // One spare buffer, so that a steady run of states allocates nothing.
    // Restores use it too, and leave the document's old pictures in it.
    mutable std::shared_ptr<THistoryState> spare_;
    bool busy_ = false;
    // The slot the writer writes while busy; -1 when none.
    int busySlot_ = -1;
    bool stop_ = false;
    std::string error_;
    std::string lastError_;
    std::function<void()> onWriteFailed_;
    std::thread writer_;
};
