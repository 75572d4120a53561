#pragma once

#include "batch/BatchSettings.h"

#include <cstdint>
#include <string>
#include <vector>

// One photo of a batch and the file it becomes.
struct TBatchItem {
    std::string Input;
    std::string Output;
    // The photo's file size, which the time left is reckoned by.
    std::uint64_t InputBytes = 0;
    // Why the photo cannot be rendered, as found while planning (it does not
    // exist, it is no picture); empty when it can.
    std::string Problem;
    // Its output is newer than the photo and the preset (SkipExisting).
    bool UpToDate = false;
};

struct TBatchPlan {
    std::vector<TBatchItem> Items;
};

// The photos of the inputs, in order: a file named is one photo; a folder
// gives the pictures in it, by name, and with Recurse those of its
// subfolders too, never entering the output folder. A folder's pictures are
// told by their extension (a file named is taken by its content too), hidden
// files are left out, and a photo named twice counts once.
//
// A plan that would lose work is refused with a TFileError before anything
// is written: two photos whose outputs would be one file, or an output that
// would replace a photo of the batch. Files found in a folder that are the
// outputs of other photos of the same batch (with a suffix, in the photos'
// own folder) are taken for results of an earlier run, not for photos.
// A plan with no photo at all is refused too.
TBatchPlan PlanBatch(const std::vector<std::string>& inputs, const TBatchSettings& settings);

// The output of a photo whose path below the folder it was found in (or
// whose name, for a file named) is `relative`: the output folder, the same
// subfolders, the photo's name without its extension, the suffix and the
// format's first extension.
std::string BatchOutputPath(const std::string& relative, const TBatchSettings& settings);

// Creates the output folder when it is missing. Throws TFileError when it
// cannot be, or is no folder, or cannot be written.
void PrepareOutputFolder(const TBatchSettings& settings);

// Whether an output stands and is newer than both its photo and the preset
// (no preset with NoEffect).
bool OutputUpToDate(const TBatchItem& item, const TBatchSettings& settings);

// The picture kind that `--format` names ("jpg", "PNG", "jpeg"), or None
// for any name that is not a picture kind written.
TFileKind BatchFormatNamed(const std::string& name);
