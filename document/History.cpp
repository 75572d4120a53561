#include "document/History.h"

#include "document/EarlierWork.h"
#include "picture/FileError.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

#include <unistd.h>

THistory::THistory(std::string folder)
    : folder_(folder)
    , store_(std::move(folder))
    , operations_(std::size_t(capacity_))
    , comments_(std::size_t(capacity_))
    , pictures_(std::size_t(capacity_))
    , saved_(std::size_t(capacity_))
    , serials_(std::size_t(capacity_))
{
}

void THistory::SetHistoryStates(int historyStates)
{
    const int capacity = std::clamp(historyStates, MinHistoryStates, MaxHistoryStates) + 1;
    if (capacity == capacity_)
        return;
    capacity_ = capacity;
    current_ = oldest_ = newest_ = 0;
    operations_.assign(std::size_t(capacity), std::string());
    comments_.assign(std::size_t(capacity), std::string());
    pictures_.assign(std::size_t(capacity), std::string());
    saved_.assign(std::size_t(capacity), 0);
    serials_.assign(std::size_t(capacity), 0);
    store_.DropUnless([](int) { return false; });
}

std::string THistory::StateFile(int slot) const
{
    const std::string& run = store_.Folder().Path();
    return (run.empty() ? folder_ : run) + "/" + TStateStore::FileName(slot);
}

void THistory::RecordHistory(const std::string& operation, const std::string& comment, const TDocument& document)
{
    // One slot is never listed, so a single slot could never be restored.
    if (capacity_ <= 1)
        return;
    const int slot = Next(current_);
    std::string newOperation = operation;
    std::string newComment = comment;
    std::string newPicture = operation == "Open" ? comment : (RowCount() > 0 ? pictures_[std::size_t(current_)] : "");

    store_.Open();
    store_.Put(slot, document);

    current_ = slot;
    operations_[std::size_t(slot)].swap(newOperation);
    comments_[std::size_t(slot)].swap(newComment);
    pictures_[std::size_t(slot)].swap(newPicture);
    saved_[std::size_t(slot)] = operation == "Open";
    serials_[std::size_t(slot)] = ++lastSerial_;
    newest_ = current_;
    if (newest_ == oldest_)
        oldest_ = Next(oldest_);
    // States no longer listed need no memory and no file.
    store_.DropUnless([this](int s) { return s != oldest_ && (s - oldest_ + capacity_) % capacity_ <= RowCount(); });
    WriteRunNote();
}

void THistory::ReplaceCurrent(const std::string& operation, const std::string& comment, const TDocument& document)
{
    if (RowCount() == 0) {
        RecordHistory(operation, comment, document);
        return;
    }
    const std::size_t slot = std::size_t(current_);
    std::string newOperation = operation;
    std::string newComment = comment;
    std::string newPicture = operation == "Open" ? comment : pictures_[slot];
    store_.Open();
    store_.Put(current_, document);
    operations_[slot].swap(newOperation);
    comments_[slot].swap(newComment);
    pictures_[slot].swap(newPicture);
    saved_[slot] = operation == "Open";
    serials_[slot] = ++lastSerial_;
    newest_ = current_;
    store_.DropUnless([this](int s) { return s != oldest_ && (s - oldest_ + capacity_) % capacity_ <= RowCount(); });
    WriteRunNote();
}

bool THistory::CanUndo() const { return capacity_ >= 1 && current_ != oldest_ && Previous(current_) != oldest_; }

bool THistory::CanRedo() const { return current_ != oldest_ && current_ != newest_; }

bool THistory::Undo(TDocument& document, std::string* notice)
{
    if (!CanUndo())
        return false;
    int slot = Previous(current_);
    std::string firstProblem;
    int skipped = 0;
    for (;;) {
        try {
            RestoreHistory(slot, document);
            break;
        } catch (const TFileError& error) {
            if (firstProblem.empty())
                firstProblem = error.what();
            if (Previous(slot) == oldest_)
                throw TFileError(firstProblem);
            slot = Previous(slot);
            ++skipped;
        }
    }
    current_ = slot;
    WriteRunNote();
    if (skipped > 0 && notice)
        *notice = firstProblem + "\nUndo went back " + std::to_string(skipped + 1) +
                  " steps instead, to the nearest state that could be read.";
    return true;
}

bool THistory::Redo(TDocument& document)
{
    if (capacity_ <= 0 || !CanRedo())
        return false;
    const int slot = Next(current_);
    RestoreHistory(slot, document);
    current_ = slot;
    WriteRunNote();
    return true;
}

bool THistory::SelectRow(int row, TDocument& document)
{
    if (row < 1 || row > RowCount())
        return false;
    const int slot = SlotOfRow(row);
    RestoreHistory(slot, document);
    current_ = slot;
    WriteRunNote();
    return true;
}

int THistory::RowCount() const { return capacity_ <= 0 ? 0 : (newest_ - oldest_ + capacity_) % capacity_; }

int THistory::CurrentRow() const { return RowCount() == 0 ? 0 : (current_ - oldest_ + capacity_) % capacity_; }

int THistory::SlotOfRow(int row) const { return capacity_ <= 0 ? 0 : (oldest_ + row) % capacity_; }

void THistory::RestoreHistory(int slot, TDocument& document) const { store_.Get(slot, document); }

void THistory::MarkCurrentSaved(bool saved)
{
    if (RowCount() == 0)
        return;
    saved_[std::size_t(current_)] = saved;
    WriteRunNote();
}

void THistory::WriteRunNote() const
{
    if (!store_.Folder().IsOpen() || RowCount() == 0)
        return;
    TRunNote note;
    note.Slot = current_;
    // The state the current one was recorded after is the slot before it,
    // while that is listed.
    if (CurrentRow() > 1)
        note.Before = Previous(current_);
    note.Time = std::int64_t(std::time(nullptr));
    note.Saved = saved_[std::size_t(current_)] != 0;
    note.Picture = pictures_[std::size_t(current_)];
    const std::string text = FormatRunNote(note);
    try {
        store_.Folder().WriteFile(RunNoteName, [&](int fd) {
            if (::write(fd, text.data(), text.size()) != ssize_t(text.size()))
                throw TFileError(std::strerror(errno));
        });
    } catch (const TFileError&) {
        // Without the note a later start falls back on the newest state file.
    }
}

void THistory::EndRun()
{
    THistoryFolder& folder = store_.Folder();
    if (!folder.IsOpen())
        return;
    store_.Flush();
    if (RowCount() == 0 || CurrentSaved()) {
        folder.RemoveAll();
        return;
    }
    if (store_.Held(current_)) {
        // Its file could not be written: leave everything for the next
        // start to offer, as after a crash.
        folder.Close();
        return;
    }
    store_.KeepOnly(current_, {RunNoteName, THistoryFolder::LockName});
    WriteRunNote();
    try {
        folder.WriteFile(CleanExitName, [](int) {});
    } catch (const TFileError&) {
        // Then the next start takes it for a crash, and offers it all the same.
    }
    folder.Close();
}
