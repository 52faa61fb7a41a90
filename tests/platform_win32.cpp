#include "cli_run.h"

#include <windows.h>

#include <psapi.h>  // after windows.h, which it needs

namespace konversi::test {

namespace {

std::wstring wide(const std::string& utf8)
{
    const std::u8string text(utf8.begin(), utf8.end());
    return std::filesystem::path(text).wstring();
}

// One argument as CommandLineToArgvW splits it back: quoted when it holds a
// blank or a quote, backslashes doubled only before a quote.
std::wstring quoted(const std::wstring& arg)
{
    if (!arg.empty() && arg.find_first_of(L" \t\n\v\"") == std::wstring::npos) return arg;
    std::wstring out = L"\"";
    for (auto it = arg.begin();; ++it) {
        std::size_t backslashes = 0;
        for (; it != arg.end() && *it == L'\\'; ++it)
            ++backslashes;
        if (it == arg.end()) {
            out.append(backslashes * 2, L'\\');
            break;
        }
        out.append(*it == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        out += *it;
    }
    return out + L'"';
}

HANDLE inheritable(const std::wstring& path, DWORD access, DWORD disposition)
{
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    return ::CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                         disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

// The limits and the user of CliRunOptions are Linux's; Windows runs ignore
// them.
CliProcess::CliProcess(const std::vector<std::string>& args, const CliRunOptions& options)
    : timeout_(options.timeout), outCaptured_(options.stdoutPath.empty())
{
    const std::string outFile = outCaptured_ ? capture_.file("stdout") : options.stdoutPath;
    std::wstring command = quoted(wide(KONVERSI_CLI));
    for (const auto& arg : args)
        command += L' ' + quoted(wide(arg));
    const HANDLE out = inheritable(wide(outFile), GENERIC_WRITE, CREATE_ALWAYS);
    const HANDLE err = inheritable(wide(capture_.file("stderr")), GENERIC_WRITE, CREATE_ALWAYS);
    const HANDLE nothing = inheritable(L"NUL", GENERIC_READ, OPEN_EXISTING);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nothing;
    startup.hStdOutput = out;
    startup.hStdError = err;
    const std::wstring folder = wide(options.workingFolder);
    PROCESS_INFORMATION started{};
    if (::CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                         folder.empty() ? nullptr : folder.c_str(), &startup, &started)) {
        ::CloseHandle(started.hThread);
        process_ = started.hProcess;
        pid_ = static_cast<pid_t>(started.dwProcessId);
    }
    for (const HANDLE handle : {out, err, nothing})
        ::CloseHandle(handle);
}

CliRun CliProcess::wait()
{
    CliRun run;
    if (process_ == nullptr) return run;
    const auto milliseconds = std::chrono::milliseconds(timeout_).count();
    if (::WaitForSingleObject(process_, static_cast<DWORD>(milliseconds)) == WAIT_TIMEOUT) {
        run.timedOut = true;
        ::TerminateProcess(process_, 137);
        ::WaitForSingleObject(process_, INFINITE);
    }
    DWORD status = 0;
    ::GetExitCodeProcess(process_, &status);
    PROCESS_MEMORY_COUNTERS memory{};
    if (::K32GetProcessMemoryInfo(process_, &memory, sizeof memory))
        run.maxRssKiB = static_cast<long>(memory.PeakWorkingSetSize / 1024);
    ::CloseHandle(process_);
    process_ = nullptr;
    pid_ = -1;
    run.exited = true;
    run.status = static_cast<int>(status);
    if (outCaptured_) run.out = readFile(capture_.file("stdout"));
    run.err = readFile(capture_.file("stderr"));
    return run;
}

bool makeFifo(const std::string&)
{
    return false;
}

}  // namespace konversi::test
