#include "write/coordinate_records.h"

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

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// Whether a text field would read back otherwise than it stands: one that
// holds the delimiter (with spaces: a space or tab), a double quote or a
// line end, or whose spaces around it the reader would trim.
bool needsQuotes(std::string_view text, std::string_view delimiter)
{
    if (text.empty()) return false;
    if (isBlank(text.front()) || isBlank(text.back())) return true;
    const std::string_view special = delimiter == " " ? " \t\"\r\n" : "\"\r\n";
    return text.find_first_of(special) != std::string_view::npos ||
           text.find(delimiter) != std::string_view::npos;
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
    case ColumnRole::Description: writeText(output, layer); break;
    case ColumnRole::Skipped: break;
    }
}

// Quoted as RFC 4180 quotes a field, double quotes doubled, so that the
// record reader gives back exactly the text.
void CoordinateRecords::writeText(SequentialWriter& output, std::string_view text) const
{
    if (!needsQuotes(text, delimiter_)) {
        output.print(text);
        return;
    }
    output.print("\"");
    for (;;) {
        const std::size_t quote = text.find('"');
        output.print(text.substr(0, quote));
        if (quote == std::string_view::npos) break;
        output.print("\"\"");
        text.remove_prefix(quote + 1);
    }
    output.print("\"");
}

}  // namespace konversi::detail
