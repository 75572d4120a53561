#include "History.h"

#include "FileError.h"
#include "P2CFile.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <utility>

THistory::THistory(std::string folder)
    : folder_(std::move(folder)), operations_(std::size_t(capacity_)), comments_(std::size_t(capacity_))
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
}

std::string THistory::StateFile(int slot) const { return folder_ + "/~history" + std::to_string(slot) + ".p2c"; }

void THistory::RecordHistory(const std::string& operation, const std::string& comment, const TDocument& document)
{
    // One slot is never listed, so a single slot could never be restored.
    if (capacity_ <= 1)
        return;
    const int slot = Next(current_);
    std::string newOperation = operation;
    std::string newComment = comment;

    std::error_code error;
    std::filesystem::create_directories(folder_, error);
    if (error && !std::filesystem::is_directory(folder_))
        throw TFileError("Cannot create the history folder " + folder_ + ": " + error.message());
    // A state only needs to be whole, not to survive a power cut, so the
    // wait for the disk is skipped.
    WriteProjectFile(StateFile(slot), document, false);

    current_ = slot;
    operations_[std::size_t(slot)].swap(newOperation);
    comments_[std::size_t(slot)].swap(newComment);
    newest_ = current_;
    if (newest_ == oldest_)
        oldest_ = Next(oldest_);
}

bool THistory::CanUndo() const
{
    return capacity_ >= 1 && current_ != oldest_ && Previous(current_) != oldest_;
}

bool THistory::CanRedo() const { return current_ != oldest_ && current_ != newest_; }

bool THistory::Undo(TDocument& document)
{
    if (!CanUndo())
        return false;
    const int slot = Previous(current_);
    RestoreHistory(slot, document);
    current_ = slot;
    return true;
}

bool THistory::Redo(TDocument& document)
{
    if (capacity_ <= 0 || !CanRedo())
        return false;
    const int slot = Next(current_);
    RestoreHistory(slot, document);
    current_ = slot;
    return true;
}

bool THistory::SelectRow(int row, TDocument& document)
{
    if (row < 1 || row > RowCount())
        return false;
    const int slot = SlotOfRow(row);
    RestoreHistory(slot, document);
    current_ = slot;
    return true;
}

int THistory::RowCount() const
{
    return capacity_ <= 0 ? 0 : (newest_ - oldest_ + capacity_) % capacity_;
}

int THistory::CurrentRow() const
{
    return RowCount() == 0 ? 0 : (current_ - oldest_ + capacity_) % capacity_;
}

int THistory::SlotOfRow(int row) const { return capacity_ <= 0 ? 0 : (oldest_ + row) % capacity_; }

void THistory::RestoreHistory(int slot, TDocument& document) const
{
    const std::string file = StateFile(slot);
    if (ReadProjectFile(file, document) != 0)
        throw TFileError(file + " is not a history state of this program");
    document.SizeViewToLayers();
}
