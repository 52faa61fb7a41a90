#include "read/point_source.h"

#include "konversi/error.h"
#include "number/number.h"

namespace konversi::detail {

namespace {

// A drawing that strict readers open holds numbers where DXF wants them: a
// field that is no number (a quoted one may be) is error 13, one beyond a
// double 6. The field reader counts no lines, so the error names none.
void requireNumber(const FieldValue& coordinate)
{
    if (coordinate.isNumber()) return;
    const std::string_view text = coordinate.text();
    const NumberScan scan = scanNumber(text.data(), text.data() + text.size());
    if (!scan.isNumber || scan.stop != text.data() + text.size())
        throw Error(ErrorCode::TypeMismatch);
    if (!decimalValue(text)) throw Error(ErrorCode::Overflow);
}

}  // namespace

PointSource::PointSource(const ConversionJob& job)
    : input_(job.inPath), numbersOnly_(job.options.dxf == DxfLayout::Full)
{
    if (!job.options.columns.empty()) records_.emplace(input_, job.options);
}

bool PointSource::next(SurveyPoint& point)
{
    if (records_) return records_->next(point);
    // Trailing blank lines end the file rather than start another triple.
    if (input_.onlyBlanksRemain()) return false;
    input_.readFields(xyz_);
    if (numbersOnly_) {
        for (const FieldValue& coordinate : xyz_)
            requireNumber(coordinate);
    }
    point = SurveyPoint{{}, xyz_[0], xyz_[1], xyz_[2], {}};
    return true;
}

}  // namespace konversi::detail
