#pragma once

#include "konversi/conversion_job.h"
#include "read/record_reader.h"
#include "read/sequential_reader.h"

#include <array>
#include <optional>

namespace konversi::detail {

// The points of a job's input, in order: its records when the job names
// columns, otherwise its x, y, z fields as txt2point has always read them.
class PointSource {
public:
    explicit PointSource(const ConversionJob& job);

    FileIdentity identity() const noexcept { return input_.identity(); }

    // The next point, or false when only blanks remain. In the full layout
    // a coordinate that is no number is error 13.
    bool next(SurveyPoint& point);

private:
    SequentialReader input_;
    std::optional<RecordReader> records_;
    bool numbersOnly_;  // the full layout: x, y and z must be numbers
    std::array<FieldValue, 3> xyz_;
};

}  // namespace konversi::detail
