#include "tests/monkey/MonkeyRun.h"

#include <exception>

std::optional<TMonkeyFailure> PerformAndCheck(TMonkeyWindow& window, const TMonkeyAction& action)
{
    try {
        window.Perform(action);
        return window.Check();
    } catch (const std::exception& error) {
        return TMonkeyFailure{"exception", error.what()};
    }
}

std::optional<TRunFailure> RunActions(const TActionList& actions, const TMonkeyPictures& pictures,
                                      const std::function<void(std::size_t, const TMonkeyAction&)>& before)
{
    TMonkeyWindow window(pictures);
    if (std::optional<TMonkeyFailure> failure = window.Check())
        return TRunFailure{0, *failure};
    for (std::size_t i = 0; i < actions.size(); ++i) {
        if (before)
            before(i, actions[i]);
        if (std::optional<TMonkeyFailure> failure = PerformAndCheck(window, actions[i]))
            return TRunFailure{i, *failure};
    }
    return std::nullopt;
}
