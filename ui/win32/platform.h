#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace konversi::win32 {

// The engine takes file names in UTF-8; Windows gives and shows them in UTF-16.
std::string toUtf8(std::wstring_view text);
std::wstring fromUtf8(std::string_view text);

struct ChosenFile {
    std::wstring fullPath;
    std::wstring fileName;  // without its folder
};

// Asks the user for one input file with the system's open dialog. `filters`
// is the dialog's list of label and pattern pairs, each ended by a NUL, the
// first preselected. A typed name of a missing file is accepted; nothing
// means cancel. The dialog opens in the folder of the last file chosen with
// it, also after a restart.
std::optional<ChosenFile> chooseFile(HWND owner, const wchar_t* filters);

// Shows an error's number and message and returns when the user has read it.
void showError(HWND owner, int number, std::wstring_view message);

}  // namespace konversi::win32
