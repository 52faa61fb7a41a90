#pragma once

#include "konversi/field_value.h"

#include <cstddef>
#include <optional>
#include <string_view>

namespace konversi::detail {

// What one pass over a field tells about it as a number.
struct DecimalShape {
    // An optional sign; digits with an optional point and more digits, or a
    // point and at least one digit; then optionally E or e, an optional sign
    // and digits; nothing else.
    bool complete = false;
    // The spelling, without the trailing zeros after its point (and the
    // point when nothing else follows it), is digit for digit what the print
    // form writes for its value after the sign place: at most 15 significant
    // digits, no plus sign, no exponent, no leading zero before the point but
    // a single 0, and a magnitude of 0.001 or more (or 0, unsigned). Such a
    // number can neither overflow nor round.
    bool printForm = false;
    // How many bytes of the spelling that print form takes.
    std::size_t printLength = 0;
};

// The longest start of [begin, end) that follows the number grammar, and its
// shape: a field reader scans a number field and checks its form in the same
// pass. When that start is not a number (no digit), `shape.complete` is false.
struct DecimalScan {
    const char* stop;  // the first byte after that start
    DecimalShape shape;
};

DecimalScan scanDecimal(const char* begin, const char* end) noexcept;

// The shape of a whole text: complete only when all of it is a number.
inline DecimalShape decimalShape(std::string_view text) noexcept
{
    const DecimalScan scan = scanDecimal(text.data(), text.data() + text.size());
    return scan.stop == text.data() + text.size() ? scan.shape : DecimalShape{};
}

// The value of an unquoted field whose whole text has the given shape: a
// number when complete and within a double's range, otherwise a text.
FieldValue classifyDecimal(std::string_view field, const DecimalShape& shape);

// Converts a decimal number that has already been checked against the number
// grammar (optional sign, digits with an optional point, optional exponent)
// to the correctly rounded double. A number too small for a double gives 0
// (or the denormal); one too large gives nothing.
std::optional<double> parseDecimal(std::string_view number) noexcept;

}  // namespace konversi::detail
