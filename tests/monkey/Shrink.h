#pragma once

#include "tests/monkey/MonkeyAction.h"

#include <functional>

// The shortest list found that still fails: delta debugging (Zeller's
// ddmin), which tries the list's parts and what is left without each part,
// halving the parts until no single action can go. `fails` is asked at most
// `budget` times; the list it last failed on is returned.
TActionList Shrink(const TActionList& failing, const std::function<bool(const TActionList&)>& fails, int budget);
