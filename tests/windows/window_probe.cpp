// Reports what the running konversi.exe shows, for the smoke test that drives
// it through X with xdotool: where its client area lies on the screen and its
// size, which of the states it is in, the three value labels, the radio
// button that is on, the control with the focus, and the text of an error
// box it shows. One "name value" line each, in UTF-8.

#include "layout.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <utility>

using namespace konversi::win32;

namespace {

std::string utf8(const std::wstring& text)
{
    std::string out(text.size() * 3, '\0');
    out.resize(WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                   out.data(), static_cast<int>(out.size()), nullptr, nullptr));
    return out;
}

std::wstring textOf(HWND control)
{
    std::wstring text(GetWindowTextLengthW(control) + 1, L'\0');
    text.resize(GetWindowTextW(control, text.data(), static_cast<int>(text.size())));
    return text;
}

// Named as in the window's design.
const char* state(HWND window)
{
    HWND proses = GetDlgItem(window, Command2);
    HWND status = GetDlgItem(window, Command3);
    if (IsWindowVisible(proses) && !IsWindowVisible(status)) {
        return IsWindowEnabled(proses) ? "Ready" : "Start";
    }
    if (!IsWindowVisible(proses) && IsWindowVisible(status)) {
        if (!IsWindowEnabled(status) && textOf(status) == L"Tunggu!!!") return "Busy";
        if (IsWindowEnabled(status) && textOf(status) == L"Selesai!") return "Done";
    }
    return "broken";
}

const char* controlName(int id)
{
    static const char* const names[] = {"Command1", "Command2", "Command3", "Option1",
                                        "Option2",  "Option3",  "Option4"};
    return id >= Command1 && id <= Option4 ? names[id - Command1] : "none";
}

// A message box of the program: a dialog of the same process, with its text
// in the control numbered 0xFFFF.
BOOL CALLBACK findMessageBox(HWND candidate, LPARAM found)
{
    wchar_t className[16];
    DWORD process = 0;
    GetWindowThreadProcessId(candidate, &process);
    HWND main = FindWindowW(L"KonversiForm1", nullptr);
    DWORD mainProcess = 0;
    GetWindowThreadProcessId(main, &mainProcess);
    if (process == mainProcess && IsWindowVisible(candidate) &&
        GetClassNameW(candidate, className, 16) && std::wstring(className) == L"#32770" &&
        GetDlgItem(candidate, 0xFFFF) != nullptr) {
        *reinterpret_cast<HWND*>(found) = candidate;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

int main()
{
    HWND window = FindWindowW(L"KonversiForm1", nullptr);
    if (window == nullptr) {
        std::puts("window none");
        return 1;
    }
    std::printf("window %s\n", utf8(textOf(window)).c_str());
    POINT client{0, 0};
    ClientToScreen(window, &client);
    RECT size;
    GetClientRect(window, &size);
    std::printf("client %ld %ld %ld %ld\n", client.x, client.y, size.right, size.bottom);
    std::printf("state %s\n", state(window));
    for (const auto& [label, name] :
         {std::pair{Label5, "Label5"}, std::pair{Label7, "Label7"}, std::pair{Label9, "Label9"}}) {
        std::printf("%s %s\n", name, utf8(textOf(GetDlgItem(window, label))).c_str());
    }
    for (int option = Option1; option <= Option4; ++option) {
        if (IsDlgButtonChecked(window, option) == BST_CHECKED) {
            std::printf("checked %s\n", controlName(option));
        }
    }
    GUITHREADINFO thread{};
    thread.cbSize = sizeof thread;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &thread);
    std::printf("focus %s\n", controlName(thread.hwndFocus ? GetDlgCtrlID(thread.hwndFocus) : 0));
    HWND box = nullptr;
    EnumWindows(findMessageBox, reinterpret_cast<LPARAM>(&box));
    if (box != nullptr) {
        std::printf("message %s\n", utf8(textOf(GetDlgItem(box, 0xFFFF))).c_str());
    }
    return 0;
}
