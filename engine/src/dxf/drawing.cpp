#include "dxf/drawing.h"

#include <algorithm>
#include <string_view>

namespace konversi::detail {

namespace {

void beginSection(SequentialWriter& output, std::string_view name)
{
    output.pairs(Pair{0, "SECTION"}, Pair{2, name});
}

void endSection(SequentialWriter& output)
{
    output.pair(0, "ENDSEC");
}

void writeVariable(SequentialWriter& output, std::string_view name,
                   const std::array<double, 3>& point)
{
    output.pairs(Pair{9, name}, Pair{10, point[0]}, Pair{20, point[1]}, Pair{30, point[2]});
}

void writeHeader(SequentialWriter& output, const Extents& extents, double pointSize)
{
    beginSection(output, "HEADER");
    output.pairs(Pair{9, "$ACADVER"}, Pair{1, "AC1009"});  // R12
    writeVariable(output, "$INSBASE", {});
    writeVariable(output, "$EXTMIN", extents.min());
    writeVariable(output, "$EXTMAX", extents.max());
    output.pairs(Pair{9, "$PDMODE"}, Pair{70, WholeNumber{3}});  // a cross, not an invisible dot
    output.pairs(Pair{9, "$PDSIZE"}, Pair{40, pointSize});
    endSection(output);
}

void beginTable(SequentialWriter& output, std::string_view name, std::size_t entries)
{
    output.pairs(Pair{0, "TABLE"}, Pair{2, name},
                 Pair{70, WholeNumber{static_cast<long long>(entries)}});
}

void writeTables(SequentialWriter& output, const LayerTable& layers)
{
    beginSection(output, "TABLES");
    beginTable(output, "LTYPE", 1);
    output.pairs(Pair{0, "LTYPE"}, Pair{2, "CONTINUOUS"}, Pair{70, WholeNumber{0}},
                 Pair{3, "Solid line"},      // description
                 Pair{72, WholeNumber{65}},  // alignment: always A
                 Pair{73, WholeNumber{0}},   // dash count
                 Pair{40, WholeNumber{0}});  // pattern length
    output.pair(0, "ENDTAB");
    beginTable(output, "LAYER", layers.names().size());
    for (const std::string& name : layers.names()) {
        output.pairs(Pair{0, "LAYER"}, Pair{2, name}, Pair{70, WholeNumber{0}},
                     Pair{62, WholeNumber{7}},  // colour: white on dark, black on light
                     Pair{6, "CONTINUOUS"});    // line type
    }
    output.pair(0, "ENDTAB");
    beginTable(output, "STYLE", 1);
    output.pairs(Pair{0, "STYLE"}, Pair{2, "STANDARD"}, Pair{70, WholeNumber{0}},
                 Pair{40, WholeNumber{0}},  // height: set by each text
                 Pair{41, WholeNumber{1}},  // width factor
                 Pair{50, WholeNumber{0}},  // oblique angle
                 Pair{71, WholeNumber{0}},  // generation flags
                 Pair{42, WholeNumber{1}},  // last height used
                 Pair{3, "txt"},            // font file
                 Pair{4, ""});              // big font file: none
    output.pair(0, "ENDTAB");
    endSection(output);
}

}  // namespace

void Extents::add(const SurveyPoint& point)
{
    const std::array<double, 3> xyz = {point.x.numericValue(), point.y.numericValue(),
                                       point.z.numericValue()};
    for (std::size_t axis = 0; axis < xyz.size(); ++axis) {
        min_[axis] = any_ ? std::min(min_[axis], xyz[axis]) : xyz[axis];
        max_[axis] = any_ ? std::max(max_[axis], xyz[axis]) : xyz[axis];
    }
    any_ = true;
}

void writeDrawingPreamble(SequentialWriter& output, const Extents& extents,
                          const LayerTable& layers, double pointSize)
{
    writeHeader(output, extents, pointSize);
    writeTables(output, layers);
    beginSection(output, "BLOCKS");
    endSection(output);
}

void beginEntities(SequentialWriter& output)
{
    beginSection(output, "ENTITIES");
}

void endEntities(SequentialWriter& output)
{
    endSection(output);
    output.pair(0, "EOF");
}

}  // namespace konversi::detail
