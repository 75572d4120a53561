#include "engine/Abort.h"

std::atomic<bool> AbortFlag{false};
