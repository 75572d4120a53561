#pragma once

#include <string>
#include <vector>

// The files the editor opened last, newest first, kept in "recent.txt"
// beside the options: one UTF-8 path a line.
inline constexpr const char* RecentFilesName = "recent.txt";
inline constexpr std::size_t MaxRecentFiles = 8;

// At most MaxRecentFiles non-empty lines; nothing without a readable file.
std::vector<std::string> ReadRecentFiles(const std::string& path);
// False, without an exception, when the file cannot be written.
bool WriteRecentFiles(const std::string& path, const std::vector<std::string>& files);
// `file` moved to the front (once), the list cut to MaxRecentFiles.
void AddRecentFile(std::vector<std::string>& files, const std::string& file);
