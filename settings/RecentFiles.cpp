#include "settings/RecentFiles.h"

#include "picture/SafeFile.h"

#include <algorithm>
#include <fstream>

std::vector<std::string> ReadRecentFiles(const std::string& path)
{
    std::vector<std::string> files;
    std::ifstream in(path);
    std::string line;
    while (files.size() < MaxRecentFiles && std::getline(in, line))
        if (!line.empty() && std::find(files.begin(), files.end(), line) == files.end())
            files.push_back(line);
    return files;
}

bool WriteRecentFiles(const std::string& path, const std::vector<std::string>& files)
{
    std::string text;
    for (const std::string& file : files)
        // A name with a line break cannot be stored one a line.
        if (file.find('\n') == std::string::npos)
            text += file + "\n";
    try {
        WriteFileSafely(path, [&](std::ostream& out) { out << text; });
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

void AddRecentFile(std::vector<std::string>& files, const std::string& file)
{
    files.erase(std::remove(files.begin(), files.end(), file), files.end());
    files.insert(files.begin(), file);
    if (files.size() > MaxRecentFiles)
        files.resize(MaxRecentFiles);
}
