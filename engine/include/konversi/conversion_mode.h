#pragma once

#include <optional>
#include <string_view>

namespace konversi {

// In the order of the window's radio buttons.
enum class ConversionMode {
    TextToPoint,
    TextToPolyline,
    PointToText,
    PolylineToText,
};

// From the lower-case converter name: txt2point, txt2poly, point2txt, poly2txt.
std::optional<ConversionMode> modeFromName(std::string_view name) noexcept;

// ".dxf" for the two modes that write DXF, ".txt" for the two that read it.
std::string_view outputExtension(ConversionMode mode) noexcept;

}  // namespace konversi
