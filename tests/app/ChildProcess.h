#pragma once

#include <optional>
#include <string>
#include <vector>

#include <sys/types.h>

// Runs a program as a child process, its standard output and error going to
// files, and reports how it ended.
struct TChildLimits {
    // Largest file the child may write (RLIMIT_FSIZE); 0 for no limit. The
    // child ignores SIGXFSZ, so a write past it fails as on a full disk.
    long long FileSize = 0;
    // Largest address space (RLIMIT_AS, as `ulimit -v`); 0 for no limit.
    long long AddressSpace = 0;
};

class TChildProcess {
public:
    // Starts `program` with `args`; output goes to `outputPrefix`.out/.err.
    TChildProcess(const std::string& program, const std::vector<std::string>& args, const std::string& outputPrefix,
                  TChildLimits limits = {});
    ~TChildProcess();
    TChildProcess(const TChildProcess&) = delete;
    TChildProcess& operator=(const TChildProcess&) = delete;

    void Signal(int signal) const;
    // Waits for the end. The exit status, or 128 + the signal that ended it.
    int Wait();
    // Waits at most `seconds`; a child still running then is killed and
    // nothing is returned.
    std::optional<int> WaitFor(double seconds);

    std::string Output() const;
    std::string Error() const;

private:
    pid_t pid_ = -1;
    int status_ = -1;
    std::string prefix_;
};
