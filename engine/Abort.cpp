#include "Abort.h"

std::atomic<bool> AbortFlag{false};
