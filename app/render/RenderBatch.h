#pragma once

struct TRenderOptions;

// The batch form of the renderer (INPUT... -o FOLDER): plans the batch,
// runs it with a progress line on a terminal and Ctrl-C stopping every photo
// under way, and ends with the summary. Returns the exit status: 0 when every
// photo was done or skipped, 1 when any failed or the batch could not start,
// 128 + the signal when interrupted. Messages go to standard error.
int RenderBatch(const TRenderOptions& options);
