#include "tests/monkey/Shrink.h"
#include "tests/monkey/MonkeyAction.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

namespace {

TActionList Numbered(int count)
{
    TActionList list;
    for (int i = 0; i < count; ++i)
        list.push_back({"a", {std::to_string(i)}});
    return list;
}

bool Holds(const TActionList& list, const std::string& number)
{
    return std::any_of(list.begin(), list.end(), [&](const TMonkeyAction& a) { return a.Words[0] == number; });
}

// A failure that needs a few actions, in order, among many that do not
// matter: the shrink keeps exactly those.
TEST(Shrink, KeepsOnlyTheActionsTheFailureNeeds)
{
    struct TCase {
        int length;
        std::vector<std::string> needed;
    };
    for (const TCase& c : {TCase{2000, {"17", "1999"}}, TCase{50, {"0"}}, TCase{9, {"2", "3", "8"}},
                           TCase{300, {"5", "150", "151", "299"}}}) {
        int asked = 0;
        const auto fails = [&](const TActionList& list) {
            ++asked;
            return std::all_of(c.needed.begin(), c.needed.end(), [&](const std::string& n) { return Holds(list, n); });
        };
        const TActionList shortest = Shrink(Numbered(c.length), fails, 1000);
        ASSERT_EQ(shortest.size(), c.needed.size()) << c.length;
        for (std::size_t i = 0; i < c.needed.size(); ++i)
            EXPECT_EQ(shortest[i].Words[0], c.needed[i]) << "order kept";
        EXPECT_LT(asked, 400) << c.length;
    }
}

TEST(Shrink, StopsAtItsBudgetWithAListThatStillFails)
{
    int asked = 0;
    const auto fails = [&](const TActionList& list) {
        ++asked;
        return Holds(list, "3") && Holds(list, "700");
    };
    const TActionList shortest = Shrink(Numbered(1000), fails, 10);
    EXPECT_EQ(asked, 10);
    EXPECT_TRUE(fails(shortest));
    EXPECT_LT(shortest.size(), 1000u);
}

// Lists are kept as text: every word, points and any text (a lone surrogate,
// a line break) survive the round trip.
TEST(MonkeyAction, ListsSurviveTheirText)
{
    const std::u16string texts[] = {u"", u"a b\nc", u"\xD83D", u"\U0001F600\u05e9", std::u16string(1, u'\0')};
    TActionList list = {{"stroke", {"L", PointWord(-5, 7), PointWord(300, -1)}},
                        {"control", {"FrmLayers", "Chk_SketchVisible", "0"}}};
    for (const std::u16string& text : texts)
        list.push_back({"control", {"FrmToolOption", "MemTextText", TextWord(text)}});
    std::stringstream file;
    file << "# a comment\n\n";
    WriteActions(file, list);
    EXPECT_EQ(ReadActions(file), list);
    for (const std::u16string& text : texts)
        EXPECT_EQ(ParseText(TextWord(text)), text);

    EXPECT_EQ(ParsePoint("-5,7")->X, -5);
    for (const char* bad : {"5", "5,", ",5", "a,b", "1,2,3"})
        EXPECT_FALSE(ParsePoint(bad)) << bad;
    for (const char* bad : {"", "abc", "00d", "zzzz"})
        EXPECT_FALSE(ParseText(bad)) << bad;
}

} // namespace
