#include "konversi/converters.h"

#include "konversi/error.h"

#include <new>

namespace konversi {

void convert(const ConversionJob& job, ConversionMode mode)
{
    // A text field must be held whole to be written back, so a giant one can
    // exhaust memory; that is a failure like any other, not the end of the
    // program.
    try {
        switch (mode) {
        case ConversionMode::TextToPoint: txt2point(job); break;
        case ConversionMode::TextToPolyline: txt2poly(job); break;
        case ConversionMode::PointToText: point2txt(job); break;
        case ConversionMode::PolylineToText: poly2txt(job); break;
        }
    } catch (const std::bad_alloc&) {
        throw Error(ErrorCode::OutOfMemory);
    }
}

}  // namespace konversi
