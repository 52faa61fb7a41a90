#include "konversi/converters.h"

#include "konversi/sequential_reader.h"
#include "konversi/sequential_writer.h"

#include <array>

namespace konversi {

void txt2point(const ConversionJob& job)
{
    SequentialReader input(job.inPath);
    SequentialWriter output(job.outPath, SequentialWriter::OpenMode::Write, input.identity());

    output.pair(0, "SECTION");
    output.pair(2, "ENTITIES");
    std::array<FieldValue, 3> xyz;
    // Trailing blank lines end the file rather than start another triple.
    while (!input.onlyBlanksRemain()) {
        input.readFields(xyz);
        const auto& [x, y, z] = xyz;
        output.pair(0, "POINT");
        output.pair(8, "TITIK");  // layer
        output.pair(10, x);
        output.pair(20, y);
        output.pair(30, z);
        output.pair(0, "TEXT");
        output.pair(8, "TEKS");  // layer
        output.pair(10, x);
        output.pair(20, y);
        output.pair(30, WholeNumber{0});
        output.pair(40, WholeNumber{1});  // text height
        output.pair(1, z);                // the label: the elevation
        output.pair(7, "STANDARD");       // text style
    }
    output.pair(0, "ENDSEC");
    output.pair(0, "EOF");
    output.close();
}

}  // namespace konversi
