#pragma once

// The renderer run as a program on pictures that each test writes into a
// temporary folder, and the references its files are compared with.
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

// A photo-like picture: smooth gradients for the colouring, hard-edged
// shapes for the lines, and a little deterministic noise.
inline TBitmap Photo(int width, int height, std::uint32_t seed = 12345)
{
    TBitmap picture(width, height);
    std::uint32_t noise = seed;
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = picture.ScanLine(y);
        for (int x = 0; x < width; ++x) {
            noise = noise * 1103515245u + 12345u;
            const int n = int(noise >> 28) - 8;
            const bool disc =
                (x - width / 3) * (x - width / 3) + (y - height / 2) * (y - height / 2) < (height / 4) * (height / 4);
            const bool bar = x > width * 2 / 3 && x < width * 5 / 6;
            int b = 60 + 120 * y / height, g = 90 + 100 * x / width, r = 200 - 80 * x / width;
            if (disc)
                b = 30, g = 40, r = 220;
            if (bar)
                b = 240, g = 230, r = 40;
            row[x * 3] = std::uint8_t(std::clamp(b + n, 0, 255));
            row[x * 3 + 1] = std::uint8_t(std::clamp(g + n, 0, 255));
            row[x * 3 + 2] = std::uint8_t(std::clamp(r + n, 0, 255));
        }
    }
    return picture;
}

// A whole settings record: grey lines and average colours over a table
// whose row v splits each channel into v + 1 even bands.
inline TEffectSettings Settings()
{
    TEffectSettings s;
    std::memset(&s, 0, sizeof s);
    s.SketchType = 2;
    s.Detail = 40;
    s.Darkness = 60;
    s.SketchSmooth = 15;
    s.ScaleType = 2;
    s.ScanFromOrigin = 1;
    s.ColorScale = 3;
    s.ColorSmooth = 2;
    s.BorderBlur = 25;
    s.Saturation = 10;
    s.DrawSketch = 1;
    s.DrawColor = 1;
    s.BlendMode = 1;
    s.Opacity = 50;
    for (int v = 1; v <= ColorTableRows; ++v) {
        std::uint8_t* row = s.ColorTable + (v - 1) * ColorTableRowSize;
        const int bands = std::min(v + 1, 127);
        row[0] = std::uint8_t(bands + 1);
        for (int k = 0; k <= bands; ++k)
            row[1 + k] = std::uint8_t(k * 255 / bands);
    }
    s.WhiteLevel = 255;
    return s;
}

struct TLayers {
    TBitmap Sketch, Color;
};

// What the editor's cartoon command computes for the whole photo.
inline TLayers ExpectedLayers(TEffectSettings settings, const TBitmap& photo)
{
    settings.Left = settings.Top = 0;
    settings.Width = photo.Width();
    settings.Height = photo.Height();
    TDrawEffect effect;
    effect.SetSettings(settings, &photo);
    effect.SetThreadCount(1);
    TLayers layers;
    if (!effect.Render() || !effect.GetLayers(layers.Sketch, layers.Color))
        throw std::runtime_error("the reference render failed");
    return layers;
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
