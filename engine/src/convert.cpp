#include "konversi/converters.h"

namespace konversi {

void convert(const ConversionJob& job, ConversionMode mode)
{
    switch (mode) {
    case ConversionMode::TextToPoint: txt2point(job); break;
    case ConversionMode::TextToPolyline: txt2poly(job); break;
    case ConversionMode::PointToText: point2txt(job); break;
    case ConversionMode::PolylineToText: poly2txt(job); break;
    }
}

}  // namespace konversi
