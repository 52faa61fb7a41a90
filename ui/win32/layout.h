#pragma once

#include <windows.h>

#include <span>

namespace konversi::win32 {

// The window was laid out in twips; at 96 dots per inch fifteen make a pixel,
// and every value of the layout is a whole number of pixels. The program
// declares itself unaware of other resolutions, so Windows scales the fixed
// layout as a whole instead of each control on its own.
constexpr int kTwipsPerPixel = 15;

constexpr int pixels(int twips)
{
    return twips / kTwipsPerPixel;
}

constexpr int kClientWidth = pixels(4815);
constexpr int kClientHeight = pixels(2970);

// Control identifiers start above IDOK and IDCANCEL, which the dialog
// manager sends for Enter and Esc. They carry the form's control names, as
// the Qt window's object names do; the comments say each one's role.
enum ControlId : int {
    Command1 = 101,  // "?": choose the input file
    Command2,        // "Proses": run the conversion
    Command3,        // stands where "Proses" was while and after converting
    Option1,         // the four conversions, in the order of ConversionMode
    Option2,
    Option3,
    Option4,
    Label1,  // captions: "File masukan :", "Direktori :", "Nama File :", "File keluaran :"
    Label4,
    Label5,  // input folder
    Label6,
    Label7,  // input file name
    Label8,
    Label9,  // output file name
};

enum class Kind { PushButton, RadioButton, Label };

struct Font {
    const wchar_t* face;
    int centipoints;  // 8.25 pt is 825
    int weight;       // FW_NORMAL or FW_BOLD
};

// Either one of the platform's system colours (its GetSysColor index) or an
// RGB triple.
struct Colour {
    int system;
    COLORREF rgb;

    COLORREF resolve() const { return system >= 0 ? GetSysColor(system) : rgb; }
};

struct ControlLayout {
    ControlId id;
    Kind kind;
    const wchar_t* caption;
    int left, top, width, height;  // twips
    Font font;
    Colour text, back;

    RECT pixelRect() const
    {
        return {pixels(left), pixels(top), pixels(left + width), pixels(top + height)};
    }
};

// The fifteen controls but the file dialog, which has no place on the window.
std::span<const ControlLayout> controls();

const ControlLayout& control(ControlId id);

}  // namespace konversi::win32
