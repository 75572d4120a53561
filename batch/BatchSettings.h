#pragma once

#include "picture/FileFormats.h"

#include <cstdint>
#include <string>

// What a batch is asked to do with its photos, from the renderer's command
// line or the editor's batch window.
struct TBatchSettings {
    // Created when missing. Each output is named after its photo and lies as
    // deep below it as the photo lies below the folder it was found in.
    std::string OutputFolder;
    // Folders named as inputs are searched through their subfolders too.
    bool Recurse = false;
    // The outputs' kind (a picture kind written), the text their names get
    // before the extension, and WebP lossless.
    TFileKind Format = TFileKind::Jpeg;
    std::string Suffix;
    bool Lossless = false;
    // The preset file, fitted to each photo first when Fit is set; unused
    // with NoEffect, which writes the photos decoded and unchanged.
    std::string PresetFile;
    bool Fit = false;
    bool NoEffect = false;
    // Photos whose output is newer than both the photo and the preset are
    // left as they are, so that an interrupted batch resumes where it stopped.
    bool SkipExisting = false;
    // Photos worked on at once (0: one per core), at most; fewer when the
    // memory budget cannot hold that many.
    int Jobs = 0;
    // Threads of each photo's effect (0: the cores shared among the jobs).
    int Threads = 0;
    // The most memory the batch may fill, in bytes (0: three quarters of what
    // the machine, or the batch system, leaves the process when it starts).
    std::uint64_t MemoryBudget = 0;
};
