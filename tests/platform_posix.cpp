#include "cli_run.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <csignal>
#include <cstdlib>
#include <thread>

namespace konversi::test {

namespace {

constexpr uid_t nobody = 65534;

void setLimit(int resource, unsigned long long bytes)
{
    const rlimit limit{bytes, bytes};
    if (bytes != 0 && ::setrlimit(resource, &limit) != 0) ::_exit(127);
}

}  // namespace

CliProcess::CliProcess(const std::vector<std::string>& args, const CliRunOptions& options)
    : timeout_(options.timeout), outCaptured_(options.stdoutPath.empty())
{
    const std::string outFile = outCaptured_ ? capture_.file("stdout") : options.stdoutPath;
    const std::string errFile = capture_.file("stderr");
    std::vector<char*> argv{const_cast<char*>(KONVERSI_CLI)};
    for (const auto& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);

    pid_ = ::fork();
    if (pid_ != 0) return;
    if (!options.workingFolder.empty() && ::chdir(options.workingFolder.c_str()) != 0) {
        ::_exit(127);
    }
    const int out = ::open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = ::open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int nothing = ::open("/dev/null", O_RDONLY);
    if (out < 0 || err < 0 || nothing < 0) ::_exit(127);
    ::dup2(nothing, 0);
    ::dup2(out, 1);
    ::dup2(err, 2);
    // A sanitizer's report must not pass for a conversion error (status 1).
    for (const char* name : {"ASAN_OPTIONS", "UBSAN_OPTIONS"}) {
        const char* given = std::getenv(name);
        const std::string value = std::string(given ? given : "") + ":exitcode=86";
        ::setenv(name, value.c_str(), 1);
    }
    setLimit(RLIMIT_AS, options.addressSpaceLimit);
    setLimit(RLIMIT_FSIZE, options.fileSizeLimit);
    if (options.unprivileged && ::geteuid() == 0 &&
        (::setgid(nobody) != 0 || ::setuid(nobody) != 0)) {
        ::_exit(127);
    }
    ::execv(KONVERSI_CLI, argv.data());
    ::_exit(127);
}

CliRun CliProcess::wait()
{
    CliRun run;
    if (pid_ < 0) return run;
    const auto deadline = std::chrono::steady_clock::now() + timeout_;
    int status = 0;
    rusage usage{};
    for (;;) {
        const pid_t done = ::wait4(pid_, &status, WNOHANG, &usage);
        if (done == pid_) break;
        if (std::chrono::steady_clock::now() > deadline) {
            run.timedOut = true;
            ::kill(pid_, SIGKILL);
            ::wait4(pid_, &status, 0, &usage);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    pid_ = -1;
    run.exited = WIFEXITED(status);
    run.status = run.exited ? WEXITSTATUS(status) : -1;
    run.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    run.maxRssKiB = usage.ru_maxrss;
    if (outCaptured_) run.out = readFile(capture_.file("stdout"));
    run.err = readFile(capture_.file("stderr"));
    return run;
}

bool makeFifo(const std::string& path)
{
    return ::mkfifo(path.c_str(), 0600) == 0;
}

}  // namespace konversi::test
