#pragma once

#include <string>
#include <string_view>
#include <vector>

// Every call of the system that konversi-cli makes itself, in one file per
// platform.
namespace konversi::cli {

// What stops the program from outside, by the number of the POSIX signal;
// the exit status is 128 + that number. On Windows, Ctrl+C and Ctrl+Break are
// an interrupt, and closing the console, logging off or shutting down a
// hangup.
enum class Stop : int { Hangup = 1, Interrupt = 2, Terminate = 15 };

// Makes a stop call `onStop`, which must end the program with endAtOnce()
// and call nothing a signal handler may not; a stop during another waits.
// A write to a closed pipe or beyond the file size limit then fails as a
// write rather than ending the program, and standard output and error take
// bytes as they are (no CR before LF).
void prepareConsole(void (*onStop)(Stop stop));

// The arguments after the program's name, in UTF-8 whatever the system's
// code page.
std::vector<std::string> argumentsOf(int argc, char** argv);

// Writes `message` on standard error, unbuffered, and ends the program at
// once with `status`: no destructor and no handler runs.
[[noreturn]] void endAtOnce(std::string_view message, int status) noexcept;

}  // namespace konversi::cli
