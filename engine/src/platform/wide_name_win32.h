#pragma once

#include <windows.h>

#include <string>

namespace konversi::detail::platform {

// A UTF-8 name as the wide calls of Windows take it, so that any letter
// works whatever the ANSI code page.
inline std::wstring wideName(const std::string& name)
{
    if (name.empty()) return {};
    const int size =
        ::MultiByteToWideChar(CP_UTF8, 0, name.data(), static_cast<int>(name.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, name.data(), static_cast<int>(name.size()), wide.data(),
                          size);
    return wide;
}

inline bool isFolder(const std::wstring& path)
{
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace konversi::detail::platform
