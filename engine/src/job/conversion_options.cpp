#include "konversi/conversion_options.h"

#include "number/number.h"

#include <algorithm>
#include <array>
#include <charconv>

namespace konversi {

std::optional<std::vector<ColumnRole>> parseColumns(std::string_view letters)
{
    std::vector<ColumnRole> roles;
    for (const char letter : letters) {
        switch (letter) {
        case 'p': roles.push_back(ColumnRole::PointName); break;
        case 'x':
        case 'e': roles.push_back(ColumnRole::Easting); break;
        case 'y':
        case 'n': roles.push_back(ColumnRole::Northing); break;
        case 'z': roles.push_back(ColumnRole::Elevation); break;
        case 'd': roles.push_back(ColumnRole::Description); break;
        case '-': roles.push_back(ColumnRole::Skipped); break;
        default: return std::nullopt;
        }
    }
    const auto count = [&roles](ColumnRole role) {
        return std::count(roles.begin(), roles.end(), role);
    };
    if (count(ColumnRole::Easting) != 1 || count(ColumnRole::Northing) != 1) return std::nullopt;
    for (const ColumnRole role :
         {ColumnRole::PointName, ColumnRole::Elevation, ColumnRole::Description}) {
        if (count(role) > 1) return std::nullopt;
    }
    return roles;
}

std::optional<Delimiter> parseDelimiter(std::string_view name)
{
    constexpr std::array<std::pair<std::string_view, Delimiter>, 4> names = {{
        {"comma", Delimiter::Comma},
        {"semicolon", Delimiter::Semicolon},
        {"tab", Delimiter::Tab},
        {"space", Delimiter::Space},
    }};
    for (const auto& [known, delimiter] : names) {
        if (known == name) return delimiter;
    }
    return std::nullopt;
}

std::optional<std::vector<Label>> parseLabels(std::string_view letters)
{
    std::vector<Label> labels;
    for (const char letter : letters) {
        Label label;
        switch (letter) {
        case 'p': label = Label::PointName; break;
        case 'z': label = Label::Elevation; break;
        case 'd': label = Label::Description; break;
        default: return std::nullopt;
        }
        if (std::find(labels.begin(), labels.end(), label) != labels.end()) return std::nullopt;
        labels.push_back(label);
    }
    if (labels.empty()) return std::nullopt;
    return labels;
}

std::optional<double> parseTextHeight(std::string_view text)
{
    const char* const end = text.data() + text.size();
    const detail::NumberScan scan = detail::scanNumber(text.data(), end);
    if (!scan.isNumber || scan.stop != end) return std::nullopt;
    const std::optional<double> height = detail::decimalValue(text);
    if (!height || !(*height > 0.0)) return std::nullopt;
    return height;
}

std::optional<std::size_t> parseCount(std::string_view text, std::size_t most)
{
    std::size_t count = 0;
    const char* const end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, count);
    if (text.empty() || error != std::errc() || stop != end || count > most) return std::nullopt;
    return count;
}

std::optional<DxfLayout> parseDxfLayout(std::string_view name)
{
    if (name == "minimal") return DxfLayout::Minimal;
    if (name == "full") return DxfLayout::Full;
    return std::nullopt;
}

bool ConversionOptions::plainLayout() const
{
    return columns.empty() && labels == std::vector<Label>{Label::Elevation} && textHeight == 1.0 &&
           !decimals && !layerByCode && !splitByCode && dxf == DxfLayout::Minimal;
}

}  // namespace konversi
