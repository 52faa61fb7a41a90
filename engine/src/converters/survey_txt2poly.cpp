#include "converters/converter_units.h"

#include "converters/survey_drawing.h"
#include "dxf/drawing.h"

#include <string>
#include <string_view>

namespace konversi::detail {

namespace {

// The points as the vertices of one POLYLINE, as txt2poly has always drawn
// them, or of a new one wherever the code changes. The full layout marks
// them 3D, so that every reader keeps their elevations.
class PolylineDrawing final : public SurveyDrawing {
public:
    explicit PolylineDrawing(const ConversionJob& job)
        : options_(job.options), fileLayer_(fileLayerName(job.baseName))
    {
    }

    void addOwnLayers(LayerTable& layers) override
    {
        if (!options_.splitByCode) layers.add(fileLayer_);
    }

    void addLayersOf(const SurveyPoint& point, LayerTable& layers) override
    {
        if (options_.splitByCode) layers.add(layerOf(point));
    }

    void start(SequentialWriter& output) override
    {
        if (!options_.splitByCode) begin(fileLayer_, output);
    }

    void draw(const SurveyPoint& point, SequentialWriter& output) override
    {
        if (options_.splitByCode && (!open_ || point.code != code_)) {
            finish(output);
            code_.assign(point.code);
            begin(layerOf(point), output);
        }
        writeVertex(output, layer_, point.x, point.y, point.z);
        if (full()) output.pair(70, WholeNumber{32});  // a vertex of a 3D polyline
    }

    void finish(SequentialWriter& output) override
    {
        if (open_) endPolyline(output);
        open_ = false;
    }

private:
    bool full() const { return options_.dxf == DxfLayout::Full; }

    // The layer of the polyline the point starts.
    std::string_view layerOf(const SurveyPoint& point)
    {
        const std::string_view byCode =
            options_.layerByCode ? codeLayers_.layerOf(point.code) : std::string_view();
        return byCode.empty() ? std::string_view(fileLayer_) : byCode;
    }

    void begin(std::string_view layer, SequentialWriter& output)
    {
        layer_.assign(layer);
        beginPolyline(output, layer_);
        if (full()) output.pair(70, WholeNumber{8});  // 3D
        open_ = true;
    }

    const ConversionOptions& options_;
    const std::string fileLayer_;
    CodeLayers codeLayers_;
    std::string code_;   // of the open polyline
    std::string layer_;  // of the open polyline
    bool open_ = false;
};

}  // namespace

void surveyTxt2poly(const ConversionJob& job, OutputFiles& outputs)
{
    PolylineDrawing drawing(job);
    drawSurvey(job, outputs, drawing);
}

}  // namespace konversi::detail
