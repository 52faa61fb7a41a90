#include "platform/input_file.h"

#include "konversi/error.h"
#include "platform/file_identity_win32.h"
#include "platform/output_folder.h"
#include "platform/wide_name_win32.h"

#include <algorithm>
#include <string_view>

namespace konversi::detail {

namespace {

ErrorCode openError(DWORD error, const std::string& path)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_INVALID_NAME:
        return platform::isFolder(platform::wideName(platform::folderOf(path)))
                   ? ErrorCode::FileNotFound
                   : ErrorCode::PathNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_DIRECTORY:
    case ERROR_BAD_NETPATH: return ErrorCode::PathNotFound;
    default: return ErrorCode::PathFileAccess;
    }
}

HANDLE handleOf(std::intptr_t handle)
{
    return reinterpret_cast<HANDLE>(handle);
}

// One ReadFile takes a DWORD count.
constexpr std::size_t largestRead = std::size_t{1} << 30;

// Reads at `offset` through OVERLAPPED, which on a handle opened for
// synchronous reading waits for the bytes like a plain read. Nothing when
// the system fails.
std::optional<std::size_t> readFrom(HANDLE file, char* data, std::size_t size,
                                    std::uint64_t offset) noexcept
{
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD count = 0;
    if (::ReadFile(file, data, static_cast<DWORD>(std::min(size, largestRead)), &count, &at))
        return count;
    if (::GetLastError() == ERROR_HANDLE_EOF) return 0;
    return std::nullopt;
}

// Named pipes are opened only to be read: opening one to look at it would
// take a connection from its server.
bool isPipeName(const std::string& path)
{
    for (const std::string_view pipes : {"\\\\.\\pipe\\", "\\\\?\\pipe\\", "//./pipe/"}) {
        if (path.starts_with(pipes)) return true;
    }
    return false;
}

// Opened to learn what it is, without reading or writing.
HANDLE openToLookAt(const std::string& path)
{
    return ::CreateFileW(platform::wideName(path).c_str(), 0,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

}  // namespace

bool isReadOnce(const std::string& path)
{
    if (isPipeName(path)) return true;
    const HANDLE file = openToLookAt(path);
    if (file == INVALID_HANDLE_VALUE) return false;
    const bool onDisk = ::GetFileType(file) == FILE_TYPE_DISK;
    ::CloseHandle(file);
    return !onDisk;
}

bool startsWith(const std::string& path, std::string_view start)
{
    if (isReadOnce(path)) return false;
    try {
        InputFile file(path);
        std::string bytes(start.size(), '\0');
        return file.readAt(bytes.data(), bytes.size(), 0) == start.size() && bytes == start;
    } catch (const Error&) {
        return false;
    }
}

// Others may read, write, rename or remove the file while it is read, as
// they may on POSIX. A folder cannot be opened this way: error 75.
InputFile::InputFile(const std::string& path)
{
    const HANDLE file = ::CreateFileW(platform::wideName(path).c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) throw Error(openError(::GetLastError(), path));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(file, &info)) {
        ::CloseHandle(file);
        throw Error(ErrorCode::PathFileAccess);
    }
    handle_ = reinterpret_cast<std::intptr_t>(file);
    identity_ = platform::identityOf(info);
}

InputFile::~InputFile()
{
    ::CloseHandle(handleOf(handle_));
}

std::size_t InputFile::read(char* data, std::size_t size)
{
    const std::optional<std::size_t> count = readFrom(handleOf(handle_), data, size, position_);
    if (!count) throw Error(ErrorCode::PathFileAccess);
    position_ += *count;
    return *count;
}

std::optional<std::size_t> InputFile::readAt(char* data, std::size_t size,
                                             std::uint64_t offset) noexcept
{
    return readFrom(handleOf(handle_), data, size, offset);
}

}  // namespace konversi::detail
