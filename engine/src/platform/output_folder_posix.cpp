#include "platform/output_folder.h"

#include "konversi/error.h"
#include "platform/file_identity_posix.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <climits>
#include <csignal>

namespace konversi::detail::platform {

static_assert(maxNameLength <= NAME_MAX);

namespace {

ErrorCode openError(int error)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR: return ErrorCode::PathNotFound;
    default: return ErrorCode::PathFileAccess;
    }
}

int descriptor(OutputHandle file)
{
    return static_cast<int>(file);
}

}  // namespace

std::size_t nameStart(const std::string& path)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? 0 : slash + 1;
}

std::string folderOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

Folder openFolder(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) throw Error(openError(errno));
    return fd;
}

void closeFolder(Folder folder) noexcept
{
    ::close(folder);
}

std::optional<ExistingFile> inspect(Folder folder, const std::string& name)
{
    struct stat info {};
    if (::fstatat(folder, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
        if (errno == ENOENT) return std::nullopt;
        throw Error(openError(errno));
    }
    ExistingFile file;
    file.identity = identityOf(info);
    file.link = S_ISLNK(info.st_mode);
    if (file.link) {
        struct stat linked {};
        if (::fstatat(folder, name.c_str(), &linked, 0) == 0) file.linked = identityOf(linked);
    }
    file.writableFile =
        S_ISREG(info.st_mode) && ::faccessat(folder, name.c_str(), W_OK, AT_EACCESS) == 0;
    file.permissions = info.st_mode & 0777;
    return file;
}

std::optional<OutputHandle> createNew(Folder folder, const std::string& name)
{
    const int fd = ::openat(folder, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) return fd;
    if (errno == EEXIST) return std::nullopt;
    throw Error(openError(errno));
}

// A new file, or one replacing a symbolic link, keeps what the umask gives.
std::optional<FileIdentity> settle(OutputHandle file, const std::optional<ExistingFile>& replaced)
{
    struct stat info {};
    if (::fstat(descriptor(file), &info) != 0) return std::nullopt;
    if (replaced && !replaced->link &&
        ::fchmod(descriptor(file), static_cast<mode_t>(replaced->permissions)) != 0)
        return std::nullopt;
    return identityOf(info);
}

bool writeAll(OutputHandle file, const char* data, std::size_t size) noexcept
{
    while (size > 0) {
        const ssize_t written = ::write(descriptor(file), data, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

bool close(OutputHandle file) noexcept
{
    return ::close(descriptor(file)) == 0;
}

namespace {

bool isFolderAt(Folder folder, const std::string& name)
{
    struct stat info {};
    return ::fstatat(folder, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
           S_ISDIR(info.st_mode);
}

}  // namespace

// An existing target is swapped with the temporary, so that the earlier file
// waits under the temporary's name until the whole commit has succeeded: the
// swap is atomic, and a plain rename over it would make ext4 (auto_da_alloc,
// on by default) write the whole new file out within the rename, which costs
// a large conversion a third of its time. Where the file system cannot swap,
// or the target does not exist, it is a rename, and nothing is set aside.
Placement putInPlace(Folder folder, const std::string& temporary, const std::string& target)
{
    const char* const name = temporary.c_str();
    if (::renameat2(folder, name, folder, target.c_str(), RENAME_EXCHANGE) == 0) {
        if (!isFolderAt(folder, temporary)) return Placement::SetAside;
        // A folder took the target's name while converting: it goes back.
        putBack(folder, temporary, target, Placement::SetAside);
        return Placement::NotPlaced;
    }
    if (::renameat(folder, name, folder, target.c_str()) == 0) return Placement::Renamed;
    return Placement::NotPlaced;
}

void putBack(Folder folder, const std::string& temporary, const std::string& target,
             Placement placement)
{
    const char* const name = temporary.c_str();
    if (placement == Placement::SetAside) {
        ::renameat2(folder, name, folder, target.c_str(), RENAME_EXCHANGE);
    } else if (placement == Placement::Renamed) {
        ::renameat(folder, target.c_str(), folder, name);
    }
}

void removeSetAside(Folder folder, const std::string& temporary)
{
    ::unlinkat(folder, temporary.c_str(), 0);
}

void remove(Folder folder, const char* name) noexcept
{
    ::unlinkat(folder, name, 0);
}

namespace {

thread_local sigset_t stopsBeforeHolding;

}  // namespace

// The signals that stop konversi-cli wait, blocked, until released.
void holdStops() noexcept
{
    sigset_t stops;
    ::sigemptyset(&stops);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
        ::sigaddset(&stops, signal);
    ::pthread_sigmask(SIG_BLOCK, &stops, &stopsBeforeHolding);
}

void releaseStops() noexcept
{
    ::pthread_sigmask(SIG_SETMASK, &stopsBeforeHolding, nullptr);
}

// A signal is handled on a thread that does not hold it back.
void awaitHeldStops() noexcept {}

}  // namespace konversi::detail::platform
