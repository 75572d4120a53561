// Every action list the monkey once failed on, kept in regressions/, runs
// through the real editor again with every check after every action.
#include "tests/monkey/MonkeyPictures.h"
#include "tests/monkey/MonkeyRun.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>

namespace {

std::vector<std::string> KeptLists()
{
    std::vector<std::string> names;
    for (const QString& name : QDir(LQ_MONKEY_REGRESSIONS).entryList({"*.txt"}, QDir::Files, QDir::Name))
        names.push_back(name.toStdString());
    return names;
}

class MonkeyRegression : public testing::TestWithParam<std::string> {};
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(MonkeyRegression);

TEST_P(MonkeyRegression, RunsWithEveryCheckHolding)
{
    static QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    static const TMonkeyPictures pictures(folder.path().toStdString());
    std::ifstream in(std::string(LQ_MONKEY_REGRESSIONS "/") + GetParam());
    const TActionList actions = ReadActions(in);
    ASSERT_FALSE(actions.empty());
    TMonkeyWindow::TakeWarnings();
    const std::optional<TRunFailure> failure = RunActions(actions, pictures);
    ASSERT_FALSE(failure) << "after action " << failure->Index + 1 << " (" << FormatAction(actions[failure->Index])
                          << "): " << failure->Failure.Check << ": " << failure->Failure.Detail;
}

INSTANTIATE_TEST_SUITE_P(Kept, MonkeyRegression, testing::ValuesIn(KeptLists()),
                         [](const testing::TestParamInfo<std::string>& list) {
                             std::string name = list.param.substr(0, list.param.rfind('.'));
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c)))
                                     c = '_';
                             return name;
                         });

} // namespace
