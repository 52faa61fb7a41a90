#include "survey_drawing.h"

#include "dxf_drawing.h"
#include "point_source.h"

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
    PointSource points(job);
    SequentialWriter output(outputs, job.outPath, points.identity());
    if (job.options.dxf == DxfLayout::Full) writePreamble(job, drawing, output);
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
