#include "settings/ProgramDir.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include <unistd.h>

namespace {

std::string& Override()
{
    static std::string dir;
    return dir;
}

std::string ExecutableDir()
{
    std::error_code error;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        return ".";
    return exe.parent_path().string();
}

std::string UserDataDir()
{
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg != nullptr && xdg[0] == '/')
        return std::string(xdg) + "/lumenquilla";
    const char* home = std::getenv("HOME");
    return std::string(home != nullptr ? home : ".") + "/.local/share/lumenquilla";
}

} // namespace

std::string ProgramDir()
{
    if (!Override().empty())
        return Override();
    static const std::string dir = ExecutableDir();
    return dir;
}

std::string ProgramFile(const std::string& name) { return ProgramDir() + "/" + name; }

void OverrideProgramDir(const std::string& dir)
{
    std::string trimmed = dir;
    while (trimmed.size() > 1 && trimmed.back() == '/')
        trimmed.pop_back();
    Override() = trimmed;
}

std::string UserDir()
{
    std::string dir = ProgramDir();
    if (::access(dir.c_str(), W_OK) == 0)
        return dir;
    std::string fallback = UserDataDir();
    std::error_code error;
    std::filesystem::create_directories(fallback, error);
    return fallback;
}

std::string UserFile(const std::string& name) { return UserDir() + "/" + name; }

std::string UserPresetsDir()
{
    std::string dir = ProgramDir();
    if (::access(dir.c_str(), W_OK) == 0)
        return dir;
    std::string presets = UserDataDir() + "/presets";
    std::error_code error;
    std::filesystem::create_directories(presets, error);
    return presets;
}

std::string UserPresetFile(const std::string& name) { return UserPresetsDir() + "/" + name; }
