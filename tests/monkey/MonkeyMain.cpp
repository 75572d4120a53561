// lumenquilla-monkey: drives the real editor at random and checks it after
// every action; see Usage below.
#include "tests/monkey/KillDrive.h"
#include "tests/monkey/MonkeyMaker.h"
#include "tests/monkey/MonkeyPictures.h"
#include "tests/monkey/MonkeyRun.h"
#include "tests/monkey/Shrink.h"

#include <QApplication>
#include <QDir>
#include <QProcess>
#include <QTemporaryFile>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <thread>

#include <unistd.h>

namespace {

constexpr const char* Usage = R"(usage:
  lumenquilla-monkey ACTIONS SEED [--shrink-budget N] [--pictures DIR]
      ACTIONS random actions from SEED, each followed by the checks. A failure
      is shrunk to the shortest list that still fails (trying at most N
      shorter lists, 400 by default), printed, and kept in
      monkey-failure-SEED.txt (copy it to tests/monkey/regressions/).
  lumenquilla-monkey --replay FILE... [--pictures DIR]
      runs action lists; exit status 3 when one fails.
  lumenquilla-monkey --drive PROGRAM_DIR LOG SEED [--pictures DIR]
  lumenquilla-monkey --recover PROGRAM_DIR LOG [--pictures DIR]
      the kill harness's editor (scripts/killtest): edits on the screen,
      logging what it has recorded and saved; the next start checks what it
      brings back against that log.
  lumenquilla-monkey --kill-on LOG PID START MAX_DELAY_MS SEED
      the harness's killer: SIGKILL to PID a random time after LOG gets a
      line beginning with START.
)";

// The line a failing child prints, for its parent.
constexpr const char* FailedMark = "MONKEY-FAILED ";
// An action that has not finished after this long is a freeze.
constexpr int FreezeSeconds = 600;
constexpr int DefaultShrinkBudget = 400;

std::atomic<std::int64_t> LastProgress{0};

std::int64_t Now()
{
    return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void WatchForFreeze()
{
    LastProgress = Now();
    std::thread([] {
        for (;;) {
            std::this_thread::sleep_for(std::chrono::seconds(5));
            if (Now() - LastProgress > FreezeSeconds) {
                std::printf("%sfreeze: an action took more than %d s\n", FailedMark, FreezeSeconds);
                std::fflush(stdout);
                ::_exit(3);
            }
        }
    }).detach();
}

void Report(std::size_t index, const TMonkeyFailure& failure)
{
    std::printf("%s%zu %s: %s\n", FailedMark, index, failure.Check.c_str(), failure.Detail.c_str());
    std::fflush(stdout);
}

int Generate(int count, std::uint64_t seed, const std::string& logPath, const TMonkeyPictures& pictures)
{
    WatchForFreeze();
    std::ofstream log(logPath, std::ios::trunc);
    TMonkeyWindow window(pictures);
    TMonkeyMaker maker(seed);
    if (std::optional<TMonkeyFailure> failure = window.Check()) {
        Report(0, *failure);
        return 3;
    }
    for (int i = 0; i < count; ++i) {
        const TMonkeyAction action = maker.Next(window);
        // Written before it runs, so that a crash leaves it last in the log.
        log << FormatAction(action) << std::endl;
        LastProgress = Now();
        if (std::optional<TMonkeyFailure> failure = PerformAndCheck(window, action)) {
            Report(std::size_t(i), *failure);
            return 3;
        }
    }
    return 0;
}

int Replay(const std::vector<std::string>& files, const TMonkeyPictures& pictures)
{
    WatchForFreeze();
    for (const std::string& file : files) {
        std::ifstream in(file);
        if (!in) {
            std::cerr << "cannot read " << file << "\n";
            return 2;
        }
        const TActionList actions = ReadActions(in);
        const auto failure =
            RunActions(actions, pictures, [](std::size_t, const TMonkeyAction&) { LastProgress = Now(); });
        if (failure) {
            std::cerr << file << ": action " << failure->Index + 1 << " (" << FormatAction(actions.at(failure->Index))
                      << ")\n";
            Report(failure->Index, failure->Failure);
            return 3;
        }
    }
    return 0;
}

struct TChildResult {
    bool Failed = false;
    // The check that failed, or "crash".
    std::string Check;
    std::string Line;
    std::size_t Index = 0;
};

TChildResult RunChild(const QStringList& arguments, bool showErrors)
{
    QProcess child;
    child.setProcessChannelMode(showErrors ? QProcess::ForwardedErrorChannel : QProcess::SeparateChannels);
    child.start(QCoreApplication::applicationFilePath(), arguments);
    child.waitForFinished(-1);
    TChildResult result;
    result.Failed = child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0;
    result.Check = "crash";
    for (const QString& line : QString::fromLocal8Bit(child.readAllStandardOutput()).split('\n'))
        if (line.startsWith(FailedMark)) {
            result.Line = line.mid(int(std::strlen(FailedMark))).toStdString();
            const std::size_t space = result.Line.find(' ');
            result.Index = std::stoul(result.Line.substr(0, space));
            const std::size_t colon = result.Line.find(':', space);
            result.Check = result.Line.substr(space + 1, colon - space - 1);
        }
    if (result.Failed && result.Line.empty())
        result.Line = "crash: exit " + std::to_string(child.exitCode()) +
                      (child.exitStatus() == QProcess::CrashExit ? " (signal)" : "");
    return result;
}

int RunAndShrink(int count, std::uint64_t seed, const QString& pictures, int budget)
{
    QTemporaryFile log(QDir::tempPath() + "/lq-monkey-log-XXXXXX");
    if (!log.open())
        return 2;
    const TChildResult first = RunChild(
        {"--generate", QString::number(count), QString::number(seed), log.fileName(), "--pictures", pictures}, true);
    if (!first.Failed) {
        std::cout << "monkey: " << count << " actions from seed " << seed << " passed\n";
        return 0;
    }
    std::ifstream in(log.fileName().toStdString());
    TActionList actions = ReadActions(in);
    std::cout << "monkey: seed " << seed << " failed after " << actions.size() << " actions: " << first.Line << "\n"
              << "monkey: shrinking..." << std::endl;
    int runs = 0;
    const auto fails = [&](const TActionList& candidate) {
        QTemporaryFile file(QDir::tempPath() + "/lq-monkey-list-XXXXXX");
        if (!file.open())
            return false;
        std::ofstream out(file.fileName().toStdString());
        WriteActions(out, candidate);
        out.close();
        ++runs;
        const TChildResult result = RunChild({"--replay", file.fileName(), "--pictures", pictures}, false);
        return result.Failed && result.Check == first.Check;
    };
    // The list up to the failing action is where the failure lies.
    const TActionList shortest = Shrink(actions, fails, budget);
    const std::string kept = "monkey-failure-" + std::to_string(seed) + ".txt";
    std::ofstream keep(kept);
    keep << "# lumenquilla-monkey " << count << " " << seed << " failed: " << first.Line << "\n";
    WriteActions(keep, shortest);
    std::cout << "monkey: seed " << seed << ": " << first.Line << "\nmonkey: shortest list that still fails ("
              << shortest.size() << " actions, " << runs << " replays), kept in " << kept << ":\n";
    WriteActions(std::cout, shortest);
    return 3;
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    QString pictures = QDir::tempPath() + "/lumenquilla-monkey-pictures";
    int budget = DefaultShrinkBudget;
    for (std::size_t i = 0; i + 1 < args.size();) {
        if (args[i] == "--pictures")
            pictures = QString::fromStdString(args[i + 1]);
        else if (args[i] == "--shrink-budget")
            budget = std::stoi(args[i + 1]);
        else {
            ++i;
            continue;
        }
        args.erase(args.begin() + std::ptrdiff_t(i), args.begin() + std::ptrdiff_t(i) + 2);
    }
    if (args.size() == 6 && args[0] == "--kill-on")
        return KillOnLine(args[1], std::stoi(args[2]), args[3], std::stoi(args[4]), 60000, std::stoull(args[5]));
    const bool parent = args.size() == 2 && args[0][0] != '-';
    if (parent) {
        QCoreApplication app(argc, argv);
        return RunAndShrink(std::stoi(args[0]), std::stoull(args[1]), pictures, budget);
    }
    if (args.empty() || args[0][0] != '-') {
        std::cerr << Usage;
        return 2;
    }
    const bool onScreen = args[0] == "--drive" || args[0] == "--recover";
    if (!onScreen && !qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TMonkeyWindow::CatchWarnings();
    const TMonkeyPictures files(pictures.toStdString());
    if (args[0] == "--generate" && args.size() == 4)
        return Generate(std::stoi(args[1]), std::stoull(args[2]), args[3], files);
    if (args[0] == "--replay" && args.size() >= 2)
        return Replay({args.begin() + 1, args.end()}, files);
    if (args[0] == "--drive" && args.size() == 4)
        return DriveUntilKilled(args[1], args[2], std::stoull(args[3]), files);
    if (args[0] == "--recover" && args.size() == 3)
        return CheckRecovery(args[1], args[2], files);
    std::cerr << Usage;
    return 2;
}
