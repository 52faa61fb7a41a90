#include "conversions.h"

#include "coordinate_line.h"

#include <cstdint>
#include <optional>
#include <string>

namespace konversi {

namespace {

// Polylines 1 to 999 get a numbered file each (.001 ... .999); all later ones
// share the one file ending ".nnn".
constexpr std::uint64_t lastNumberedPolyline = 999;

std::string polylineFileName(const ConversionJob& job, std::uint64_t counter)
{
    std::string name = job.inDir + job.baseName;
    if (counter > lastNumberedPolyline) return name + ".nnn";
    name += '.';
    name += static_cast<char>('0' + counter / 100);
    name += static_cast<char>('0' + counter / 10 % 10);
    name += static_cast<char>('0' + counter % 10);
    return name;
}

// Copies the vertices of one polyline, whose POLYLINE line has just been read,
// up to its SEQEND line. SEQEND ends the polyline only where it stands as the
// line after a vertex or another line of the entity, not while searching for
// a vertex's "10".
void copyPolyline(SequentialReader& input, SequentialWriter& output)
{
    for (;;) {
        const auto line = input.readTrimmedLine(detail::markerLineLimit);
        if (line == "SEQEND") return;
        if (line == "VERTEX") {
            detail::skipToGroupCode10(input);
            detail::copyCoordinates(input, output);
        }
    }
}

}  // namespace

void detail::poly2txt(const ConversionJob& job, OutputFiles& outputs)
{
    SequentialReader input(job.inPath);
    std::optional<SequentialWriter> shared;  // started by the first polyline it holds
    std::uint64_t counter = 0;
    while (!input.atEnd()) {
        if (input.readTrimmedLine(detail::markerLineLimit) != "POLYLINE") continue;
        ++counter;
        if (counter > lastNumberedPolyline) {
            if (!shared) shared.emplace(outputs, polylineFileName(job, counter), input.identity());
            copyPolyline(input, *shared);
        } else {
            SequentialWriter output(outputs, polylineFileName(job, counter), input.identity());
            copyPolyline(input, output);
            output.close();
        }
    }
    if (shared) shared->close();
}

}  // namespace konversi
