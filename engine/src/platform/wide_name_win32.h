#pragma once

#include <windows.h>

#include <string>

namespace konversi::detail::platform {

inline std::wstring utf16Of(const std::string& utf8)
{
    if (utf8.empty()) return {};
    const int size =
        ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(),
                          size);
    return wide;
}

// A path as the wide calls take it. One of MAX_PATH characters or more works
// only as an extended-length path ("\\?\C:\...", "\\?\UNC\server\..."),
// which takes no "/", "." or "..": it is made from the full path. The margin
// leaves room for a file name in a folder, as CreateDirectoryW does.
inline std::wstring systemPath(std::wstring path)
{
    constexpr std::size_t shortEnough = MAX_PATH - 12;
    if (path.size() < shortEnough || path.starts_with(L"\\\\?\\") || path.starts_with(L"\\\\.\\"))
        return path;
    const DWORD size = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (size == 0) return path;
    std::wstring full(size, L'\0');
    full.resize(::GetFullPathNameW(path.c_str(), size, full.data(), nullptr));
    if (full.starts_with(L"\\\\")) return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

// A UTF-8 name as the wide calls of Windows take it, so that any letter
// works whatever the ANSI code page.
inline std::wstring wideName(const std::string& name)
{
    return systemPath(utf16Of(name));
}

inline bool isFolder(const std::wstring& path)
{
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace konversi::detail::platform
