#include "converters/converter_units.h"

#include "converters/survey_drawing.h"
#include "dxf/drawing.h"
#include "konversi/error.h"
#include "number/number_format.h"

#include <cmath>
#include <string>
#include <string_view>
#include <vector>

namespace konversi::detail {

namespace {

static_assert(maxLabelDecimals <= FixedDecimals::maxDecimals);

constexpr std::string_view pointLayer = "TITIK";

std::string_view labelLayer(Label label)
{
    switch (label) {
    case Label::PointName: return "NOMOR";
    case Label::Elevation: return "TEKS";
    case Label::Description: return "KODE";
    }
    return "TEKS";
}

// Each point as a POINT and its labels, each label a TEXT. One label stands
// at the point, as txt2point has always written it; several stand to the
// right of the point, one below the other, a text height and a half apart,
// so that none covers another.
class PointDrawing final : public SurveyDrawing {
public:
    explicit PointDrawing(const ConversionOptions& options)
        : options_(options),
          usual_(!options.layerByCode && !options.decimals && options.textHeight == 1.0 &&
                 options.labels == std::vector<Label>{Label::Elevation})
    {
        char height[maxNumberPrintLength];
        height_.assign(height, formatNumber(options.textHeight, height));
    }

    void addLayersOf(const SurveyPoint& point, LayerTable& layers) override
    {
        const std::string_view byCode = codeLayer(point);
        if (!byCode.empty()) {
            layers.add(byCode);
        } else if (!usualLayersAdded_) {
            layers.add(pointLayer);
            for (const Label label : options_.labels)
                layers.add(labelLayer(label));
            usualLayersAdded_ = true;
        }
    }

    void draw(const SurveyPoint& point, SequentialWriter& output) override
    {
        // The usual drawing, that of nearly every file, written straight on.
        if (usual_) {
            writeUsualPoint(output, point.x, point.y, point.z);
            return;
        }
        const std::string_view byCode = codeLayer(point);
        writePoint(output, byCode.empty() ? pointLayer : byCode, point.x, point.y, point.z);
        if (options_.labels.size() == 1) {
            drawLabel(options_.labels.front(), point, byCode, point.x, point.y, output);
            return;
        }
        const double height = options_.textHeight;
        // Printed once: every label of the point stands at this x.
        char xPrint[maxNumberPrintLength];
        const double labelX = placed(point.x.numericValue() + height / 2);
        const std::string_view x(xPrint, formatNumber(labelX, xPrint));
        // The first stands on the point's line, its y printed as the
        // point's, even when 1.5 heights are beyond range.
        drawLabel(options_.labels.front(), point, byCode, x, point.y, output);
        const double y = point.y.numericValue();
        for (std::size_t i = 1; i < options_.labels.size(); ++i) {
            const double below = 1.5 * height * static_cast<double>(i);
            drawLabel(options_.labels[i], point, byCode, x, placed(y - below), output);
        }
    }

private:
    // A label's coordinate worked out from the point's: one beyond a double's
    // range has no print form and no place in a drawing.
    static double placed(double coordinate)
    {
        if (!std::isfinite(coordinate)) throw Error(ErrorCode::Overflow);
        return coordinate;
    }

    // The layer the point's code names, "" when it goes on the usual ones.
    std::string_view codeLayer(const SurveyPoint& point)
    {
        return options_.layerByCode ? codeLayers_.layerOf(point.code) : std::string_view();
    }

    template <class X, class Y>
    void drawLabel(Label label, const SurveyPoint& point, std::string_view byCode, const X& x,
                   const Y& y, SequentialWriter& output) const
    {
        const std::string_view layer = byCode.empty() ? labelLayer(label) : byCode;
        switch (label) {
        case Label::PointName:
            if (!point.name.empty()) writeText(output, layer, x, y, point.name);
            break;
        case Label::Elevation:
            // A label that is no number is written as it stands.
            if (options_.decimals && point.z.isNumber()) {
                const int decimals = static_cast<int>(*options_.decimals);
                writeText(output, layer, x, y, FixedDecimals{point.z.numericValue(), decimals});
            } else {
                writeText(output, layer, x, y, point.z);
            }
            break;
        case Label::Description:
            if (!point.code.empty()) writeText(output, layer, x, y, point.code);
            break;
        }
    }

    template <class X, class Y, class Text>
    void writeText(SequentialWriter& output, std::string_view layer, const X& x, const Y& y,
                   const Text& text) const
    {
        writeLabel(output, layer, x, y, height_, text);
    }

    const ConversionOptions& options_;
    const bool usual_;    // txt2point's drawing: elevation labels one unit high
    std::string height_;  // printed once: it is the same for every label
    CodeLayers codeLayers_;
    bool usualLayersAdded_ = false;
};

}  // namespace

void surveyTxt2point(const ConversionJob& job, OutputFiles& outputs)
{
    PointDrawing drawing(job.options);
    drawSurvey(job, outputs, drawing);
}

}  // namespace konversi::detail
