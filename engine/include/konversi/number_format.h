#pragma once

#include <cstddef>
#include <string_view>

namespace konversi {

// The longest number print form: sign place, 15 digits, point, "E+308", space.
inline constexpr std::size_t maxNumberPrintLength = 32;

// Writes the number print form of `value` to `out` (at least
// maxNumberPrintLength bytes) and returns the length: the sign place (" " or
// "-"), the value rounded to 15 significant digits without trailing zeros,
// then one space. Magnitudes from 1e15 on and below 0.001 use exponent form
// (1E+15, 1.5E-04).
std::size_t formatNumber(double value, char* out) noexcept;

// When `spelling` (a number field as read) already has exactly the digits the
// print form would write for its value, writes the print form by copying it
// and returns the length; otherwise returns 0. Saves the parse-and-format
// round trip for typical survey numbers.
std::size_t formatSpelledNumber(std::string_view spelling, char* out) noexcept;

}  // namespace konversi
