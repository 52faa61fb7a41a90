#include "konversi/converters.h"

#include "converters/converter_units.h"
#include "konversi/error.h"

#include <new>

namespace konversi {

namespace {

void runConverter(const ConversionJob& job, ConversionMode mode, detail::OutputFiles& outputs)
{
    const bool usual = job.options.usual();
    switch (mode) {
    case ConversionMode::TextToPoint:
        if (usual) {
            detail::txt2point(job, outputs);
        } else {
            detail::surveyTxt2point(job, outputs);
        }
        break;
    case ConversionMode::TextToPolyline:
        if (usual) {
            detail::txt2poly(job, outputs);
        } else {
            detail::surveyTxt2poly(job, outputs);
        }
        break;
    case ConversionMode::PointToText:
        if (job.options.strict) {
            detail::strictPoint2txt(job, outputs);
        } else {
            detail::point2txt(job, outputs);
        }
        break;
    case ConversionMode::PolylineToText:
        if (job.options.strict) {
            detail::strictPoly2txt(job, outputs);
        } else {
            detail::poly2txt(job, outputs);
        }
        break;
    }
}

}  // namespace

void convert(const ConversionJob& job, ConversionMode mode)
{
    WrittenOutputs written;
    convertInBatch(job, mode, written);
}

void convertInBatch(const ConversionJob& job, ConversionMode mode, WrittenOutputs& written)
{
    detail::OutputFiles outputs(written);
    try {
        runConverter(job, mode, outputs);
        outputs.commit();
    } catch (const Error&) {
        // A write that failed behind the conversion's back failed before
        // whatever ended it; the user must hear of the full disk first.
        if (outputs.writeFailed()) throw Error(ErrorCode::PathFileAccess);
        throw;
    } catch (const std::bad_alloc&) {
        // A text field must be held whole to be written back, so a giant one
        // can exhaust memory; that is a failure like any other.
        throw Error(ErrorCode::OutOfMemory);
    } catch (...) {
        // Nothing else may end the program: the window and the command line
        // report it like any failure.
        throw Error(ErrorCode::InternalError);
    }
}

}  // namespace konversi
