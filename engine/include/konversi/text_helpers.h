#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace konversi {

// Removes leading and trailing spaces (byte 32) only; tabs stay.
std::string_view trim(std::string_view text) noexcept;

// The number the text begins with, after removing every space, tab and line
// feed: a decimal number, or &H/&O followed by hex or octal digits; 0 when no
// digit is read. Raises error 6 when the number does not fit a double.
double numericValue(std::string_view text);

// The decimal digits of n, without sign or spaces.
std::string decimalDigits(std::uint64_t n);

}  // namespace konversi
