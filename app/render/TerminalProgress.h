#pragma once

#include "engine/Progress.h"

#include <atomic>
#include <functional>
#include <string>
#include <thread>

// The text of one progress line, at most `columns` - 1 characters wide: a
// bar of the whole computation, its percentage, and the running step's name
// with that step's own percentage. `shownFraction` is the share of the bar
// already shown (0..1), so that the bar never runs backwards; it is updated.
std::string FormatProgressLine(const TProgressState::TSnapshot& progress, int columns, double& shownFraction);

// Draws the progress of a computation on a terminal (standard error),
// redrawing one line a few times a second from a thread of its own; the
// computation reports into Sink() and never waits for the drawing.
class TTerminalProgress {
public:
    // True when standard error is a terminal: a pipe or a file never gets
    // the control characters of a redrawn line.
    static bool Wanted();

    TTerminalProgress();
    // Draws what `line` gives for the terminal's width instead (a batch's
    // line), called on the drawing thread.
    explicit TTerminalProgress(std::function<std::string(int columns)> line);
    ~TTerminalProgress();
    TTerminalProgress(const TTerminalProgress&) = delete;
    TTerminalProgress& operator=(const TTerminalProgress&) = delete;

    TProgressSink Sink() { return state_.Sink(); }
    // Stops drawing and clears the line, so that later messages start clean.
    void Finish();

private:
    void Draw();

    TProgressState state_;
    std::function<std::string(int columns)> line_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
    double shown_ = 0;
};
