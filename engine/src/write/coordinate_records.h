#pragma once

#include "konversi/conversion_options.h"
#include "number/held_number.h"
#include "write/sequential_writer.h"

#include <cstdint>
#include <string_view>

namespace konversi::detail {

// A point or vertex as the strict DXF readers keep it until it is written.
struct Coordinates {
    HeldNumber x;
    HeldNumber y;
    HeldNumber z;
};

// Writes points and vertices as lines: "x y z" in the number print form, the
// line the default modes write, or with --columns the chosen fields joined
// by the delimiter (a comma unless another is chosen), numbers without the
// sign place and the space after them, and a text that would not read back
// as it stands in double quotes.
class CoordinateRecords {
public:
    explicit CoordinateRecords(const ConversionOptions& options);

    // `number` is the point's running number (the p column), `layer` its
    // entity's layer (the d column).
    void write(SequentialWriter& output, std::uint64_t number, const Coordinates& point,
               std::string_view layer) const;

private:
    void writeField(SequentialWriter& output, ColumnRole role, std::uint64_t number,
                    const Coordinates& point, std::string_view layer) const;
    void writeText(SequentialWriter& output, std::string_view text) const;

    const std::vector<ColumnRole>& columns_;
    std::string_view delimiter_;
};

}  // namespace konversi::detail
