#include "main_window.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show)
{
    konversi::win32::MainWindow window(instance);
    window.show(show);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (window.preview(message)) continue;
        // Tab, the arrow keys and Space move through the controls as in a dialog.
        if (IsDialogMessageW(window.hwnd(), &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
