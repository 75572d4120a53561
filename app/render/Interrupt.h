#pragma once

class TCancelToken;

// Ctrl-C (SIGINT) and SIGTERM during a run. What the first one does depends
// on the phase: while the inputs are read it ends the program at once (there
// is nothing to keep, and a read may block); while the effect runs and the
// outputs are written it cancels the run's render through its token, so that
// the computation stops at its next row and no output replaces an old file;
// while the outputs are put in place it waits until they all are. A second
// one ends the program at once, the usual way.
//
// Installed for the life of the object; the token must outlive it.
class TInterruptHandler {
public:
    explicit TInterruptHandler(TCancelToken& render);
    // Gives the signals their default actions back.
    ~TInterruptHandler();
    TInterruptHandler(const TInterruptHandler&) = delete;
    TInterruptHandler& operator=(const TInterruptHandler&) = delete;
};

enum class TRunPhase { Reading, Working };
void SetRunPhase(TRunPhase phase);

// Holds the signals back while the finished outputs replace the old files,
// so that a run ends with all of them or none.
class TInterruptsHeld {
public:
    TInterruptsHeld();
    ~TInterruptsHeld();
    // Keeps them held until the program ends: once every output is in place
    // the run has succeeded, and a signal while the program ends must not
    // turn that into an interruption.
    void UntilExit() { untilExit_ = true; }
    TInterruptsHeld(const TInterruptsHeld&) = delete;
    TInterruptsHeld& operator=(const TInterruptsHeld&) = delete;

private:
    bool untilExit_ = false;
};

// The signal that asked the program to stop, or 0.
int InterruptSignal();
