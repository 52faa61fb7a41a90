#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace konversi {

// What one column of a coordinate record holds.
enum class ColumnRole {
    PointName,    // p
    Easting,      // x or e
    Northing,     // y or n
    Elevation,    // z
    Description,  // d: the point's code, or an entity's layer
    Skipped,      // -
};

// One role per column, in order, from letters such as "pnezd": exactly one
// of x and e, exactly one of y and n, and p, z and d at most once each;
// nothing when the letters are no such layout.
std::optional<std::vector<ColumnRole>> parseColumns(std::string_view letters);

// What separates the fields of a record.
enum class Delimiter {
    Automatic,  // decided by the first record
    Comma,
    Semicolon,
    Tab,
    Space,  // runs of spaces and tabs
};

// From comma, semicolon, tab or space; nothing for any other name.
std::optional<Delimiter> parseDelimiter(std::string_view name);

// What konversi-cli's options ask of a conversion beyond its usual form. The
// defaults are the conversion as the window runs it.
struct ConversionOptions {
    std::vector<ColumnRole> columns;  // empty: the usual x, y, z fields
    Delimiter delimiter = Delimiter::Automatic;
    // point2txt and poly2txt: read the DXF by its group codes, not by markers.
    bool strict = false;
    // With strict: only the entities on these layers (all when empty).
    std::vector<std::string> layers;
    // With strict, poly2txt: a closed polyline's first vertex again at its end.
    bool close = false;
};

}  // namespace konversi
