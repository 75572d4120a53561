#pragma once

// Ctrl-C (SIGINT) and SIGTERM during a run: the first one sets the engine's
// abort flag, so that the computation stops at its next row and nothing more
// is written; a second one ends the program at once, the usual way.
void InstallInterruptHandler();

// The signal that asked the program to stop, or 0.
int InterruptSignal();
