#include "konversi/converters.h"

#include "coordinate_line.h"

namespace konversi {

void point2txt(const ConversionJob& job)
{
    SequentialReader input(job.inPath);
    SequentialWriter output(job.outPath, SequentialWriter::OpenMode::Write, input.identity());

    // Any field reading exactly POINT starts a point, wherever it stands.
    while (input.skipToField("POINT")) {
        detail::skipToGroupCode10(input);
        detail::copyCoordinates(input, output);
    }
    output.close();
}

}  // namespace konversi
