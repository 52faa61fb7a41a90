#include "konversi/conversion_options.h"

#include <algorithm>
#include <array>

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

}  // namespace konversi
