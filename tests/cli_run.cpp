#include "cli_run.h"

namespace konversi::test {

CliRun runCli(const std::vector<std::string>& args, const CliRunOptions& options)
{
    return CliProcess(args, options).wait();
}

std::string describe(const CliRun& run)
{
    std::string text;
    if (run.timedOut) text += "timed out; ";
    if (run.exited) {
        text += "exit status " + std::to_string(run.status);
    } else {
        text += "ended by signal " + std::to_string(run.signal);
    }
    text += ", peak memory " + std::to_string(run.maxRssKiB) + " KiB, stderr: " + run.err;
    return text;
}

}  // namespace konversi::test
