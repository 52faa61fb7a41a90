#pragma once

#include "read/sequential_reader.h"
#include "write/sequential_writer.h"

#include <cstddef>
#include <string>

namespace konversi::detail {

// The DXF readers compare lines only against short markers, so they keep no
// more of any line than this: a hostile file cannot make them hold a huge one.
inline constexpr std::size_t markerLineLimit = 16;

// Error 54 when the file at `path` is a binary DXF, which a reading of text
// lines would pass over whole and report as a drawing without entities.
void refuseBinaryDxf(const std::string& path);

// Reads lines until one reads "10" once trimmed.
void skipToGroupCode10(SequentialReader& input);

// Reads the five values that follow a group code 10 line (x, code 20, y,
// code 30, z) and prints the line "x y z". All three numbers are worked out
// before the line is printed, so an overflow leaves no partial line.
void copyCoordinates(SequentialReader& input, SequentialWriter& output);

}  // namespace konversi::detail
