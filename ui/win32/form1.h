#pragma once

#include "layout.h"

#include <windows.h>

#include <vector>

namespace konversi::win32 {

// The window as it is built: picture, icon, the controls with their captions,
// places, fonts and colours, and the keyboard order. It does nothing yet;
// MainWindow gives it its behaviour.
class Form1 {
public:
    explicit Form1(HINSTANCE instance);
    virtual ~Form1();
    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;

    HWND hwnd() const { return hwnd_; }
    HWND item(ControlId id) const { return GetDlgItem(hwnd_, id); }

protected:
    // Every message the window receives; a subclass handles what it needs and
    // passes the rest on to this one, which draws.
    virtual LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void createControls(HINSTANCE instance);
    HFONT font(const Font& wanted);
    void drawPicture(HDC dc) const;
    LRESULT colourStatic(HDC dc, HWND control) const;
    void drawButton(const DRAWITEMSTRUCT& item) const;

    HWND hwnd_ = nullptr;
    HBITMAP picture_ = nullptr;
    // Controls that share a font share one GDI font.
    struct MadeFont {
        Font style;
        HFONT font;
    };
    std::vector<MadeFont> fonts_;
};

}  // namespace konversi::win32
