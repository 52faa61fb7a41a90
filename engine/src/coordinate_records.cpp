#include "coordinate_records.h"

namespace konversi::detail {

namespace {

std::string_view delimiterText(Delimiter delimiter)
{
    switch (delimiter) {
    case Delimiter::Semicolon: return ";";
    case Delimiter::Tab: return "\t";
    case Delimiter::Space: return " ";
    case Delimiter::Automatic:
    case Delimiter::Comma: break;
    }
    return ",";
}

}  // namespace

CoordinateRecords::CoordinateRecords(const ConversionOptions& options)
    : columns_(options.columns), delimiter_(delimiterText(options.delimiter))
{
}

void CoordinateRecords::write(SequentialWriter& output, std::uint64_t number,
                              const Coordinates& point, std::string_view layer) const
{
    if (columns_.empty()) {
        output.printLine(point.x.field(), " ", point.y.field(), " ", point.z.field());
        return;
    }
    for (std::size_t i = 0; i < columns_.size(); ++i) {
        if (i > 0) output.print(delimiter_);
        writeField(output, columns_[i], number, point, layer);
    }
    output.printLine();
}

void CoordinateRecords::writeField(SequentialWriter& output, ColumnRole role, std::uint64_t number,
                                   const Coordinates& point, std::string_view layer) const
{
    switch (role) {
    case ColumnRole::PointName:
        output.print(Bare{WholeNumber{static_cast<long long>(number)}});
        break;
    case ColumnRole::Easting: output.print(Bare{point.x.field()}); break;
    case ColumnRole::Northing: output.print(Bare{point.y.field()}); break;
    case ColumnRole::Elevation: output.print(Bare{point.z.field()}); break;
    case ColumnRole::Description: output.print(layer); break;
    case ColumnRole::Skipped: break;
    }
}

}  // namespace konversi::detail
