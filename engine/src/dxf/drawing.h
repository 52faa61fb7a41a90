#pragma once

#include "dxf/layers.h"
#include "read/record_reader.h"
#include "write/sequential_writer.h"

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

// The entities txt2point and txt2poly write, in every layout: templates, so
// that the usual layout's fixed layers and height print as constants, and
// those written for every point inline where they are called, so that their
// codes and names do too.

template <class Layer, class X, class Y, class Z>
[[gnu::always_inline]] inline void writePoint(SequentialWriter& output, const Layer& layer,
                                              const X& x, const Y& y, const Z& z)
{
    output.pairs(Pair{0, "POINT"}, Pair{8, layer}, Pair{10, x}, Pair{20, y}, Pair{30, z});
}

template <class Layer, class X, class Y, class Height, class Text>
[[gnu::always_inline]] inline void writeLabel(SequentialWriter& output, const Layer& layer,
                                              const X& x, const Y& y, const Height& height,
                                              const Text& text)
{
    output.pairs(Pair{0, "TEXT"}, Pair{8, layer},  //
                 Pair{10, x}, Pair{20, y}, Pair{30, WholeNumber{0}},
                 Pair{40, height},      // text height
                 Pair{1, text},         // the label
                 Pair{7, "STANDARD"});  // text style
}

// A point and its elevation label as txt2point has always drawn them, on
// TITIK and TEKS, one unit high: inline, so that all of it prints as
// constants but the numbers.
template <class X, class Y, class Z>
[[gnu::always_inline]] inline void writeUsualPoint(SequentialWriter& output, const X& x, const Y& y,
                                                   const Z& z)
{
    writePoint(output, "TITIK", x, y, z);
    writeLabel(output, "TEKS", x, y, WholeNumber{1}, z);
}

template <class Layer>
void beginPolyline(SequentialWriter& output, const Layer& layer)
{
    output.pairs(Pair{0, "POLYLINE"}, Pair{8, layer}, Pair{66, "1"},  // vertices follow
                 Pair{10, WholeNumber{0}}, Pair{20, WholeNumber{0}}, Pair{30, WholeNumber{0}});
}

template <class Layer, class X, class Y, class Z>
[[gnu::always_inline]] inline void writeVertex(SequentialWriter& output, const Layer& layer,
                                               const X& x, const Y& y, const Z& z)
{
    output.pairs(Pair{0, "VERTEX"}, Pair{8, layer}, Pair{10, x}, Pair{20, y}, Pair{30, z});
}

inline void endPolyline(SequentialWriter& output)
{
    output.pair(0, "SEQEND");
}

}  // namespace konversi::detail
