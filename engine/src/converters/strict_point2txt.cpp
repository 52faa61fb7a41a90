#include "converters/converter_units.h"

#include "dxf/entities.h"
#include "dxf/group_codes.h"
#include "dxf/layer_filter.h"
#include "write/coordinate_records.h"

#include <string>

namespace konversi::detail {

namespace {

// Reads the groups of the POINT just entered into `point` and `layer`.
void readPoint(detail::DxfEntities& entities, detail::Coordinates& point, std::string& layer)
{
    point = {};
    layer.clear();
    entities.readGroups([&point, &layer](int code, auto& values) {
        switch (code) {
        case dxf::layer: layer = values.text(); break;
        case dxf::x: point.x = detail::HeldNumber(values.number()); break;
        case dxf::y: point.y = detail::HeldNumber(values.number()); break;
        case dxf::z: point.z = detail::HeldNumber(values.number()); break;
        default: values.skip(); break;
        }
    });
}

}  // namespace

void strictPoint2txt(const ConversionJob& job, OutputFiles& outputs)
{
    SequentialReader input(job.inPath);
    SequentialWriter output(outputs, job.outPath, input.identity());
    const CoordinateRecords records(job.options);
    const LayerFilter layers(job.options.layers);
    DxfEntities entities(input);
    Coordinates point;
    std::string layer;
    std::uint64_t count = 0;
    while (entities.next()) {
        if (entities.type() != EntityType::Point) continue;
        readPoint(entities, point, layer);
        const std::string_view name = detail::entityLayer(layer);
        if (!entities.inPaperSpace() && layers.accepts(name))
            records.write(output, ++count, point, name);
    }
    output.close();
}

}  // namespace konversi::detail
