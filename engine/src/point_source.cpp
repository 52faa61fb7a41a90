#include "point_source.h"

namespace konversi::detail {

PointSource::PointSource(const ConversionJob& job) : input_(job.inPath)
{
    if (!job.options.columns.empty()) records_.emplace(input_, job.options);
}

bool PointSource::next(SurveyPoint& point)
{
    if (records_) return records_->next(point);
    // Trailing blank lines end the file rather than start another triple.
    if (input_.onlyBlanksRemain()) return false;
    input_.readFields(xyz_);
    point = SurveyPoint{{}, xyz_[0], xyz_[1], xyz_[2], {}};
    return true;
}

}  // namespace konversi::detail
