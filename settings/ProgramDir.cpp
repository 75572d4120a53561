#include "ProgramDir.h"

#include <filesystem>
#include <system_error>

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
