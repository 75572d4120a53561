#include "document/EarlierWork.h"

#include "document/HistoryFolder.h"
#include "document/StateBands.h"
#include "picture/FileError.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <utility>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A folder without a lock file younger than this belongs to an editor that
// is still making it.
constexpr std::time_t StartingSeconds = 60;

bool StartsWith(const std::string& text, const std::string& start) { return text.rfind(start, 0) == 0; }
bool EndsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

bool AllDigits(const std::string& text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// "~history<slot>.state" of this version; "~history<slot>.p2c" of older
// versions, which wrote them straight into the history folder.
bool IsStateName(const std::string& name, const std::string& suffix)
{
    return StartsWith(name, "~history") && EndsWith(name, suffix) &&
           AllDigits(name.substr(8, name.size() - 8 - suffix.size()));
}

bool RegularAt(int dirFd, const std::string& name, struct stat* info = nullptr)
{
    struct stat local {};
    struct stat* s = info ? info : &local;
    return ::fstatat(dirFd, name.c_str(), s, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(s->st_mode);
}

std::string SmallFile(int dirFd, const std::string& name)
{
    const int fd = ::openat(dirFd, name.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return {};
    std::string text(4096, '\0');
    const ssize_t got = ::read(fd, text.data(), text.size());
    ::close(fd);
    text.resize(got > 0 ? std::size_t(got) : 0);
    return text;
}

std::string StateName(int slot) { return slot >= 0 ? "~history" + std::to_string(slot) + ".state" : ""; }

// The state files of a run: the one the note names, then the one it was
// recorded after, then the rest newest first (a last resort: a later state
// may be one the user had undone and replaced).
std::vector<std::string> StateFilesByAge(int dirFd, const TRunNote& note)
{
    std::vector<std::pair<std::int64_t, std::string>> found;
    for (const std::string& name : FolderEntries(dirFd)) {
        struct stat info {};
        if (IsStateName(name, ".state") && RegularAt(dirFd, name, &info))
            found.emplace_back(std::int64_t(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec, name);
    }
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    std::vector<std::string> names;
    for (const std::string& noted : {StateName(note.Slot), StateName(note.Before)})
        for (const auto& entry : found)
            if (entry.second == noted && std::find(names.begin(), names.end(), noted) == names.end())
                names.push_back(noted);
    for (const auto& entry : found)
        if (std::find(names.begin(), names.end(), entry.second) == names.end())
            names.push_back(entry.second);
    return names;
}

} // namespace

std::string FormatRunNote(const TRunNote& note)
{
    return "slot " + std::to_string(note.Slot) + "\nbefore " + std::to_string(note.Before) + "\ntime " +
           std::to_string(note.Time) + "\nsaved " + (note.Saved ? "1" : "0") + "\npicture " + note.Picture + "\n";
}

bool ParseRunNote(const std::string& text, TRunNote& note)
{
    TRunNote parsed;
    long long slot = 0, before = -1, time = 0;
    int saved = 0, used = 0;
    // Notes of earlier versions have no "before" line.
    const bool withBefore = std::sscanf(text.c_str(), "slot %lld\nbefore %lld\ntime %lld\nsaved %d\npicture %n", &slot,
                                        &before, &time, &saved, &used) == 4;
    if (!withBefore &&
        std::sscanf(text.c_str(), "slot %lld\ntime %lld\nsaved %d\npicture %n", &slot, &time, &saved, &used) != 3)
        return false;
    if (used == 0 || slot < 0 || slot > 100000 || before < -1 || before > 100000 || (saved != 0 && saved != 1) ||
        text.back() != '\n')
        return false;
    parsed.Slot = int(slot);
    parsed.Before = int(before);
    parsed.Time = time;
    parsed.Saved = saved == 1;
    parsed.Picture = text.substr(std::size_t(used), text.size() - std::size_t(used) - 1);
    note = std::move(parsed);
    return true;
}

TRunAction DecideRun(const TRunFacts& facts)
{
    if (facts.Locked || facts.Starting)
        return TRunAction::Leave;
    if (!facts.HasState)
        return TRunAction::Remove;
    // A crash ends work the user did not choose to end: its picture is
    // offered back even when it was saved or only opened. A normal end keeps
    // a state only when it was never saved.
    if (!facts.CleanExit)
        return TRunAction::OfferCrashed;
    return facts.LastSaved ? TRunAction::Remove : TRunAction::OfferUnsaved;
}

TEarlierRun::~TEarlierRun()
{
    if (lock_ >= 0)
        ::close(lock_);
}

std::string TEarlierRun::Question() const
{
    std::string text = action_ == TRunAction::OfferCrashed
                           ? "Lumenquilla was closed unexpectedly. Restore your last picture?"
                           : "Continue with the picture you were working on?";
    text += "\n\n";
    text += note_.Picture.empty() ? std::string("(a picture without a name)") : note_.Picture;
    if (note_.Time > 0) {
        const std::time_t time = std::time_t(note_.Time);
        std::tm local{};
        char when[64];
        if (::localtime_r(&time, &local) && std::strftime(when, sizeof when, "%Y-%m-%d %H:%M", &local) > 0)
            text += std::string("\n") + when;
    }
    return text;
}

void TEarlierRun::Restore(TDocument& document) const
{
    const int baseFd = ::open(base_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const int dir = baseFd < 0 ? -1 : OpenFolder(baseFd, name_);
    if (baseFd >= 0)
        ::close(baseFd);
    if (dir < 0)
        throw TFileError("Cannot open " + path_ + ": " + std::strerror(errno));
    std::string problem = path_ + " holds no picture";
    for (const std::string& name : StateFilesByAge(dir, note_)) {
        const std::string shown = path_ + "/" + name;
        const int fd = ::openat(dir, name.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
        if (fd < 0)
            continue;
        THistoryState state;
        try {
            ReadStateBands(dir, fd, state, shown);
        } catch (const TFileError& error) {
            ::close(fd);
            problem = error.what();
            continue;
        } catch (...) {
            ::close(fd);
            ::close(dir);
            throw;
        }
        ::close(fd);
        ::close(dir);
        state.SwapInto(document);
        return;
    }
    ::close(dir);
    throw TFileError(problem);
}

void TEarlierRun::Discard()
{
    const int baseFd = ::open(base_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (baseFd >= 0) {
        RemoveRunFolder(baseFd, name_);
        ::close(baseFd);
    }
    if (lock_ >= 0)
        ::close(lock_);
    lock_ = -1;
}

std::vector<std::unique_ptr<TEarlierRun>> TEarlierRun::Scan(const std::string& base, const std::string& ownRun)
{
    std::vector<std::unique_ptr<TEarlierRun>> offers;
    const int baseFd = ::open(base.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (baseFd < 0)
        return offers;
    const std::string own = ownRun.substr(ownRun.rfind('/') + 1);
    for (const std::string& name : FolderEntries(baseFd)) {
        if (IsStateName(name, ".p2c")) {
            if (RegularAt(baseFd, name))
                ::unlinkat(baseFd, name.c_str(), 0);
            continue;
        }
        if (!StartsWith(name, "run-") || name == own)
            continue;
        const int dir = OpenFolder(baseFd, name);
        if (dir < 0)
            continue;

        TRunFacts facts;
        const int lock = ::openat(dir, THistoryFolder::LockName, O_RDWR | O_NOFOLLOW | O_CLOEXEC);
        if (lock < 0) {
            struct stat info {};
            facts.Starting =
                errno == ENOENT && ::fstat(dir, &info) == 0 && std::time(nullptr) - info.st_mtime < StartingSeconds;
        } else {
            facts.Locked = ::flock(lock, LOCK_EX | LOCK_NB) != 0;
        }
        TRunNote note;
        const bool noted = ParseRunNote(SmallFile(dir, RunNoteName), note);
        facts.CleanExit = RegularAt(dir, CleanExitName);
        const std::vector<std::string> states = StateFilesByAge(dir, note);
        facts.HasState = !states.empty();
        facts.LastSaved = noted && note.Saved;
        if (!noted && !states.empty()) {
            struct stat info {};
            if (RegularAt(dir, states.front(), &info))
                note.Time = info.st_mtime;
        }
        ::close(dir);

        const TRunAction action = DecideRun(facts);
        if (action == TRunAction::Remove)
            RemoveRunFolder(baseFd, name);
        if (action == TRunAction::Leave || action == TRunAction::Remove) {
            if (lock >= 0)
                ::close(lock);
            continue;
        }
        std::unique_ptr<TEarlierRun> run(new TEarlierRun);
        run->base_ = base;
        run->name_ = name;
        run->path_ = base + "/" + name;
        run->action_ = action;
        run->note_ = std::move(note);
        run->lock_ = lock;
        offers.push_back(std::move(run));
    }
    ::close(baseFd);
    std::stable_sort(offers.begin(), offers.end(),
                     [](const auto& a, const auto& b) { return a->Note().Time > b->Note().Time; });
    return offers;
}
