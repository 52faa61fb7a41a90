#include "platform.h"

#include <commdlg.h>

#include <vector>

namespace konversi::win32 {

namespace {

// The folder of the last file chosen is kept in the user's part of the
// registry, so the dialog opens there again after a restart.
constexpr wchar_t kSettingsKey[] = L"Software\\Konversi";
constexpr wchar_t kLastFolder[] = L"LastFolder";

std::wstring lastFolder()
{
    wchar_t folder[MAX_PATH * 4];
    DWORD size = sizeof folder;
    if (RegGetValueW(HKEY_CURRENT_USER, kSettingsKey, kLastFolder, RRF_RT_REG_SZ, nullptr, folder,
                     &size) != ERROR_SUCCESS) {
        return {};
    }
    return folder;
}

void rememberFolder(const std::wstring& folder)
{
    RegSetKeyValueW(HKEY_CURRENT_USER, kSettingsKey, kLastFolder, REG_SZ, folder.c_str(),
                    static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t)));
}

bool isFolder(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

std::string toUtf8(std::wstring_view text)
{
    if (text.empty()) return {};
    const int length = static_cast<int>(text.size());
    std::string utf8(
        WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), length, utf8.data(), static_cast<int>(utf8.size()),
                        nullptr, nullptr);
    return utf8;
}

std::wstring fromUtf8(std::string_view text)
{
    if (text.empty()) return {};
    const int length = static_cast<int>(text.size());
    std::wstring wide(MultiByteToWideChar(CP_UTF8, 0, text.data(), length, nullptr, 0), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), length, wide.data(),
                        static_cast<int>(wide.size()));
    return wide;
}

std::optional<ChosenFile> chooseFile(HWND owner, const wchar_t* filters)
{
    // Room for the longest path Windows can name.
    std::vector<wchar_t> path(32768, L'\0');
    // A folder deleted since is not opened; the dialog starts where it would.
    std::wstring folder = lastFolder();
    if (!isFolder(folder)) folder.clear();

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filters;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = path.data();
    dialog.nMaxFile = static_cast<DWORD>(path.size());
    dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    // Neither the file nor its folder must exist: a typed name is taken as
    // it is, and the conversion reports what is missing.
    dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_ENABLESIZING;
    if (!GetOpenFileNameW(&dialog)) return std::nullopt;

    const std::wstring chosen(path.data());
    rememberFolder(chosen.substr(0, dialog.nFileOffset));
    return ChosenFile{chosen, chosen.substr(dialog.nFileOffset)};
}

void showError(HWND owner, int number, std::wstring_view message)
{
    std::wstring caption(256, L'\0');
    caption.resize(GetWindowTextW(owner, caption.data(), static_cast<int>(caption.size())));
    const std::wstring text = L"Error " + std::to_wstring(number) + L": " + std::wstring(message);
    MessageBoxW(owner, text.c_str(), caption.c_str(), MB_OK | MB_ICONERROR);
}

}  // namespace konversi::win32
