#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

// A fresh temporary folder for the files a benchmark writes, removed with
// everything in it at the end.
class TScratchFolder {
public:
    TScratchFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "lq-bench-XXXXXX").string();
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back('\0');
        path_ = ::mkdtemp(name.data()) ? name.data() : "lq-bench";
    }
    ~TScratchFolder() { std::filesystem::remove_all(path_); }
    TScratchFolder(const TScratchFolder&) = delete;
    TScratchFolder& operator=(const TScratchFolder&) = delete;
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

// The bytes of the regular files in a folder: a history run folder's states
// and the bands they share.
inline double FolderBytes(const std::string& folder)
{
    double bytes = 0;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error))
        if (entry.is_regular_file(error))
            bytes += double(entry.file_size(error));
    return bytes;
}
