#include "app/render/TerminalProgress.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <utility>

#include <sys/ioctl.h>
#include <unistd.h>

namespace {

int TerminalColumns()
{
    winsize size{};
    if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0)
        return size.ws_col;
    return 80;
}

void WriteAll(const std::string& text)
{
    const char* p = text.data();
    std::size_t left = text.size();
    while (left > 0) {
        ssize_t n = ::write(STDERR_FILENO, p, left);
        if (n <= 0)
            return; // a closed terminal: nothing more to show
        p += n;
        left -= std::size_t(n);
    }
}

} // namespace

std::string FormatProgressLine(const TProgressState::TSnapshot& progress, int columns, double& shownFraction)
{
    const int percent = std::clamp(progress.StepPercent, 0, 100);
    if (progress.TotalMaximum > 0) {
        // A step at 100 % is about to end and advance the total bar; counting
        // it now as well would show the next step done before it started.
        const double within = percent < 100 ? percent / 100.0 : 0.0;
        const double fraction =
            (std::clamp(progress.TotalPosition, 0, progress.TotalMaximum) + within) / progress.TotalMaximum;
        shownFraction = std::clamp(std::max(shownFraction, fraction), 0.0, 1.0);
    } else {
        shownFraction = 1.0;
    }
    const int total = int(std::floor(shownFraction * 100.0));

    std::string tail = std::to_string(total) + "%";
    tail.insert(0, 4 - std::min<std::size_t>(tail.size(), 4), ' ');
    if (progress.StepName != nullptr) {
        tail += "  ";
        tail += progress.StepName;
        tail += ' ';
        tail += std::to_string(percent);
        tail += '%';
    }

    // "[" bar "] " tail, within columns - 1 so that the cursor never wraps.
    const int room = std::max(columns - 1, 8);
    int barWidth = std::min(40, room - int(tail.size()) - 3);
    std::string line;
    if (barWidth >= 10) {
        const int filled = int(shownFraction * barWidth);
        line += '[';
        line.append(std::size_t(filled), '#');
        line.append(std::size_t(barWidth - filled), '.');
        line += "] ";
    }
    line += tail;
    if (int(line.size()) > room)
        line.resize(std::size_t(room));
    return line;
}

bool TTerminalProgress::Wanted() { return ::isatty(STDERR_FILENO) == 1; }

TTerminalProgress::TTerminalProgress()
    : TTerminalProgress([this](int columns) { return FormatProgressLine(state_.Read(), columns, shown_); })
{
}

TTerminalProgress::TTerminalProgress(std::function<std::string(int columns)> line)
    : line_(std::move(line))
{
    thread_ = std::thread([this] {
        while (!stop_.load(std::memory_order_acquire)) {
            Draw();
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    });
}

TTerminalProgress::~TTerminalProgress() { Finish(); }

void TTerminalProgress::Finish()
{
    if (!thread_.joinable())
        return;
    stop_.store(true, std::memory_order_release);
    thread_.join();
    WriteAll("\r\033[K");
}

void TTerminalProgress::Draw()
{
    // "\033[K" clears the rest of the line the previous drawing may have left.
    std::string text = "\r";
    text += line_(TerminalColumns());
    text += "\033[K";
    WriteAll(text);
}
