#pragma once

// Ctrl-C (SIGINT) and SIGTERM during a run. What the first one does depends
// on the phase: while the inputs are read it ends the program at once (there
// is nothing to keep, and a read may block); while the effect runs and the
// outputs are written it sets the engine's abort flag, so that the
// computation stops at its next row and no output replaces an old file; while
// the outputs are put in place it waits until they all are. A second one ends
// the program at once, the usual way.
void InstallInterruptHandler();

enum class TRunPhase { Reading, Working };
void SetRunPhase(TRunPhase phase);

// Holds the signals back while the finished outputs replace the old files,
// so that a run ends with all of them or none.
class TInterruptsHeld {
public:
    TInterruptsHeld();
    ~TInterruptsHeld();
    TInterruptsHeld(const TInterruptsHeld&) = delete;
    TInterruptsHeld& operator=(const TInterruptsHeld&) = delete;
};

// The signal that asked the program to stop, or 0.
int InterruptSignal();
