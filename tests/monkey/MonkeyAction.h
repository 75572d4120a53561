#pragma once

#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

// One thing a user does, as one line of text: a verb and its words, for
// example "stroke L 10,20 300,-5" or "control FrmLayers Chk_SketchVisible 0".
// Lists of actions are what the monkey runs, prints when one fails and keeps
// as regression files; a line starting with # is a comment.
struct TMonkeyAction {
    std::string Verb;
    std::vector<std::string> Words;

    friend bool operator==(const TMonkeyAction&, const TMonkeyAction&) = default;
};
using TActionList = std::vector<TMonkeyAction>;

std::string FormatAction(const TMonkeyAction& action);
// Nothing for a blank or comment line.
std::optional<TMonkeyAction> ParseAction(const std::string& line);

TActionList ReadActions(std::istream& in);
void WriteActions(std::ostream& out, const TActionList& actions);

// Words that carry what a single word cannot: a point "x,y", and any text
// (also one no encoding can print, such as a lone surrogate) as the hex of its
// UTF-16 code units, "-" for the empty text.
struct TWordPoint {
    int X = 0;
    int Y = 0;
};
std::string PointWord(int x, int y);
std::optional<TWordPoint> ParsePoint(const std::string& word);
std::string TextWord(const std::u16string& text);
std::optional<std::u16string> ParseText(const std::string& word);
std::optional<int> ParseNumber(const std::string& word);
