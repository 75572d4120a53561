#include "document/StateStore.h"

#include "picture/FileError.h"

#include <algorithm>
#include <utility>

#include <unistd.h>

TStateStore::TStateStore(std::string base)
    : folder_(std::move(base))
{
}

TStateStore::~TStateStore()
{
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    changed_.notify_all();
    if (writer_.joinable())
        writer_.join();
}

std::string TStateStore::FileName(int slot) { return "~history" + std::to_string(slot) + ".state"; }

void TStateStore::Open()
{
    if (folder_.IsOpen())
        return;
    folder_.Open();
    if (!writer_.joinable())
        writer_ = std::thread([this] { Run(); });
}

int TStateStore::HeldExcept(int slot) const
{
    int count = 0;
    for (const auto& [heldSlot, held] : held_)
        count += heldSlot != slot;
    return count;
}

void TStateStore::Put(int slot, const TDocument& document)
{
    std::unique_lock lock(mutex_);
    // States whose writes failed get another try before anything else.
    for (auto& [heldSlot, held] : held_)
        if (std::exchange(held.Failed, false))
            jobs_.push_back({heldSlot, held.State});
    changed_.notify_all();
    // A write of this slot's previous state must not land after the new
    // state's file is set aside.
    changed_.wait(lock, [&] { return busySlot_ != slot && (HeldExcept(slot) < MaxHeld || (!busy_ && jobs_.empty())); });
    if (HeldExcept(slot) >= MaxHeld)
        throw TFileError(lastError_.empty() ? std::string("Cannot write the history") : lastError_);

    std::shared_ptr<THistoryState> state = std::move(spare_);
    lock.unlock();
    if (!state)
        state = std::make_shared<THistoryState>();
    state->Take(document);
    lock.lock();

    auto it = held_.find(slot);
    if (it != held_.end())
        Erase(it);
    // The slot's file holds a state no longer listed; out of the way, it
    // cannot be taken for this one should the program end before the write.
    // The writer removes it.
    const std::string aside = folder_.SetAside(FileName(slot));
    if (!aside.empty())
        asides_.emplace_back(aside, FileName(slot));
    held_[slot] = THeld{state, false};
    jobs_.push_back({slot, std::move(state)});
    changed_.notify_all();
}

void TStateStore::Get(int slot, TDocument& document) const
{
    // A file is read into the spare buffer, whose pages are in place already,
    // and the document's pictures then change places with it.
    std::shared_ptr<THistoryState> buffer;
    {
        std::lock_guard lock(mutex_);
        const auto it = held_.find(slot);
        if (it != held_.end()) {
            it->second.State->Give(document);
            return;
        }
        buffer = std::move(spare_);
    }
    auto giveBack = [&] {
        std::lock_guard lock(mutex_);
        if (!spare_)
            spare_ = std::move(buffer);
    };
    const std::string name = FileName(slot);
    int fd = -1;
    try {
        if (!buffer)
            buffer = std::make_shared<THistoryState>();
        fd = folder_.OpenForReading(name);
        ReadStateBands(folder_.Descriptor(), fd, *buffer, folder_.Path() + "/" + name);
    } catch (...) {
        if (fd >= 0)
            ::close(fd);
        giveBack();
        throw;
    }
    ::close(fd);
    buffer->SwapInto(document);
    giveBack();
}

void TStateStore::Drop(int slot)
{
    std::lock_guard lock(mutex_);
    const auto it = held_.find(slot);
    if (it != held_.end())
        Erase(it);
}

bool TStateStore::Held(int slot) const
{
    std::lock_guard lock(mutex_);
    return held_.count(slot) != 0;
}

void TStateStore::Flush()
{
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return !busy_ && jobs_.empty(); });
}

std::string TStateStore::TakeWriteError()
{
    std::lock_guard lock(mutex_);
    return std::exchange(error_, std::string());
}

bool TStateStore::WritesFailing() const
{
    std::lock_guard lock(mutex_);
    return !lastError_.empty();
}

void TStateStore::SetWriteFailedHandler(std::function<void()> handler)
{
    std::lock_guard lock(mutex_);
    onWriteFailed_ = std::move(handler);
}

void TStateStore::Release(const std::string& name)
{
    const auto state = stateBands_.find(name);
    if (state == stateBands_.end())
        return;
    for (const TBandKey& band : state->second) {
        const auto count = references_.find(band);
        if (count != references_.end() && --count->second == 0) {
            references_.erase(count);
            present_.erase(band);
            folder_.Remove(BandFileName(band));
        }
    }
    stateBands_.erase(state);
}

void TStateStore::KeepOnly(int slot, const std::vector<std::string>& alsoKeep)
{
    std::lock_guard lock(mutex_);
    const std::string keep = FileName(slot);
    for (const std::string& name : folder_.Files())
        if (name != keep && !IsBandFileName(name) &&
            std::find(alsoKeep.begin(), alsoKeep.end(), name) == alsoKeep.end()) {
            folder_.Remove(name);
            Release(name);
        }
}

void TStateStore::Recycle(std::shared_ptr<THistoryState>& state)
{
    // Kept only when nobody else holds it (every holder changes under the mutex).
    if (state && state.use_count() == 1 && !spare_)
        spare_ = std::move(state);
    state.reset();
}

std::map<int, TStateStore::THeld>::iterator TStateStore::Erase(std::map<int, THeld>::iterator it)
{
    std::shared_ptr<THistoryState> state = std::move(it->second.State);
    it = held_.erase(it);
    Recycle(state);
    return it;
}

void TStateStore::Run()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [&] { return stop_ || !jobs_.empty(); });
        if (jobs_.empty())
            return;
        std::vector<std::pair<std::string, std::string>> asides;
        asides.swap(asides_);
        if (!asides.empty()) {
            lock.unlock();
            for (const auto& [aside, was] : asides) {
                folder_.Remove(aside);
                Release(was);
            }
            lock.lock();
            if (jobs_.empty())
                continue;
        }
        TJob job = std::move(jobs_.front());
        jobs_.pop_front();
        auto it = held_.find(job.Slot);
        if (it == held_.end() || it->second.State != job.State) {
            // Replaced or dropped before its turn.
            Recycle(job.State);
            changed_.notify_all();
            continue;
        }
        busy_ = true;
        busySlot_ = job.Slot;
        lock.unlock();

        std::string problem;
        try {
            const std::string name = FileName(job.Slot);
            std::vector<TBandKey> written;
            try {
                const TFolderWriter writeFile = [this](const std::string& file, const std::function<void(int)>& write) {
                    folder_.WriteFile(file, write);
                };
                std::vector<TBandKey> bands =
                    WriteStateBands(writeFile, name, *job.State, present_, written, folder_.Path());
                Release(name);
                for (const TBandKey& band : bands)
                    ++references_[band];
                stateBands_[name] = std::move(bands);
            } catch (...) {
                // Bands of a state that was not written belong to no state.
                for (const TBandKey& band : written)
                    if (references_.count(band) == 0) {
                        present_.erase(band);
                        folder_.Remove(BandFileName(band));
                    }
                throw;
            }
        } catch (const std::bad_alloc&) {
            problem = "Cannot write the history: there is not enough memory";
        } catch (const std::exception& error) {
            problem = error.what();
        }

        lock.lock();
        busy_ = false;
        busySlot_ = -1;
        it = held_.find(job.Slot);
        std::function<void()> report;
        if (it != held_.end() && it->second.State == job.State) {
            if (problem.empty()) {
                Erase(it);
                lastError_.clear();
            } else {
                it->second.Failed = true;
                error_ = lastError_ = problem;
                report = onWriteFailed_;
            }
        }
        Recycle(job.State);
        changed_.notify_all();
        if (report) {
            lock.unlock();
            report();
            lock.lock();
        }
    }
}
