#pragma once

#include <atomic>
#include <cstdint>

// Names of the steps as the engine reports them. Receivers may keep the
// pointer: each name has one address for the whole run of the program.
namespace StepNames {
inline constexpr char BlurRow[] = "Blur Row";
inline constexpr char BlurColumn[] = "Blur Column";
inline constexpr char DrawSketch[] = "Draw Sketch";
inline constexpr char ColorScale[] = "Color Scale";
inline constexpr char ColorSmooth[] = "Color Smooth";
inline constexpr char Brightness[] = "Brightness";
inline constexpr char Contrast[] = "Contrast";
inline constexpr char Saturation[] = "Saturation";
} // namespace StepNames

// The three receivers a computation reports to. They are called on the thread
// that runs the computation, at most once per row, never from a pixel loop.
class TStepBar {
public:
    virtual void SetPosition(int percent) = 0; // 0..100

protected:
    ~TStepBar() = default;
};

class TTotalBar {
public:
    virtual void SetMaximum(int steps) = 0;
    virtual void StepIt() = 0; // one step further; a full bar stays full

protected:
    ~TTotalBar() = default;
};

class TStepLabel {
public:
    virtual void SetStepName(const char* name) = 0; // one of StepNames

protected:
    ~TStepLabel() = default;
};

// Where a computation reports its progress: a current-step bar, a total bar
// and a label, each of them optional. An all-empty sink costs one test per row.
struct TProgressSink {
    TStepBar* Current = nullptr;
    TTotalBar* Total = nullptr;
    TStepLabel* Label = nullptr;
};

// Percentage for a progress formula index*100/divisor (integer division). A
// divisor of 0 reports 100; the result is kept inside the bar's 0..100.
inline int ProgressPercent(std::int64_t index, std::int64_t divisor)
{
    if (divisor == 0)
        return 100;
    std::int64_t p = index * 100 / divisor;
    return p < 0 ? 0 : p > 100 ? 100 : int(p);
}

// The reporting side used inside the engine: null tests in one place.
class TProgressReporter {
public:
    TProgressReporter() = default;
    explicit TProgressReporter(const TProgressSink& sink)
        : sink_(sink)
    {
    }

    void BeginStep(const char* name) const
    {
        if (sink_.Label)
            sink_.Label->SetStepName(name);
    }
    bool WantsPercent() const { return sink_.Current != nullptr; }
    void Percent(std::int64_t index, std::int64_t divisor) const
    {
        if (sink_.Current)
            sink_.Current->SetPosition(ProgressPercent(index, divisor));
    }
    // Passes on a percentage already worked out (one recorded elsewhere).
    void Position(int percent) const
    {
        if (sink_.Current)
            sink_.Current->SetPosition(percent);
    }
    void EndStep() const
    {
        if (sink_.Total)
            sink_.Total->StepIt();
    }
    void SetTotalMaximum(int steps) const
    {
        if (sink_.Total)
            sink_.Total->SetMaximum(steps);
    }
    const TProgressSink& Sink() const { return sink_; }

private:
    TProgressSink sink_;
};

// A progress receiver that another thread reads without locks: the worker
// writes plain atomic values, a timer on the user-interface thread polls
// Read(). The worker never waits for the reader.
class TProgressState final : public TStepBar, public TTotalBar, public TStepLabel {
public:
    struct TSnapshot {
        const char* StepName = nullptr; // null until the first step names itself
        int StepPercent = 0;
        int TotalPosition = 0;
        int TotalMaximum = 100;
    };

    TProgressSink Sink() { return {this, this, this}; }
    TSnapshot Read() const;
    void Reset();

    void SetPosition(int percent) override { percent_.store(percent, std::memory_order_relaxed); }
    void SetMaximum(int steps) override;
    void StepIt() override;
    void SetStepName(const char* name) override { name_.store(name, std::memory_order_relaxed); }

private:
    std::atomic<const char*> name_{nullptr};
    std::atomic<int> percent_{0};
    std::atomic<int> position_{0};
    std::atomic<int> maximum_{100};
};
