#include "console.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>
#include <cstdio>
#include <cstdlib>

namespace konversi::cli {

namespace {

void (*stopHandler)(Stop) = nullptr;
UINT consoleCodePage = 0;

// Windows calls this on a thread of its own; the program ends within it.
BOOL WINAPI onConsoleEvent(DWORD event)
{
    switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT: stopHandler(Stop::Interrupt); return TRUE;
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT: stopHandler(Stop::Hangup); return TRUE;
    default: return FALSE;
    }
}

void restoreConsoleCodePage()
{
    ::SetConsoleOutputCP(consoleCodePage);
}

std::string utf8Of(const wchar_t* wide)
{
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1) return {};
    std::string text(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide, -1, text.data(), size, nullptr, nullptr);
    text.pop_back();  // the terminating NUL
    return text;
}

}  // namespace

// Binary streams, so that the text written is the same bytes as on Linux; a
// console shows the UTF-8 names in the messages as letters. Windows raises
// no signal for a closed pipe or a full disk: the write fails.
void prepareConsole(void (*onStop)(Stop stop))
{
    stopHandler = onStop;
    ::_setmode(::_fileno(stdout), _O_BINARY);
    ::_setmode(::_fileno(stderr), _O_BINARY);
    consoleCodePage = ::GetConsoleOutputCP();
    if (consoleCodePage != 0 && ::SetConsoleOutputCP(CP_UTF8)) std::atexit(restoreConsoleCodePage);
    // A Ctrl+C ignored by the parent is ignored here too unless asked for,
    // as a signal ignored is unless a handler is set.
    ::SetConsoleCtrlHandler(nullptr, FALSE);
    ::SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

// The C runtime's argv is in the ANSI code page, which cannot hold every
// letter of a file name: the wide command line can.
std::vector<std::string> argumentsOf(int, char**)
{
    int count = 0;
    wchar_t** const wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 1; wide != nullptr && i < count; ++i)
        arguments.push_back(utf8Of(wide[i]));
    ::LocalFree(wide);
    return arguments;
}

void endAtOnce(std::string_view message, int status) noexcept
{
    DWORD written = 0;
    ::WriteFile(::GetStdHandle(STD_ERROR_HANDLE), message.data(),
                static_cast<DWORD>(message.size()), &written, nullptr);
    ::TerminateProcess(::GetCurrentProcess(), static_cast<UINT>(status));
    ::ExitProcess(static_cast<UINT>(status));
}

}  // namespace konversi::cli
