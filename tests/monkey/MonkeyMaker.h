#pragma once

#include "tests/monkey/MonkeyAction.h"

#include <functional>
#include <random>
#include <string>
#include <vector>

class TMonkeyWindow;

// Picks what a user might do next from what the window shows now: the menu
// items, the tools on the palette, the current tool's option page, the
// layers and history panels, points on and beside the picture. The same seed
// and the same window states give the same actions.
class TMonkeyMaker {
public:
    explicit TMonkeyMaker(std::uint64_t seed)
        : Random(seed)
    {
    }
    TMonkeyAction Next(const TMonkeyWindow& window);

    // A text a user might type into an object: long, right to left, emoji,
    // bytes that are no UTF-8, lone surrogates, control characters, or none.
    std::u16string Text();

private:
    int Uniform(int low, int high) { return std::uniform_int_distribution<int>(low, high)(Random); }
    bool Chance(double p) { return std::bernoulli_distribution(p)(Random); }
    template <class T>
    const T& Pick(const std::vector<T>& items)
    {
        return items[std::size_t(Uniform(0, int(items.size()) - 1))];
    }

    TMonkeyAction OpenSomething(const TMonkeyWindow& window);
    std::string Point(const TMonkeyWindow& window);
    TMonkeyAction PointerAction(const TMonkeyWindow& window);
    TMonkeyAction OptionPageAction(const TMonkeyWindow& window);
    TMonkeyAction LayersAction();
    TMonkeyAction CartoonAction();
    TMonkeyAction AdjustAction();
    TMonkeyAction ViewAction(const TMonkeyWindow& window);

    std::mt19937_64 Random;
};
