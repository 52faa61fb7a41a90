#include "system_file.h"

#include <sys/stat.h>
#include <cerrno>

namespace konversi::detail {

namespace {

bool isFolder(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

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
