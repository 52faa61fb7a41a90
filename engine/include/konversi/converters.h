#pragma once

#include "konversi/conversion_job.h"
#include "konversi/conversion_mode.h"

namespace konversi {

// Each converter reads the job's names, writes its output beside the input and
// raises konversi::Error on failure. Output written before a failure stays.
void txt2point(const ConversionJob& job);
void txt2poly(const ConversionJob& job);
void point2txt(const ConversionJob& job);
void poly2txt(const ConversionJob& job);

// Runs the converter of the given mode; running out of memory is error 7.
void convert(const ConversionJob& job, ConversionMode mode);

}  // namespace konversi
