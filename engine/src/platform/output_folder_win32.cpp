#include "platform/output_folder.h"

#include "konversi/error.h"
#include "platform/file_identity_win32.h"
#include "platform/wide_name_win32.h"

#include <algorithm>
#include <mutex>
#include <string_view>
#include <vector>

namespace konversi::detail::platform {

namespace {

constexpr std::string_view separators = "/\\";

bool hasDrive(const std::string& path)
{
    return path.size() >= 2 && path[1] == ':';
}

ErrorCode openError(DWORD error)
{
    switch (error) {
    case ERROR_PATH_NOT_FOUND:
    case ERROR_DIRECTORY:
    case ERROR_BAD_NETPATH: return ErrorCode::PathNotFound;
    default: return ErrorCode::PathFileAccess;
    }
}

HANDLE handleOf(OutputHandle file)
{
    return reinterpret_cast<HANDLE>(file);
}

// Windows has no calls relative to an open folder, so a Folder is the number
// of its path here, ending in a separator. The paths stay for the life of
// the process: a stop, on a thread of its own, may still need one.
class FolderPaths {
public:
    Folder add(std::wstring path)
    {
        const std::lock_guard lock(mutex_);
        const auto known = std::find(paths_.begin(), paths_.end(), path);
        if (known != paths_.end()) return static_cast<Folder>(known - paths_.begin());
        paths_.push_back(std::move(path));
        return static_cast<Folder>(paths_.size() - 1);
    }

    std::wstring pathOf(Folder folder, const std::string& name)
    {
        const std::lock_guard lock(mutex_);
        return systemPath(paths_[static_cast<std::size_t>(folder)] + utf16Of(name));
    }

private:
    std::mutex mutex_;
    std::vector<std::wstring> paths_;
};

FolderPaths folderPaths;

// Another program that has just opened the new file, such as a virus
// scanner or an indexer, lets go of it soon.
bool busy(DWORD error)
{
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}
constexpr int busyAttempts = 20;
constexpr DWORD busyPauseMs = 50;

// Held while outputs are renamed; a stop takes it and never gives it back.
SRWLOCK stopsLock = SRWLOCK_INIT;

}  // namespace

std::size_t nameStart(const std::string& path)
{
    const auto separator = path.find_last_of(separators);
    if (separator != std::string::npos) return separator + 1;
    return hasDrive(path) ? 2 : 0;
}

// "C:\" and "\" are folders of their own; "C:name" is in the drive's current
// folder.
std::string folderOf(const std::string& path)
{
    const auto separator = path.find_last_of(separators);
    if (separator == std::string::npos) return hasDrive(path) ? path.substr(0, 2) : ".";
    if (separator == 0 || (separator == 2 && hasDrive(path))) return path.substr(0, separator + 1);
    return path.substr(0, separator);
}

Folder openFolder(const std::string& path)
{
    std::wstring wide = wideName(path);
    if (::GetFileAttributesW(wide.c_str()) == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = ::GetLastError();
        throw Error(error == ERROR_FILE_NOT_FOUND ? ErrorCode::PathNotFound : openError(error));
    }
    if (!isFolder(wide)) throw Error(ErrorCode::PathNotFound);
    if (wide.back() != L'\\' && wide.back() != L'/' && wide.back() != L':') wide += L'\\';
    return folderPaths.add(std::move(wide));
}

void closeFolder(Folder) noexcept {}

// Symbolic links are rare on Windows and opened through here: the identity
// is that of the file a link leads to, so that a link to the input is
// refused all the same.
std::optional<ExistingFile> inspect(Folder folder, const std::string& name)
{
    const HANDLE file =
        ::CreateFileW(folderPaths.pathOf(folder, name).c_str(), FILE_READ_ATTRIBUTES,
                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_NOT_FOUND) return std::nullopt;
        throw Error(openError(error));
    }
    BY_HANDLE_FILE_INFORMATION info{};
    const bool known = ::GetFileInformationByHandle(file, &info);
    const bool onDisk = ::GetFileType(file) == FILE_TYPE_DISK;
    ::CloseHandle(file);
    if (!known) throw Error(ErrorCode::PathFileAccess);
    ExistingFile existing;
    existing.identity = identityOf(info);
    existing.writableFile = onDisk && (info.dwFileAttributes &
                                       (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) == 0;
    return existing;
}

// A stop may remove the file while it is open.
std::optional<OutputHandle> createNew(Folder folder, const std::string& name)
{
    const HANDLE file = ::CreateFileW(folderPaths.pathOf(folder, name).c_str(), GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) return reinterpret_cast<OutputHandle>(file);
    const DWORD error = ::GetLastError();
    if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) return std::nullopt;
    throw Error(openError(error));
}

// The new file takes the folder's permissions, as any file saved there.
std::optional<FileIdentity> settle(OutputHandle file, const std::optional<ExistingFile>&)
{
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(handleOf(file), &info)) return std::nullopt;
    return identityOf(info);
}

bool writeAll(OutputHandle file, const char* data, std::size_t size) noexcept
{
    constexpr std::size_t largestWrite = std::size_t{1} << 30;  // a DWORD count
    while (size > 0) {
        DWORD written = 0;
        if (!::WriteFile(handleOf(file), data, static_cast<DWORD>(std::min(size, largestWrite)),
                         &written, nullptr) ||
            written == 0)
            return false;
        data += written;
        size -= written;
    }
    return true;
}

bool close(OutputHandle file) noexcept
{
    return ::CloseHandle(handleOf(file)) != 0;
}

namespace {

// Where the file a commit replaces waits: the temporary's name with "~" for
// its "-", as long as the temporary's own.
std::string asideNameOf(const std::string& temporary)
{
    std::string aside = temporary;
    aside[aside.rfind('-')] = '~';
    return aside;
}

// Calls `move` again while another program holds the file.
template <class Move>
bool moveWhenFree(Move move)
{
    for (int attempt = 1;; ++attempt) {
        if (move()) return true;
        if (!busy(::GetLastError()) || attempt == busyAttempts) return false;
        ::Sleep(busyPauseMs);
    }
}

bool renameOver(const std::wstring& from, const std::wstring& to)
{
    return moveWhenFree([&] {
        return ::MoveFileExW(from.c_str(), to.c_str(),
                             MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    });
}

}  // namespace

// ReplaceFileW swaps the new file in and keeps the old one under a backup
// name, giving the new file the old one's attributes and permissions. A
// missing target is a plain rename, written through: the new name is on disk
// when the call returns.
Placement putInPlace(Folder folder, const std::string& temporary, const std::string& target)
{
    const std::wstring from = folderPaths.pathOf(folder, temporary);
    const std::wstring to = folderPaths.pathOf(folder, target);
    const std::wstring aside = folderPaths.pathOf(folder, asideNameOf(temporary));
    if (moveWhenFree([&] {
            return ::ReplaceFileW(to.c_str(), from.c_str(), aside.c_str(),
                                  REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr) != 0;
        })) {
        if (!isFolder(aside)) return Placement::SetAside;
        // A folder took the target's name while converting (Wine replaces
        // one): it goes back.
        putBack(folder, temporary, target, Placement::SetAside);
        return Placement::NotPlaced;
    }
    switch (::GetLastError()) {
    case ERROR_FILE_NOT_FOUND:
        return renameOver(from, to) ? Placement::Renamed : Placement::NotPlaced;
    case ERROR_UNABLE_TO_MOVE_REPLACEMENT_2:
        // The old file was moved to the backup name, the new one not to the
        // target's: the old one goes back.
        renameOver(aside, to);
        return Placement::NotPlaced;
    default: return Placement::NotPlaced;
    }
}

void putBack(Folder folder, const std::string& temporary, const std::string& target,
             Placement placement)
{
    const std::wstring name = folderPaths.pathOf(folder, temporary);
    const std::wstring to = folderPaths.pathOf(folder, target);
    if (placement == Placement::SetAside) {
        const std::wstring aside = folderPaths.pathOf(folder, asideNameOf(temporary));
        renameOver(to, name);
        renameOver(aside, to);
    } else if (placement == Placement::Renamed) {
        renameOver(to, name);
    }
}

void removeSetAside(Folder folder, const std::string& temporary)
{
    ::DeleteFileW(folderPaths.pathOf(folder, asideNameOf(temporary)).c_str());
}

void remove(Folder folder, const char* name) noexcept
{
    try {
        ::DeleteFileW(folderPaths.pathOf(folder, name).c_str());
    } catch (...) {
        // No memory for the name: the temporary stays, as after a crash.
    }
}

void holdStops() noexcept
{
    ::AcquireSRWLockExclusive(&stopsLock);
}

void releaseStops() noexcept
{
    ::ReleaseSRWLockExclusive(&stopsLock);
}

// Windows runs a console's stop on a thread of its own, beside the
// conversion: it waits until the renaming is over and keeps any other from
// starting.
void awaitHeldStops() noexcept
{
    ::AcquireSRWLockExclusive(&stopsLock);
}

}  // namespace konversi::detail::platform
