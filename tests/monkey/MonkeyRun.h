#pragma once

#include "tests/monkey/MonkeyAction.h"
#include "tests/monkey/MonkeyWindow.h"

#include <cstddef>
#include <functional>
#include <optional>

class TMonkeyPictures;

struct TRunFailure {
    // The action after which the check failed.
    std::size_t Index = 0;
    TMonkeyFailure Failure;
};

// Runs a list in a fresh editor, the checks after every action. `before` is
// told of each action first (the monkey keeps its log with it).
std::optional<TRunFailure> RunActions(const TActionList& actions, const TMonkeyPictures& pictures,
                                      const std::function<void(std::size_t, const TMonkeyAction&)>& before = {});
// One action and its checks; a thrown exception is a failure too.
std::optional<TMonkeyFailure> PerformAndCheck(TMonkeyWindow& window, const TMonkeyAction& action);
