#include "converters/converter_units.h"

#include "dxf/drawing.h"
#include "read/sequential_reader.h"

#include <array>

namespace konversi::detail {

// The usual layout of the survey drawing, with its layers and height fixed:
// a point and its elevation label a triple, on TITIK and TEKS.
void txt2point(const ConversionJob& job, OutputFiles& outputs)
{
    SequentialReader input(job.inPath);
    SequentialWriter output(outputs, job.outPath, input.identity());

    beginEntities(output);
    std::array<FieldValue, 3> xyz;
    // Trailing blank lines end the file rather than start another triple.
    while (!input.onlyBlanksRemain()) {
        input.readFields(xyz);
        const auto& [x, y, z] = xyz;
        writePoint(output, "TITIK", x, y, z);
        writeLabel(output, "TEKS", x, y, WholeNumber{1}, z);
    }
    endEntities(output);
    output.close();
}

}  // namespace konversi::detail
