#include "tests/app/ChildProcess.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <thread>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace

TChildProcess::TChildProcess(const std::string& program, const std::vector<std::string>& args,
                             const std::string& outputPrefix, TChildLimits limits)
    : prefix_(outputPrefix)
{
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const std::string out = prefix_ + ".out", err = prefix_ + ".err";

    pid_ = ::fork();
    if (pid_ < 0)
        throw std::runtime_error("cannot start " + program);
    if (pid_ == 0) {
        // Only async-signal-safe calls between fork and exec.
        int o = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int e = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int in = ::open("/dev/null", O_RDONLY);
        if (o < 0 || e < 0 || in < 0)
            ::_exit(127);
        ::dup2(in, 0);
        ::dup2(o, 1);
        ::dup2(e, 2);
        if (limits.FileSize > 0) {
            ::signal(SIGXFSZ, SIG_IGN);
            rlimit limit{rlim_t(limits.FileSize), rlim_t(limits.FileSize)};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        }
        if (limits.AddressSpace > 0) {
            rlimit limit{rlim_t(limits.AddressSpace), rlim_t(limits.AddressSpace)};
            ::setrlimit(RLIMIT_AS, &limit);
        }
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
}

TChildProcess::~TChildProcess()
{
    if (pid_ > 0 && status_ < 0) {
        ::kill(pid_, SIGKILL);
        Wait();
    }
}

void TChildProcess::Signal(int signal) const { ::kill(pid_, signal); }

int TChildProcess::Wait()
{
    if (status_ >= 0)
        return status_;
    int raw = 0;
    while (::waitpid(pid_, &raw, 0) < 0) {
        if (errno != EINTR)
            throw std::runtime_error("lost the child process");
    }
    status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    return status_;
}

std::optional<int> TChildProcess::WaitFor(double seconds)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (status_ < 0) {
        int raw = 0;
        const pid_t done = ::waitpid(pid_, &raw, WNOHANG);
        if (done == pid_) {
            status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
            break;
        }
        if (std::chrono::steady_clock::now() > end) {
            ::kill(pid_, SIGKILL);
            Wait();
            return std::nullopt;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return status_;
}

std::string TChildProcess::Output() const { return ReadAll(prefix_ + ".out"); }
std::string TChildProcess::Error() const { return ReadAll(prefix_ + ".err"); }
