#include "form1.h"

#include "resource_ids.h"

#include <iterator>

namespace konversi::win32 {

namespace {

constexpr wchar_t kClassName[] = L"KonversiForm1";
constexpr wchar_t kCaption[] = L"Konversi : ASCII <--> DXF";

// A fixed frame: the controls sit at fixed places, so the window keeps its
// size and has no maximise box.
constexpr DWORD kWindowStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;

// A disabled caption in a grey dark enough to read on every face, the light
// yellow of the status button included, where the system's grey text fades.
constexpr COLORREF kDisabledText = RGB(96, 96, 96);

HICON loadIcon(HINSTANCE instance, int size)
{
    return static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(KONVERSI_ICON), IMAGE_ICON, size, size, 0));
}

void registerClass(HINSTANCE instance, WNDPROC windowProc)
{
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = loadIcon(instance, 32);
    windowClass.hIconSm = loadIcon(instance, 16);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kClassName;
    RegisterClassExW(&windowClass);
}

// The frame around the fixed client area, centred in the screen's work area.
RECT frameRect()
{
    RECT frame{0, 0, kClientWidth, kClientHeight};
    AdjustWindowRectEx(&frame, kWindowStyle, FALSE, 0);
    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    const int left = work.left + (work.right - work.left - width) / 2;
    const int top = work.top + (work.bottom - work.top - height) / 2;
    return {left, top, left + width, top + height};
}

// Every button and label starts a group of its own; the radio buttons form
// one group, whose checked button is its tab stop, and selecting one clears
// the others.
DWORD controlStyle(const ControlLayout& layout)
{
    const DWORD common = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
    switch (layout.kind) {
    case Kind::PushButton:
        // Drawn by the window, so that its face takes the design's colour.
        return common | WS_GROUP | WS_TABSTOP | BS_OWNERDRAW;
    case Kind::RadioButton:
        return common | BS_AUTORADIOBUTTON | (layout.id == Option1 ? WS_GROUP | WS_TABSTOP : 0);
    case Kind::Label:
        // File names are shown as they are ("&" included), and a long one is
        // cut at the label's right edge.
        return common | WS_GROUP | SS_LEFTNOWORDWRAP | SS_NOPREFIX;
    }
    return common;
}

}  // namespace

Form1::Form1(HINSTANCE instance)
    : picture_(static_cast<HBITMAP>(LoadImageW(instance, MAKEINTRESOURCEW(KONVERSI_SKY),
                                               IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)))
{
    registerClass(instance, windowProc);
    const RECT frame = frameRect();
    CreateWindowExW(0, kClassName, kCaption, kWindowStyle, frame.left, frame.top,
                    frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, instance,
                    this);
    createControls(instance);
}

Form1::~Form1()
{
    if (IsWindow(hwnd_)) DestroyWindow(hwnd_);
    for (const MadeFont& made : fonts_)
        DeleteObject(made.font);
    if (picture_ != nullptr) DeleteObject(picture_);
}

void Form1::createControls(HINSTANCE instance)
{
    // Created topmost first: a new child goes below its elder siblings, and
    // the dialog manager's keyboard order follows the same sibling order.
    for (const ControlLayout& layout : controls()) {
        const RECT rect = layout.pixelRect();
        HWND control = CreateWindowExW(0, layout.kind == Kind::Label ? L"STATIC" : L"BUTTON",
                                       layout.caption, controlStyle(layout), rect.left, rect.top,
                                       rect.right - rect.left, rect.bottom - rect.top, hwnd_,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(layout.id)),
                                       instance, nullptr);
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font(layout.font)), FALSE);
    }
    // The status button is built disabled; the workflow gives it its
    // captions and state.
    EnableWindow(item(Command3), FALSE);
}

HFONT Form1::font(const Font& wanted)
{
    for (const MadeFont& made : fonts_) {
        if (made.style.face == wanted.face && made.style.centipoints == wanted.centipoints &&
            made.style.weight == wanted.weight) {
            return made.font;
        }
    }
    HDC screen = GetDC(nullptr);
    const int height = -MulDiv(wanted.centipoints, GetDeviceCaps(screen, LOGPIXELSY), 7200);
    ReleaseDC(nullptr, screen);
    HFONT made = CreateFontW(height, 0, 0, 0, wanted.weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                             DEFAULT_PITCH | FF_SWISS, wanted.face);
    fonts_.push_back({wanted, made});
    return made;
}

LRESULT CALLBACK Form1::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* form = static_cast<Form1*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        form->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    }
    auto* form = reinterpret_cast<Form1*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (form == nullptr) return DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        form->hwnd_ = nullptr;
    }
    return form->onMessage(message, wParam, lParam);
}

LRESULT Form1::onMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ERASEBKGND: drawPicture(reinterpret_cast<HDC>(wParam)); return 1;
    case WM_CTLCOLORSTATIC:
        return colourStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_DRAWITEM: drawButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)); return TRUE;
    default: return DefWindowProcW(hwnd_, message, wParam, lParam);
    }
}

// The picture is drawn at its own size from the top-left corner; it is wider
// than the window, and its right-hand strip simply stays out of sight. The
// window's background colour shows only where there is no picture.
void Form1::drawPicture(HDC dc) const
{
    RECT client;
    GetClientRect(hwnd_, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
    if (picture_ == nullptr) return;
    BITMAP size;
    GetObjectW(picture_, sizeof size, &size);
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ previous = SelectObject(source, picture_);
    BitBlt(dc, 0, 0, size.bmWidth, size.bmHeight, source, 0, 0, SRCCOPY);
    SelectObject(source, previous);
    DeleteDC(source);
}

// Labels and radio buttons ask the window for their colours.
LRESULT Form1::colourStatic(HDC dc, HWND control) const
{
    const ControlLayout& layout = win32::control(static_cast<ControlId>(GetDlgCtrlID(control)));
    SetTextColor(dc, layout.text.resolve());
    SetBkColor(dc, layout.back.resolve());
    SetDCBrushColor(dc, layout.back.resolve());
    return reinterpret_cast<LRESULT>(GetStockObject(DC_BRUSH));
}

void Form1::drawButton(const DRAWITEMSTRUCT& item) const
{
    const ControlLayout& layout = control(static_cast<ControlId>(item.CtlID));
    HDC dc = item.hDC;
    const int saved = SaveDC(dc);
    RECT rect = item.rcItem;
    SetDCBrushColor(dc, layout.back.resolve());
    FillRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    DrawEdge(dc, &rect, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_ADJUST);

    wchar_t caption[32];
    GetWindowTextW(item.hwndItem, caption, static_cast<int>(std::size(caption)));
    SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(item.hwndItem, WM_GETFONT, 0, 0)));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, (item.itemState & ODS_DISABLED) ? kDisabledText : layout.text.resolve());
    RECT text = rect;
    if (pressed) OffsetRect(&text, 1, 1);
    DrawTextW(dc, caption, -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    // Windows hides focus rectangles until the keyboard is used.
    if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT)) {
        InflateRect(&rect, -2, -2);
        DrawFocusRect(dc, &rect);
    }
    RestoreDC(dc, saved);
}

}  // namespace konversi::win32
