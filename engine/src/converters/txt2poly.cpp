#include "converters/converter_units.h"

#include "dxf/drawing.h"
#include "read/sequential_reader.h"

#include <array>
#include <string>

namespace konversi::detail {

// The usual layout of the survey polyline: one POLYLINE on the layer named
// after the file, a vertex a triple.
void txt2poly(const ConversionJob& job, OutputFiles& outputs)
{
    SequentialReader input(job.inPath);
    SequentialWriter output(outputs, job.outPath, input.identity());
    const std::string layer = fileLayerName(job.baseName);

    beginEntities(output);
    beginPolyline(output, layer);
    std::array<FieldValue, 3> xyz;
    // Trailing blank lines end the file rather than start another triple.
    while (!input.onlyBlanksRemain()) {
        input.readFields(xyz);
        writeVertex(output, layer, xyz[0], xyz[1], xyz[2]);
    }
    endPolyline(output);
    endEntities(output);
    output.close();
}

}  // namespace konversi::detail
