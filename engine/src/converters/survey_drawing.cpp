#include "converters/survey_drawing.h"

#include "dxf/drawing.h"
#include "konversi/error.h"
#include "platform/input_file.h"
#include "read/point_source.h"

namespace konversi::detail {

namespace {

// The first of the two readings of the full layout.
void writePreamble(const ConversionJob& job, SurveyDrawing& drawing, SequentialWriter& output)
{
    LayerTable layers;
    Extents extents;
    drawing.addOwnLayers(layers);
    PointSource points(job);
    SurveyPoint point;
    while (points.next(point)) {
        drawing.addLayersOf(point, layers);
        extents.add(point);
    }
    writeDrawingPreamble(output, extents, layers, job.options.textHeight);
}

}  // namespace

void drawSurvey(const ConversionJob& job, OutputFiles& outputs, SurveyDrawing& drawing)
{
    // A FIFO or device read a second time would block for ever or give
    // other bytes: refused before it is opened.
    const bool full = job.options.dxf == DxfLayout::Full;
    if (full && isReadOnce(job.inPath)) throw Error(ErrorCode::BadFileMode);
    PointSource points(job);
    SequentialWriter output(outputs, job.outPath, points.identity());
    if (full) writePreamble(job, drawing, output);
    beginEntities(output);
    drawing.start(output);
    SurveyPoint point;
    while (points.next(point))
        drawing.draw(point, output);
    drawing.finish(output);
    endEntities(output);
    output.close();
}

}  // namespace konversi::detail
