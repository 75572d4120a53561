#pragma once

#include "batch/BatchPhoto.h"
#include "batch/BatchRun.h"

#include <cstdint>
#include <string>
#include <vector>

// What a person reads of a batch, in the renderer's terminal and in the
// editor's progress window alike.

// "45 s", "3 min 12 s", "2 h 5 min": rounded to whole seconds, and to whole
// minutes past an hour.
std::string DurationText(double seconds);

// "37 of 200 done, 2 failed, about 3 min left": skipped photos count as done
// here; failures and the time left are named once there are any.
std::string BatchProgressText(const TBatchCounts& counts);

// The same after a bar of the whole batch, within `columns` - 1 characters,
// for a terminal line that is redrawn.
std::string BatchProgressLine(const TBatchCounts& counts, int columns);

// The closing summary: a line of counts and the time taken ("200 photos: 195
// done, 3 skipped, 2 failed, in 4 min 10 s", and how many were left undone
// when it was stopped), then one line for each failure with its reason and
// one for each warning, in the plan's order (each reason names its photo).
std::vector<std::string> BatchSummary(const std::vector<TPhotoResult>& results, double seconds, bool stopped);

// "2 photos at a time, 1 thread each, within a memory budget of 15.1 GiB (at
// most 0.7 GiB taken)": how the batch shared out the machine.
std::string BatchResourcesText(int jobs, int threads, std::uint64_t budget, std::uint64_t mostHeld);

// Bytes as a person reads them: "512 MiB", "15.1 GiB".
std::string BytesText(std::uint64_t bytes);
