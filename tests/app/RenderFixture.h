#pragma once

// The renderer run as a program on pictures that each test writes into a
// temporary folder, and the references its files are compared with.
#include "tests/app/CartoonFixture.h"
#include "tests/app/ChildProcess.h"

#include "document/Document.h"
#include "engine/DrawEffect.h"
#include "picture/BmpFile.h"
#include "settings/SettingsFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

inline const std::string Renderer = LQ_RENDER_PROGRAM;

inline std::string FileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void PutFileBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// The arguments as one line, for a failing case's trace.
inline std::string CommandLine(const std::vector<std::string>& args)
{
    std::string line;
    for (const auto& a : args)
        line += a + " ";
    return line;
}

inline bool AllWhite(const TBitmap& picture)
{
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < picture.Width() * 3; ++x)
            if (picture.ScanLine(y)[x] != 255)
                return false;
    return true;
}

struct TRun {
    int Status;
    std::string Out, Err;
};

class RenderTest : public testing::Test {
protected:
    RenderTest()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "lq-render-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("cannot create a temporary folder");
        dir_ = pattern;
    }
    ~RenderTest() override
    {
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }

    std::string File(const std::string& name) const { return dir_ + "/" + name; }

    std::set<std::string> Files() const
    {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(dir_))
            names.insert(std::filesystem::relative(entry.path(), dir_).string());
        return names;
    }

    TRun Run(const std::vector<std::string>& args, TChildLimits limits = {}, const std::string& program = Renderer)
    {
        // Outside the folder, so that the test can list what the program wrote.
        const std::string prefix = dir_ + ".run" + std::to_string(runs_++);
        TChildProcess child(program, args, prefix, limits);
        TRun run{child.Wait(), child.Output(), child.Error()};
        std::filesystem::remove(prefix + ".out");
        std::filesystem::remove(prefix + ".err");
        return run;
    }

    // Writes a photo as a bitmap file and returns its path.
    std::string PutPhoto(const std::string& name, const TBitmap& photo)
    {
        WriteBmpFile(File(name), photo);
        return File(name);
    }
    std::string PutSettings(const std::string& name, const TEffectSettings& settings)
    {
        EXPECT_TRUE(WriteSettingsFile(File(name), settings));
        return File(name);
    }

    std::string dir_;
    int runs_ = 0;
};

#define EXPECT_SUCCESS(run)                                                                                            \
    do {                                                                                                               \
        EXPECT_EQ((run).Status, 0) << (run).Err;                                                                       \
        EXPECT_EQ((run).Err, "") << "a pipe must get no progress display";                                             \
    } while (0)
