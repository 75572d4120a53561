#pragma once

#include <functional>
#include <string>
#include <vector>

// The folder of one running editor inside the history folder: made with a
// name no other run has, locked for as long as the run holds it (another
// editor's start sees the lock and leaves the folder alone), and written
// without ever following a symbolic link: files are created exclusively
// under a temporary name and then renamed into place, so a link planted at a
// name is replaced, never written through.
class THistoryFolder {
public:
    // Nothing is created until Open.
    explicit THistoryFolder(std::string base);
    ~THistoryFolder();
    THistoryFolder(const THistoryFolder&) = delete;
    THistoryFolder& operator=(const THistoryFolder&) = delete;

    const std::string& Base() const { return base_; }
    // The run's folder; empty until Open.
    const std::string& Path() const { return path_; }
    bool IsOpen() const { return dir_ >= 0; }
    // The open folder, for reading files beside one (-1 until Open).
    int Descriptor() const { return dir_; }

    // Creates the history folder if needed and a locked folder of this run
    // in it. Throws TFileError when either cannot be made.
    void Open();

    // Writes `name` in the run's folder through `write`, which gets the
    // descriptor of a new file; `name` is replaced only once that is complete.
    // Throws TFileError (or what `write` throws), leaving no temporary behind.
    void WriteFile(const std::string& name, const std::function<void(int fd)>& write) const;
    // Opens `name` for reading; a link or anything but a regular file is
    // refused. Throws TFileError. The caller closes the descriptor.
    int OpenForReading(const std::string& name) const;
    bool Exists(const std::string& name) const;
    void Remove(const std::string& name) const;
    // Moves `name` out of the way under a new temporary name, returned
    // (empty when there was nothing to move). Unlike removing a large file,
    // this costs the caller next to nothing.
    std::string SetAside(const std::string& name) const;
    // The names of the regular files in the run's folder.
    std::vector<std::string> Files() const;

    // Lets the folder go: the lock is released and the files stay.
    void Close();
    // Removes the run's folder with everything in it and lets it go.
    void RemoveAll();

    // The lock file of a run's folder.
    static constexpr const char* LockName = "lock";

private:
    std::string base_;
    std::string path_;
    std::string runName_;
    int dir_ = -1;
    int lock_ = -1;
};

// Removes a folder of the history folder and the files in it (links are
// removed, not followed). Quiet: what cannot be removed stays.
void RemoveRunFolder(int baseFd, const std::string& name);
// Opens a folder without following a link; -1 when that fails.
int OpenFolder(int atFd, const std::string& name);
// The names in an open folder, "." and ".." left out; empty when it cannot
// be read. The descriptor stays the caller's.
std::vector<std::string> FolderEntries(int dirFd);
