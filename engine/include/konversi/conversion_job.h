#pragma once

#include "konversi/conversion_mode.h"
#include "konversi/conversion_options.h"

#include <string>

namespace konversi {

// The chosen input file and every name derived from it. The output extension
// is fixed when the job is filled, not when it is converted.
struct ConversionJob {
    std::string inPath;    // full path as the file chooser returned it
    std::string inTitle;   // file name without its folder
    std::string inDir;     // folder part of inPath, with its trailing "/"
    std::string baseName;  // inTitle up to its first "."
    std::string outPath;   // inDir + baseName + output extension
    ConversionOptions options;

    void fill(const std::string& path, const std::string& title, ConversionMode mode);
};

// The file name in `path`, after its last folder separator: "/", and on
// Windows "\\" and a drive's ":" too.
std::string fileNameOf(const std::string& path);

}  // namespace konversi
