#pragma once

#include <cstdlib>
#include <string>

// The 17.9-megapixel photo the benchmarks work on: the file LQ_BIG_PHOTO
// names, or else Debian's mate-backgrounds Elephants picture.
inline std::string BigPhotoPath()
{
    const char* named = std::getenv("LQ_BIG_PHOTO");
    return named ? named : "/usr/share/backgrounds/mate/abstract/Elephants_5640x3172.jpg";
}
