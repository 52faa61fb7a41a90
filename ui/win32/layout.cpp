#include "layout.h"

#include <algorithm>
#include <array>

namespace konversi::win32 {

namespace {

constexpr Colour rgb(BYTE red, BYTE green, BYTE blue)
{
    return {-1, RGB(red, green, blue)};
}

constexpr Colour systemColour(int index)
{
    return {index, 0};
}

constexpr Font kArialBlack{L"Arial Black", 975, FW_BOLD};
constexpr Font kArialBold{L"Arial", 825, FW_BOLD};
constexpr Font kArial{L"Arial", 825, FW_NORMAL};
constexpr Font kTahomaBold{L"Tahoma", 825, FW_BOLD};
constexpr Font kVerdanaBold{L"Verdana", 825, FW_BOLD};

constexpr Colour kButtonText = systemColour(COLOR_BTNTEXT);
constexpr Colour kScrollBar = systemColour(COLOR_SCROLLBAR);
constexpr Colour kYellow = rgb(255, 255, 0);
constexpr Colour kNavy = rgb(0, 0, 128);
constexpr Colour kWhite = rgb(255, 255, 255);
constexpr Colour kPaleBlue = rgb(192, 192, 255);
constexpr Colour kLightYellow = rgb(255, 255, 128);
constexpr Colour kBlack = rgb(0, 0, 0);

// In stacking order, topmost first, which is also the order the dialog
// manager moves the focus in: the buttons and then the radio group, in their
// keyboard order, above the labels; each value label covers the end of its
// caption label, and "?" covers the end of "File masukan :".
constexpr std::array kControls{
    ControlLayout{Command1, Kind::PushButton, L"?", 1440, 960, 735, 375, kArialBlack, kButtonText,
                  kScrollBar},
    ControlLayout{Command2, Kind::PushButton, L"Proses", 1680, 2520, 1575, 375, kArialBold,
                  kButtonText, kScrollBar},
    ControlLayout{Command3, Kind::PushButton, L"", 1680, 2520, 1575, 375, kArial, kButtonText,
                  kLightYellow},
    ControlLayout{Option1, Kind::RadioButton, L"TEXT  ke  POINT", 0, 0, 2535, 375, kVerdanaBold,
                  kYellow, kBlack},
    ControlLayout{Option2, Kind::RadioButton, L"TEXT  ke  POLYLINE", 0, 360, 2535, 375,
                  kVerdanaBold, kYellow, kBlack},
    ControlLayout{Option3, Kind::RadioButton, L"POINT  ke  TEXT", 2520, 0, 2295, 375, kVerdanaBold,
                  kYellow, kBlack},
    ControlLayout{Option4, Kind::RadioButton, L"POLYLINE  ke  TEXT", 2520, 360, 2295, 375,
                  kVerdanaBold, kYellow, kBlack},
    ControlLayout{Label5, Kind::Label, L"", 1440, 1440, 3255, 375, kArialBold, kWhite, kPaleBlue},
    ControlLayout{Label7, Kind::Label, L"", 1440, 1800, 3255, 375, kArialBold, kWhite, kPaleBlue},
    ControlLayout{Label9, Kind::Label, L"", 1440, 2160, 3255, 375, kArialBold, kWhite, kPaleBlue},
    ControlLayout{Label1, Kind::Label, L"File masukan :", 120, 1080, 1695, 375, kTahomaBold,
                  kYellow, kNavy},
    ControlLayout{Label4, Kind::Label, L"Direktori :", 120, 1440, 1695, 375, kTahomaBold, kYellow,
                  kNavy},
    ControlLayout{Label6, Kind::Label, L"Nama File :", 120, 1800, 1695, 375, kTahomaBold, kYellow,
                  kNavy},
    ControlLayout{Label8, Kind::Label, L"File keluaran :", 120, 2160, 1695, 375, kTahomaBold,
                  kYellow, kNavy},
};

}  // namespace

std::span<const ControlLayout> controls()
{
    return kControls;
}

const ControlLayout& control(ControlId id)
{
    return *std::find_if(kControls.begin(), kControls.end(),
                         [id](const ControlLayout& layout) { return layout.id == id; });
}

}  // namespace konversi::win32
