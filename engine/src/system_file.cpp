#include "system_file.h"

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

std::string folderOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

ErrorCode inputOpenError(int error, const std::string& path)
{
    switch (error) {
    case ENOENT:
        return isFolder(folderOf(path)) ? ErrorCode::FileNotFound : ErrorCode::PathNotFound;
    case ENOTDIR: return ErrorCode::PathNotFound;
    default: return ErrorCode::PathFileAccess;
    }
}

ErrorCode outputOpenError(int error)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR: return ErrorCode::PathNotFound;
    default: return ErrorCode::PathFileAccess;
    }
}

}  // namespace konversi::detail
