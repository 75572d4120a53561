#pragma once

#include <span>
#include <string>

// The files the monkey opens: pictures of every shape and kind a user brings
// (one pixel, one pixel wide and 5000 high, grey, palette, transparency,
// 16 bits, a 12-megapixel photo) and a project. They are made in a folder on
// first use, the same each time, so that runs and their replays share them.
class TMonkeyPictures {
public:
    explicit TMonkeyPictures(std::string folder);

    static std::span<const char* const> Names();
    // The file of a name, made if it is not there yet; empty for a name that
    // is not one of Names().
    std::string Path(const std::string& name) const;
    // Pictures the cartoon command is run on: small enough for a quick render.
    static bool Small(int width, int height) { return std::int64_t(width) * height <= 640 * 480; }

private:
    std::string folder_;
};
