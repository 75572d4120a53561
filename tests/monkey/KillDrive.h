#pragma once

#include <cstdint>
#include <string>

class TMonkeyPictures;

// The editor of the kill harness (scripts/killtest), on a real screen.
//
// DriveUntilKilled edits for ever with random actions from `seed`, in the
// program folder given, and logs to `log` (flushed line by line) every state
// it records and every file it saves, before and after, with the content's
// hash, until it is killed.
//
// CheckRecovery is the start after the kill: it answers the question about
// earlier work, and checks against the log that the picture brought back is
// the last recorded state (or the one before it, when the kill came while
// that state was being recorded), that every saved file holds an old or a
// new content whole, and that no temporary file is left. 0 when all holds.
int DriveUntilKilled(const std::string& programFolder, const std::string& log, std::uint64_t seed,
                     const TMonkeyPictures& pictures);
int CheckRecovery(const std::string& programFolder, const std::string& log, const TMonkeyPictures& pictures);

// The harness's killer: watches `log` (every millisecond) for a line that
// begins with `start` written after it began, waits a random time of up to
// `maxDelayMs` from `seed`, and sends `pid` SIGKILL. 0 when it killed; 1 when
// the process ended first or nothing came within `timeoutMs`.
int KillOnLine(const std::string& log, int pid, const std::string& start, int maxDelayMs, int timeoutMs,
               std::uint64_t seed);
