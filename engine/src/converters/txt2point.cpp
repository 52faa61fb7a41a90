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
        writeUsualPoint(output, xyz[0], xyz[1], xyz[2]);
    }
    endEntities(output);
    output.close();
}

}  // namespace konversi::detail
