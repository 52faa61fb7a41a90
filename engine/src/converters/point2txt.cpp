#include "converters/converter_units.h"

#include "dxf/coordinate_line.h"

namespace konversi::detail {

void point2txt(const ConversionJob& job, OutputFiles& outputs)
{
    SequentialReader input(job.inPath);
    detail::refuseBinaryDxf(job.inPath);
    SequentialWriter output(outputs, job.outPath, input.identity());

    // Any field reading exactly POINT starts a point, wherever it stands.
    while (input.skipToField("POINT")) {
        detail::skipToGroupCode10(input);
        detail::copyCoordinates(input, output);
    }
    output.close();
}

}  // namespace konversi::detail
