#include "main_window.h"

#include <konversi/conversion_job.h>
#include <konversi/converters.h>

#include <shellapi.h>

#include <exception>
#include <new>

namespace konversi::win32 {

namespace {

// Sent by the worker thread when the conversion has ended.
constexpr UINT kConversionDone = WM_APP + 1;

// Label and pattern pairs, as the open dialog takes them. Windows matches
// "*.*" to every name, also one without a dot.
constexpr wchar_t kTextFilters[] = L"TXT (*.txt)\0*.txt\0Semua (*.*)\0*.*\0";
constexpr wchar_t kDxfFilters[] = L"DXF (*.dxf)\0*.dxf\0Semua (*.*)\0*.*\0";

// What the user is shown for an exception: the engine's errors as they are,
// running out of memory as error 7, and anything else as error 51, a fault
// of the program shown instead of ending it.
Error asError(const std::exception_ptr& fault)
{
    try {
        std::rethrow_exception(fault);
    } catch (const Error& error) {
        return error;
    } catch (const std::bad_alloc&) {
        return Error(ErrorCode::OutOfMemory);
    } catch (...) {
        return Error(ErrorCode::InternalError);
    }
}

// Runs on the worker thread, which nothing may leave as an exception.
std::optional<Error> runConversion(const ConversionJob& job, ConversionMode mode)
{
    try {
        convert(job, mode);
    } catch (...) {
        return asError(std::current_exception());
    }
    return std::nullopt;
}

// What the user does to the window, as against what the window system does
// to it (painting, moving the mouse across it, moving or closing it by its
// frame).
bool isUserAction(UINT message)
{
    return (message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
           (message >= WM_LBUTTONDOWN && message <= WM_MOUSELAST);
}

bool isChecked(HWND button)
{
    return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void showError(HWND owner, const Error& error)
{
    win32::showError(owner, error.number(), fromUtf8(error.what()));
}

}  // namespace

std::wstring folderText(const std::wstring& inPath, const std::wstring& inDir)
{
    constexpr std::size_t kShown = 35;
    if (inDir.size() <= kShown) return inDir;
    return inPath.substr(0, 3) + L"..." + inDir.substr(inDir.size() - kShown);
}

MainWindow::MainWindow(HINSTANCE instance) : Form1(instance)
{
    load();
}

// A program that quits mid-conversion still lets it finish, so it never ends
// with a file half written.
MainWindow::~MainWindow()
{
    if (worker_.joinable()) worker_.join();
}

void MainWindow::load()
{
    ShowWindow(item(Command2), SW_SHOW);
    EnableWindow(item(Command2), FALSE);
    ShowWindow(item(Command3), SW_HIDE);
    CheckRadioButton(hwnd(), Option1, Option4, Option1);
    followCheckedOption();
    DragAcceptFiles(hwnd(), TRUE);
    // Focus starts on "?", the first control in the keyboard order.
    focus_ = item(Command1);
}

void MainWindow::show(int how)
{
    ShowWindow(hwnd(), how);
    UpdateWindow(hwnd());
    SetFocus(focus_);
}

bool MainWindow::preview(const MSG& message)
{
    if (message.hwnd != hwnd() && !IsChild(hwnd(), message.hwnd)) return false;
    // A click or key while converting is dropped, not kept for later: the
    // user cannot see what it would do once the conversion is over.
    if (busy_ && isUserAction(message.message)) return true;
    if (message.message != WM_KEYDOWN && message.message != WM_SYSKEYDOWN) return false;
    if (message.wParam == VK_ESCAPE) {
        reset();
        return true;
    }
    // Enter presses the focused button (one of the three buttons or four
    // radio buttons) as Space does; no button is the window's default, so
    // Enter never acts on a button without the focus.
    HWND focused = GetFocus();
    if (message.wParam == VK_RETURN && focused != nullptr && IsChild(hwnd(), focused) &&
        GetDlgCtrlID(focused) >= Command1 && GetDlgCtrlID(focused) <= Option4) {
        SendMessageW(focused, BM_CLICK, 0, 0);
        return true;
    }
    return false;
}

// A fault while handling a message is shown like a failed conversion, and the
// window returns to its start.
LRESULT MainWindow::onMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    try {
        return handle(message, wParam, lParam);
    } catch (...) {
        showError(hwnd(), asError(std::current_exception()));
        if (!busy_) reset();
        return 0;
    }
}

LRESULT MainWindow::handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED) command(LOWORD(wParam));
        return 0;
    case WM_DROPFILES: dropFiles(reinterpret_cast<HDROP>(wParam)); return 0;
    case kConversionDone: finishConversion(); return 0;
    case WM_SETCURSOR:
        if (busy_ && LOWORD(lParam) == HTCLIENT) {
            SetCursor(LoadCursorW(nullptr, IDC_WAIT));
            return TRUE;
        }
        break;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            if (HWND focused = GetFocus(); focused != nullptr && IsChild(hwnd(), focused)) {
                focus_ = focused;
            }
        } else {
            SetFocus(IsWindowVisible(focus_) && IsWindowEnabled(focus_) ? focus_ : item(Command1));
        }
        return 0;
    // Closing waits for the conversion, which is short, and then closes
    // without reporting its outcome: the user has left.
    case WM_CLOSE:
        if (busy_) {
            closeWhenDone_ = true;
            return 0;
        }
        break;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    }
    return Form1::onMessage(message, wParam, lParam);
}

void MainWindow::command(int id)
{
    switch (id) {
    case Command1: chooseInput(); break;
    case Command2: process(); break;
    case Command3: reset(); break;
    case Option1:
    case Option2:
    case Option3:
    case Option4: followCheckedOption(); break;
    }
}

ConversionMode MainWindow::selectedMode() const
{
    if (isChecked(item(Option2))) return ConversionMode::TextToPolyline;
    if (isChecked(item(Option3))) return ConversionMode::PointToText;
    if (isChecked(item(Option4))) return ConversionMode::PolylineToText;
    return ConversionMode::TextToPoint;
}

void MainWindow::chooseInput()
{
    const ConversionMode mode = selectedMode();
    const bool readsText =
        mode == ConversionMode::TextToPoint || mode == ConversionMode::TextToPolyline;
    const std::optional<ChosenFile> chosen =
        chooseFile(hwnd(), readsText ? kTextFilters : kDxfFilters);
    if (!chosen) {
        // A cancel keeps the job and the buttons as they were.
        clearValues();
        return;
    }
    takeInput(*chosen, mode);
}

// A single file dropped on the window is taken as if chosen with "?"; several
// files, or a folder, are refused.
void MainWindow::dropFiles(HDROP drop)
{
    std::wstring path;
    if (!busy_ && DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0) == 1) {
        path.resize(DragQueryFileW(drop, 0, nullptr, 0));
        DragQueryFileW(drop, 0, path.data(), static_cast<UINT>(path.size() + 1));
    }
    DragFinish(drop);
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (path.empty() ||
        (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))) {
        return;
    }
    takeInput({path, fromUtf8(fileNameOf(toUtf8(path)))}, selectedMode());
}

void MainWindow::takeInput(const ChosenFile& input, ConversionMode mode)
{
    job_.fill(toUtf8(input.fullPath), toUtf8(input.fileName), mode);
    const std::string_view extension = outputExtension(mode);
    setText(Label5, folderText(fromUtf8(job_.inPath), fromUtf8(job_.inDir)));
    setText(Label7, fromUtf8(job_.inTitle));
    setText(Label9, fromUtf8(job_.baseName) + fromUtf8(extension));
    // After a conversion "Proses" stays hidden until a reset shows it again.
    EnableWindow(item(Command2), TRUE);
}

void MainWindow::process()
{
    ShowWindow(item(Command2), SW_HIDE);
    SetWindowTextW(item(Command3), L"Tunggu!!!");
    EnableWindow(item(Command3), FALSE);
    ShowWindow(item(Command3), SW_SHOW);
    keepFocus();
    busy_ = true;
    SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    UpdateWindow(hwnd());
    try {
        worker_ = std::thread([this, window = hwnd(), job = job_, mode = selectedMode()] {
            failure_ = runConversion(job, mode);
            PostMessageW(window, kConversionDone, 0, 0);
        });
    } catch (...) {
        failure_ = asError(std::current_exception());
        PostMessageW(hwnd(), kConversionDone, 0, 0);
    }
}

void MainWindow::finishConversion()
{
    if (worker_.joinable()) worker_.join();
    busy_ = false;
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
    if (closeWhenDone_) {
        DestroyWindow(hwnd());
        return;
    }
    if (failure_) {
        // Bad input is the user's everyday mistake: say what went wrong and
        // let them choose again instead of closing the program.
        const Error failure = *failure_;
        failure_.reset();
        showError(hwnd(), failure);
        reset();
        return;
    }
    EnableWindow(item(Command3), TRUE);
    SetWindowTextW(item(Command3), L"Selesai!");
}

void MainWindow::reset()
{
    clearValues();
    ShowWindow(item(Command2), SW_SHOW);
    EnableWindow(item(Command2), FALSE);
    ShowWindow(item(Command3), SW_HIDE);
    keepFocus();
}

void MainWindow::clearValues()
{
    for (ControlId id : {Label5, Label7, Label9})
        setText(id, {});
}

void MainWindow::setText(ControlId id, const std::wstring& text)
{
    SetWindowTextW(item(id), text.c_str());
}

// The checked radio button is its group's tab stop, so Tab reaches the group
// at the conversion chosen, and the arrow keys move within it.
void MainWindow::followCheckedOption()
{
    for (ControlId id : {Option1, Option2, Option3, Option4}) {
        HWND option = item(id);
        const LONG_PTR style = GetWindowLongPtrW(option, GWL_STYLE);
        SetWindowLongPtrW(option, GWL_STYLE,
                          isChecked(option) ? style | WS_TABSTOP : style & ~WS_TABSTOP);
    }
}

// A button that hides or disables itself loses the focus to the window, where
// Enter and Space would reach no control; "?" takes it instead.
void MainWindow::keepFocus()
{
    HWND focused = GetFocus();
    if (GetActiveWindow() != hwnd()) return;
    if (focused == nullptr || focused == hwnd() || !IsWindowVisible(focused) ||
        !IsWindowEnabled(focused)) {
        SetFocus(item(Command1));
    }
}

}  // namespace konversi::win32
