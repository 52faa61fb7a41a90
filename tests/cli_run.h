#pragma once

#include "test_support.h"

#include <sys/types.h>
#include <chrono>
#include <string>
#include <vector>

namespace konversi::test {

struct CliRunOptions {
    std::string workingFolder;  // empty: the test's own
    std::string stdoutPath;     // where its standard output goes; empty: CliRun::out
    std::chrono::seconds timeout{60};
    // A cap on the process's address space (RLIMIT_AS) in bytes; 0 for none.
    unsigned long long addressSpaceLimit = 0;
    // A cap on the size of each file it writes (RLIMIT_FSIZE) in bytes, a
    // disk that fills at that size; 0 for none.
    unsigned long long fileSizeLimit = 0;
    // Run as the user nobody when the tests run as root, whom no file
    // permission stops.
    bool unprivileged = false;
};

// How one run of konversi-cli ended.
struct CliRun {
    bool exited = false;    // ended by itself through exit(), not by a signal
    int status = -1;        // its exit status when it exited
    int signal = 0;         // the signal that ended it otherwise
    bool timedOut = false;  // killed for taking longer than the timeout
    long maxRssKiB = 0;     // its peak resident memory
    std::string out;        // what it wrote on stdout, unless sent elsewhere
    std::string err;        // what it wrote on stderr
};

// The konversi-cli of this build started with the given arguments, byte for
// byte; the test may signal it while it runs.
class CliProcess {
public:
    explicit CliProcess(const std::vector<std::string>& args, const CliRunOptions& options = {});
    CliProcess(const CliProcess&) = delete;
    CliProcess& operator=(const CliProcess&) = delete;

    pid_t pid() const { return pid_; }
    // Waits for it to end, killing it once the timeout has passed.
    CliRun wait();

private:
    TempDir capture_;
    std::chrono::seconds timeout_;
    bool outCaptured_;
    pid_t pid_ = -1;
    void* process_ = nullptr;  // Windows: the handle to wait on
};

// Runs konversi-cli to its end.
CliRun runCli(const std::vector<std::string>& args, const CliRunOptions& options = {});

// A readable account of a run for failure messages.
std::string describe(const CliRun& run);

// True when the tests themselves run under AddressSanitizer, whose runtime
// changes how much memory a process holds and ignores address-space limits.
constexpr bool underAddressSanitizer()
{
#if defined(__SANITIZE_ADDRESS__)
    return true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    return true;
#else
    return false;
#endif
#else
    return false;
#endif
}

}  // namespace konversi::test
