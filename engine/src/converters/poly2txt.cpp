#include "converters/converter_units.h"

#include "dxf/coordinate_line.h"
#include "dxf/line_scans.h"
#include "write/polyline_files.h"

namespace konversi::detail {

namespace {

// Copies the vertices of one polyline, whose POLYLINE line has just been read,
// up to its SEQEND line. SEQEND ends the polyline only where it stands as the
// line after a vertex or another line of the entity, not while searching for
// a vertex's "10".
void copyPolyline(SequentialReader& input, SequentialWriter& output)
{
    constexpr std::string_view markers[] = {"VERTEX", "SEQEND"};
    for (;;) {
        if (skipToLineAmong(input, markers) == 1) return;
        detail::skipToGroupCode10(input);
        detail::copyCoordinates(input, output);
    }
}

}  // namespace

void poly2txt(const ConversionJob& job, OutputFiles& outputs)
{
    SequentialReader input(job.inPath);
    detail::refuseBinaryDxf(job.inPath);
    PolylineFiles files(job, outputs, input.identity());
    while (!input.atEnd()) {
        if (input.readTrimmedLine(detail::markerLineLimit) != "POLYLINE") continue;
        copyPolyline(input, files.startNext());
        files.endCurrent();
    }
    files.close();
}

}  // namespace konversi::detail
