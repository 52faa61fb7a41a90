#include "console.h"

#include <unistd.h>
#include <csignal>

namespace konversi::cli {

static_assert(static_cast<int>(Stop::Hangup) == SIGHUP &&
              static_cast<int>(Stop::Interrupt) == SIGINT &&
              static_cast<int>(Stop::Terminate) == SIGTERM);

namespace {

void (*stopHandler)(Stop) = nullptr;

extern "C" void onSignal(int signal)
{
    stopHandler(static_cast<Stop>(signal));
}

}  // namespace

// While one stop is handled the others wait.
void prepareConsole(void (*onStop)(Stop stop))
{
    stopHandler = onStop;
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);
    constexpr int stops[] = {SIGINT, SIGTERM, SIGHUP};
    struct sigaction stop {};
    stop.sa_handler = onSignal;
    ::sigemptyset(&stop.sa_mask);
    for (const int signal : stops)
        ::sigaddset(&stop.sa_mask, signal);
    for (const int signal : stops)
        ::sigaction(signal, &stop, nullptr);
}

std::vector<std::string> argumentsOf(int argc, char** argv)
{
    return {argv + 1, argv + argc};
}

void endAtOnce(std::string_view message, int status) noexcept
{
    [[maybe_unused]] const ssize_t ignored = ::write(STDERR_FILENO, message.data(), message.size());
    ::_exit(status);
}

}  // namespace konversi::cli
