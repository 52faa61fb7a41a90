#pragma once

#include "dxf/layers.h"
#include "konversi/conversion_job.h"
#include "read/record_reader.h"
#include "write/output_files.h"
#include "write/sequential_writer.h"

namespace konversi::detail {

// What a conversion of survey points draws: the entities of each point, and
// the layers they go on, which the full layout lists before any entity.
class SurveyDrawing {
public:
    virtual ~SurveyDrawing() = default;

    // The layers of what start() writes.
    virtual void addOwnLayers(LayerTable&) {}
    // The layers of what draw() writes for `point`.
    virtual void addLayersOf(const SurveyPoint& point, LayerTable& layers) = 0;

    virtual void start(SequentialWriter&) {}
    virtual void draw(const SurveyPoint& point, SequentialWriter& output) = 0;
    virtual void finish(SequentialWriter&) {}
};

// Converts the job's input with `drawing` into the job's output. The full
// layout reads the input twice, first for the layers and the extents, so
// that memory stays bounded whatever the number of points.
void drawSurvey(const ConversionJob& job, OutputFiles& outputs, SurveyDrawing& drawing);

}  // namespace konversi::detail
