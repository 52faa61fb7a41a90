#include "konversi/converters.h"

#include "converters/converter_units.h"
#include "konversi/error.h"

#include <new>

namespace konversi {

namespace {

// The converter that does `mode` with the job's options.
detail::Converter converterFor(const ConversionJob& job, ConversionMode mode)
{
    switch (mode) {
    case ConversionMode::TextToPoint:
        return job.options.plainLayout() ? detail::txt2point : detail::surveyTxt2point;
    case ConversionMode::TextToPolyline:
        return job.options.plainLayout() ? detail::txt2poly : detail::surveyTxt2poly;
    case ConversionMode::PointToText:
        return job.options.strict ? detail::strictPoint2txt : detail::point2txt;
    case ConversionMode::PolylineToText:
        return job.options.strict ? detail::strictPoly2txt : detail::poly2txt;
    }
    throw Error(ErrorCode::InternalError);
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
        converterFor(job, mode)(job, outputs);
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
