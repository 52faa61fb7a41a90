#include "converters/converter_units.h"

#include "dxf/entities.h"
#include "dxf/group_codes.h"
#include "dxf/layer_filter.h"
#include "write/coordinate_records.h"
#include "write/polyline_files.h"

#include <optional>
#include <string>

namespace konversi::detail {

namespace {

// A polyline's own groups, given before its vertices.
struct PolylineHeader {
    std::string layer;
    int flags = 0;
    detail::HeldNumber elevation;

    std::string_view layerName() const { return detail::entityLayer(layer); }
};

bool verticesHaveOwnZ(int flags)
{
    return (flags & (dxf::polyline3dFlag | dxf::polygonMeshFlag | dxf::polyfaceMeshFlag)) != 0;
}

bool isFaceRecord(int vertexFlags)
{
    return (vertexFlags & dxf::polyfaceRecordFlag) != 0 && (vertexFlags & dxf::meshVertexFlag) == 0;
}

// Reads POLYLINE and LWPOLYLINE entities by their group codes and writes
// each one's vertices to its own output.
class StrictPolylines {
public:
    StrictPolylines(const ConversionJob& job, SequentialReader& input, detail::OutputFiles& outputs)
        : entities_(input),
          values_(entities_.values()),
          files_(job, outputs, input.identity()),
          records_(job.options),
          layers_(job.options.layers),
          close_(job.options.close)
    {
    }

    void convert()
    {
        bool more = entities_.next();
        while (more) {
            if (entities_.type() == detail::EntityType::Polyline) {
                more = copyPolyline();
                continue;
            }
            if (entities_.type() == detail::EntityType::LwPolyline) copyLwPolyline();
            more = entities_.next();
        }
        files_.close();
    }

private:
    // Copies a POLYLINE and its VERTEX entities and moves to the entity after
    // its SEQEND (or after the last vertex, when SEQEND is missing); false
    // when there is none.
    bool copyPolyline()
    {
        const PolylineHeader header = readPolylineHeader();
        const bool wanted = isWanted(header);
        if (wanted) start(header.layerName());
        bool more;
        while ((more = entities_.next()) && entities_.type() == detail::EntityType::Vertex) {
            int flags = 0;
            detail::Coordinates vertex = readVertex(flags);
            if (!wanted || isFaceRecord(flags)) continue;
            if (!verticesHaveOwnZ(header.flags)) vertex.z = header.elevation;
            add(vertex);
        }
        if (wanted) end(header.flags);
        if (more && entities_.type() == detail::EntityType::SeqEnd) more = entities_.next();
        return more;
    }

    PolylineHeader readPolylineHeader()
    {
        PolylineHeader header;
        entities_.readGroups([&header](int code, auto& values) {
            switch (code) {
            case dxf::layer: header.layer = values.text(); break;
            case dxf::z: header.elevation = detail::HeldNumber(values.number()); break;
            case dxf::flags: header.flags = values.integer(); break;
            default: values.skip(); break;
            }
        });
        return header;
    }

    detail::Coordinates readVertex(int& flags)
    {
        detail::Coordinates vertex;
        entities_.readGroups([&vertex, &flags](int code, auto& values) {
            switch (code) {
            case dxf::x: vertex.x = detail::HeldNumber(values.number()); break;
            case dxf::y: vertex.y = detail::HeldNumber(values.number()); break;
            case dxf::z: vertex.z = detail::HeldNumber(values.number()); break;
            case dxf::flags: flags = values.integer(); break;
            default: values.skip(); break;
            }
        });
        return vertex;
    }

    // An LWPOLYLINE holds its vertices as runs of 10 and 20 groups. Its layer,
    // flags and elevation come before them, as DXF orders an entity's groups,
    // so each vertex is written as soon as it is read, and none is held.
    void copyLwPolyline()
    {
        PolylineHeader header;
        bool wanted = false;
        bool started = false;
        std::optional<detail::Coordinates> vertex;
        const auto flush = [&] {
            if (vertex && wanted) add(*vertex);
            vertex.reset();
        };
        while (entities_.nextGroup()) {
            switch (entities_.code()) {
            case dxf::layer: header.layer = values_.text(); break;
            case dxf::elevation: header.elevation = detail::HeldNumber(values_.number()); break;
            case dxf::flags: header.flags = values_.integer(); break;
            case dxf::x:
                if (!started) {
                    started = true;
                    wanted = isWanted(header);
                    if (wanted) start(header.layerName());
                }
                flush();
                vertex.emplace();
                vertex->x = detail::HeldNumber(values_.number());
                vertex->z = header.elevation;
                break;
            case dxf::y:
                if (vertex) {
                    vertex->y = detail::HeldNumber(values_.number());
                } else {
                    values_.skip();
                }
                break;
            default: values_.skip(); break;
            }
        }
        flush();
        if (!started && isWanted(header)) {
            start(header.layerName());
            wanted = true;
        }
        if (wanted) end(header.flags);
    }

    // Whether the entity whose header was just read is written: one in
    // model space on a chosen layer.
    bool isWanted(const PolylineHeader& header) const
    {
        return !entities_.inPaperSpace() && layers_.accepts(header.layerName());
    }

    void start(std::string_view layer)
    {
        output_ = &files_.startNext();
        layer_ = layer;
        count_ = 0;
    }

    void add(const detail::Coordinates& vertex)
    {
        records_.write(*output_, ++count_, vertex, layer_);
        if (count_ == 1) first_ = vertex;
    }

    // A closed polyline's first vertex is written again at its end when asked.
    void end(int flags)
    {
        if (close_ && (flags & dxf::closedFlag) != 0 && count_ > 0) {
            records_.write(*output_, 1, first_, layer_);
        }
        files_.endCurrent();
    }

    detail::DxfEntities entities_;
    detail::DxfPairs& values_;
    detail::PolylineFiles files_;
    const detail::CoordinateRecords records_;
    const detail::LayerFilter layers_;
    const bool close_;
    SequentialWriter* output_ = nullptr;
    std::string layer_;
    std::uint64_t count_ = 0;
    detail::Coordinates first_;
};

}  // namespace

void strictPoly2txt(const ConversionJob& job, OutputFiles& outputs)
{
    SequentialReader input(job.inPath);
    StrictPolylines(job, input, outputs).convert();
}

}  // namespace konversi::detail
