#include "konversi/conversion_mode.h"

#include <array>

namespace konversi {

namespace {

constexpr std::array<std::string_view, 4> names = {"txt2point", "txt2poly", "point2txt",
                                                   "poly2txt"};

}  // namespace

std::optional<ConversionMode> modeFromName(std::string_view name) noexcept
{
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (names[i] == name) return static_cast<ConversionMode>(i);
    }
    return std::nullopt;
}

std::string_view outputExtension(ConversionMode mode) noexcept
{
    switch (mode) {
    case ConversionMode::TextToPoint:
    case ConversionMode::TextToPolyline: return ".dxf";
    case ConversionMode::PointToText:
    case ConversionMode::PolylineToText: return ".txt";
    }
    return ".txt";
}

}  // namespace konversi
