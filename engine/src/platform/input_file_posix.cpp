#include "platform/input_file.h"

#include "konversi/error.h"
#include "platform/file_identity_posix.h"
#include "platform/output_folder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>

namespace konversi::detail {

namespace {

bool isFolder(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

ErrorCode openError(int error, const std::string& path)
{
    switch (error) {
    case ENOENT:
        return isFolder(platform::folderOf(path)) ? ErrorCode::FileNotFound
                                                  : ErrorCode::PathNotFound;
    case ENOTDIR: return ErrorCode::PathNotFound;
    default: return ErrorCode::PathFileAccess;
    }
}

int descriptor(std::intptr_t handle)
{
    return static_cast<int>(handle);
}

}  // namespace

bool isReadOnce(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode);
}

bool startsWith(const std::string& path, std::string_view start)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    std::string bytes(start.size(), '\0');
    const ssize_t count = ::pread(fd, bytes.data(), bytes.size(), 0);
    ::close(fd);
    return count == static_cast<ssize_t>(start.size()) && bytes == start;
}

InputFile::InputFile(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw Error(openError(errno, path));
    struct stat info {};
    if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        ::close(fd);
        throw Error(ErrorCode::PathFileAccess);
    }
    handle_ = fd;
    identity_ = platform::identityOf(info);
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
}

InputFile::~InputFile()
{
    ::close(descriptor(handle_));
}

std::size_t InputFile::read(char* data, std::size_t size)
{
    ssize_t count;
    do {
        count = ::read(descriptor(handle_), data, size);
    } while (count < 0 && errno == EINTR);
    if (count < 0) throw Error(ErrorCode::PathFileAccess);
    return static_cast<std::size_t>(count);
}

std::optional<std::size_t> InputFile::readAt(char* data, std::size_t size,
                                             std::uint64_t offset) noexcept
{
    for (;;) {
        const ssize_t count = ::pread(descriptor(handle_), data, size, static_cast<off_t>(offset));
        if (count >= 0) return static_cast<std::size_t>(count);
        if (errno != EINTR) return std::nullopt;
    }
}

}  // namespace konversi::detail
