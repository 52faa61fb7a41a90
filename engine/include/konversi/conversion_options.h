#pragma once

#include <cstddef>
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

// What txt2point writes beside each point, each a TEXT on its own layer.
enum class Label {
    PointName,    // p, on NOMOR
    Elevation,    // z, on TEKS
    Description,  // d, on KODE
};

// From letters such as "pzd", each of p, z and d at most once; nothing for
// any other letters or none.
std::optional<std::vector<Label>> parseLabels(std::string_view letters);

// A text height: a positive number; nothing for anything else.
std::optional<double> parseTextHeight(std::string_view text);

// The most decimals an elevation label may be given.
inline constexpr std::size_t maxLabelDecimals = 15;

// A whole number from 0 to `most`; nothing for anything else.
std::optional<std::size_t> parseCount(std::string_view text, std::size_t most);

// How much of a DXF file a conversion writes.
enum class DxfLayout {
    Minimal,  // the ENTITIES section alone, as the conversions always wrote
    Full,     // a complete R12 drawing: header, tables and blocks too
};

// From minimal or full; nothing for any other name.
std::optional<DxfLayout> parseDxfLayout(std::string_view name);

// What konversi-cli's options ask of a conversion beyond its usual form. The
// defaults are the conversion as the window runs it.
struct ConversionOptions {
    // Empty: the usual x, y, z fields. Otherwise txt2point and txt2poly read
    // the file as records, one point a line, and point2txt and poly2txt (with
    // strict) write these columns.
    std::vector<ColumnRole> columns;
    Delimiter delimiter = Delimiter::Automatic;
    std::size_t skipLines = 0;  // header lines before the records
    bool decimalComma = false;  // numbers use "," as the decimal mark
    std::vector<Label> labels = {Label::Elevation};
    double textHeight = 1.0;
    std::optional<std::size_t> decimals;  // of the elevation label; none: the print form
    bool layerByCode = false;             // each point on a layer named after its code
    bool splitByCode = false;             // txt2poly: a new polyline where the code changes
    DxfLayout dxf = DxfLayout::Minimal;

    // point2txt and poly2txt: read the DXF by its group codes, not by markers.
    bool strict = false;
    // With strict: only the entities on these layers (all when empty).
    std::vector<std::string> layers;
    // With strict, poly2txt: a closed polyline's first vertex again at its end.
    bool close = false;

    // True when the text is plain x, y, z triples written as the window
    // writes them: elevation labels, layers TITIK/TEKS, a minimal DXF.
    bool plainLayout() const;
};

}  // namespace konversi
