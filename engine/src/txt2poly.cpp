#include "conversions.h"

#include "layers.h"
#include "sequential_reader.h"
#include "sequential_writer.h"

#include <array>
#include <string>

namespace konversi {

void detail::txt2poly(const ConversionJob& job, OutputFiles& outputs)
{
    SequentialReader input(job.inPath);
    SequentialWriter output(outputs, job.outPath, input.identity());
    const std::string layer = fileLayerName(job.baseName);

    output.pair(0, "SECTION");
    output.pair(2, "ENTITIES");
    output.pair(0, "POLYLINE");
    output.pair(8, layer);
    output.pair(66, "1");  // vertices follow
    output.pair(10, WholeNumber{0});
    output.pair(20, WholeNumber{0});
    output.pair(30, WholeNumber{0});
    std::array<FieldValue, 3> xyz;
    // Trailing blank lines end the file rather than start another triple.
    while (!input.onlyBlanksRemain()) {
        input.readFields(xyz);
        output.pairs(Pair{0, "VERTEX"}, Pair{8, layer}, Pair{10, xyz[0]}, Pair{20, xyz[1]},
                     Pair{30, xyz[2]});
    }
    output.pair(0, "SEQEND");
    output.pair(0, "ENDSEC");
    output.pair(0, "EOF");
    output.close();
}

}  // namespace konversi
