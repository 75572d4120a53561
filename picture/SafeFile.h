#pragma once

#include <functional>
#include <ostream>
#include <string>

// Writes a file so that a file already standing at that path is replaced only
// once the new content is complete and on disk: the content goes to a
// temporary file beside it, which is then renamed over the old one, and the
// folder is synced so that the rename itself survives a power cut. A full
// disk, a failed write or a crash therefore leaves the old file intact.
//
// A symbolic link is followed to the file it names, also when that file does
// not exist yet (it is then created there); the link stays. A character
// device (the null device, a terminal) is written into as it is, never
// replaced. A folder, a named pipe, a socket or a block device is refused.
//
// The temporary file is named ".NAME.lumenquilla-PID-XXXXXX", so that one left
// by a killed run says whose it is; the next write to NAME removes those whose
// program no longer runs.
//
// Errors throw TFileError with a readable message naming `path`.
//
// With `durable` false the waits for the disk (fsync) are skipped: the old
// file is still replaced only by a complete new one, but a power cut soon
// after may lose both. Only for scratch files that the program can do without.
void WriteFileSafely(const std::string& path, const std::function<void(std::ostream&)>& write, bool durable = true);

// A killed program leaves the temporary file of a write it had begun, beside
// a file of the user's, where nothing of the program looks again until the
// next write to that file. While a journal folder is set, each write notes
// its target there for as long as it lasts, so that the next run can remove
// what a killed one left, wherever it was writing. Empty: no notes (the
// default).
void SetWriteJournal(const std::string& folder);
// Removes the temporary files left by writes noted in `folder` by programs
// that no longer run, and their notes. Quiet: what cannot go stays.
void RemoveLeftoverWrites(const std::string& folder);

// The same in two steps, so that several files can be written completely
// before any of them replaces its old file: Write fills the temporary file,
// Commit renames it into place. A staged file never committed is removed.
class TStagedFile {
public:
    // Resolves the target and checks what stands there; throws TFileError.
    explicit TStagedFile(const std::string& path, bool durable = true);
    ~TStagedFile();
    TStagedFile(const TStagedFile&) = delete;
    TStagedFile& operator=(const TStagedFile&) = delete;

    // Writes the whole content; an exception from `write` leaves nothing.
    void Write(const std::function<void(std::ostream&)>& write);
    // Puts the written content in place. Throws TFileError.
    void Commit();
    // Removes the temporary file without touching the target.
    void Discard() noexcept;

    // The file that is written in the end (a symbolic link followed).
    const std::string& Target() const { return target_; }

private:
    std::string path_; // as the caller named it, for messages
    std::string target_; // after following symbolic links
    std::string temp_; // empty when nothing is pending
    std::string note_; // this write's note in the journal, while it lasts
    bool device_ = false; // a character device: written in place
    bool written_ = false;
    bool durable_;
};

// The file a path finally names: symbolic links are followed one by one, also
// a dangling one whose target does not exist yet; a relative link is taken
// from its own folder. Throws TFileError for a loop of links.
std::string FollowLinks(const std::string& path);
