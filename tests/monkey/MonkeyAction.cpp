#include "tests/monkey/MonkeyAction.h"

#include <charconv>
#include <sstream>

std::string FormatAction(const TMonkeyAction& action)
{
    std::string line = action.Verb;
    for (const std::string& word : action.Words)
        line += " " + word;
    return line;
}

std::optional<TMonkeyAction> ParseAction(const std::string& line)
{
    std::istringstream in(line);
    TMonkeyAction action;
    if (!(in >> action.Verb) || action.Verb[0] == '#')
        return std::nullopt;
    for (std::string word; in >> word;)
        action.Words.push_back(word);
    return action;
}

TActionList ReadActions(std::istream& in)
{
    TActionList actions;
    for (std::string line; std::getline(in, line);)
        if (std::optional<TMonkeyAction> action = ParseAction(line))
            actions.push_back(*action);
    return actions;
}

void WriteActions(std::ostream& out, const TActionList& actions)
{
    for (const TMonkeyAction& action : actions)
        out << FormatAction(action) << '\n';
}

std::optional<int> ParseNumber(const std::string& word)
{
    int value = 0;
    const char* end = word.data() + word.size();
    const auto [stop, error] = std::from_chars(word.data(), end, value);
    if (error != std::errc() || stop != end)
        return std::nullopt;
    return value;
}

std::string PointWord(int x, int y) { return std::to_string(x) + "," + std::to_string(y); }

std::optional<TWordPoint> ParsePoint(const std::string& word)
{
    const std::size_t comma = word.find(',');
    if (comma == std::string::npos)
        return std::nullopt;
    const std::optional<int> x = ParseNumber(word.substr(0, comma));
    const std::optional<int> y = ParseNumber(word.substr(comma + 1));
    if (!x || !y)
        return std::nullopt;
    return TWordPoint{*x, *y};
}

std::string TextWord(const std::u16string& text)
{
    if (text.empty())
        return "-";
    static const char Digits[] = "0123456789abcdef";
    std::string word;
    for (const char16_t unit : text)
        for (int shift = 12; shift >= 0; shift -= 4)
            word += Digits[(unit >> shift) & 0xF];
    return word;
}

std::optional<std::u16string> ParseText(const std::string& word)
{
    if (word == "-")
        return std::u16string();
    if (word.empty() || word.size() % 4 != 0)
        return std::nullopt;
    std::u16string text;
    for (std::size_t i = 0; i < word.size(); i += 4) {
        unsigned unit = 0;
        const auto [stop, error] = std::from_chars(word.data() + i, word.data() + i + 4, unit, 16);
        if (error != std::errc() || stop != word.data() + i + 4)
            return std::nullopt;
        text += char16_t(unit);
    }
    return text;
}
