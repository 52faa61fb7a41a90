#pragma once

#include "konversi/conversion_job.h"
#include "write/output_files.h"

namespace konversi::detail {

// A converter reads the job's input and starts its outputs in `outputs`,
// which convert() commits once the converter has returned.
using Converter = void (*)(const ConversionJob& job, OutputFiles& outputs);

// The four conversions as the window runs them.
void txt2point(const ConversionJob& job, OutputFiles& outputs);
void txt2poly(const ConversionJob& job, OutputFiles& outputs);
void point2txt(const ConversionJob& job, OutputFiles& outputs);
void poly2txt(const ConversionJob& job, OutputFiles& outputs);
// point2txt and poly2txt reading the DXF by its group codes (--strict).
void strictPoint2txt(const ConversionJob& job, OutputFiles& outputs);
void strictPoly2txt(const ConversionJob& job, OutputFiles& outputs);

// txt2point and txt2poly as konversi-cli's options ask: records in columns,
// labels, layers by code, the full layout.
void surveyTxt2point(const ConversionJob& job, OutputFiles& outputs);
void surveyTxt2poly(const ConversionJob& job, OutputFiles& outputs);

}  // namespace konversi::detail
