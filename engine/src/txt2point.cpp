#include "conversions.h"

#include "sequential_reader.h"
#include "sequential_writer.h"

#include <array>

namespace konversi {

void detail::txt2point(const ConversionJob& job, OutputFiles& outputs)
{
    SequentialReader input(job.inPath);
    SequentialWriter output(outputs, job.outPath, input.identity());

    output.pair(0, "SECTION");
    output.pair(2, "ENTITIES");
    std::array<FieldValue, 3> xyz;
    // Trailing blank lines end the file rather than start another triple.
    while (!input.onlyBlanksRemain()) {
        input.readFields(xyz);
        const auto& [x, y, z] = xyz;
        output.pairs(Pair{0, "POINT"}, Pair{8, "TITIK"},  // layer
                     Pair{10, x}, Pair{20, y}, Pair{30, z});
        output.pairs(Pair{0, "TEXT"}, Pair{8, "TEKS"},  // layer
                     Pair{10, x}, Pair{20, y}, Pair{30, WholeNumber{0}},
                     Pair{40, WholeNumber{1}},  // text height
                     Pair{1, z},                // the label: the elevation
                     Pair{7, "STANDARD"});      // text style
    }
    output.pair(0, "ENDSEC");
    output.pair(0, "EOF");
    output.close();
}

}  // namespace konversi
