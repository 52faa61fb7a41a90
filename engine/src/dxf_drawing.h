#pragma once

#include "layers.h"
#include "record_reader.h"
#include "sequential_writer.h"

#include <array>

namespace konversi::detail {

// The box around a drawing's points; all zero for none.
class Extents {
public:
    void add(const SurveyPoint& point);
    const std::array<double, 3>& min() const noexcept { return min_; }
    const std::array<double, 3>& max() const noexcept { return max_; }

private:
    bool any_ = false;
    std::array<double, 3> min_{};
    std::array<double, 3> max_{};
};

// The sections of a complete R12 drawing before its entities, which strict
// readers want: HEADER (version, extents, and a point style that shows
// points `pointSize` drawing units across), TABLES (the CONTINUOUS line
// type, every layer, the STANDARD text style) and an empty BLOCKS.
void writeDrawingPreamble(SequentialWriter& output, const Extents& extents,
                          const LayerTable& layers, double pointSize);

void beginEntities(SequentialWriter& output);
void endEntities(SequentialWriter& output);  // and the file

}  // namespace konversi::detail
