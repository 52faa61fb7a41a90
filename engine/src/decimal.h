#pragma once

#include <optional>
#include <string_view>

namespace konversi::detail {

// Converts a decimal number that has already been checked against the number
// grammar (optional sign, digits with an optional point, optional exponent)
// to the correctly rounded double. A number too small for a double gives 0
// (or the denormal); one too large gives nothing.
std::optional<double> parseDecimal(std::string_view number) noexcept;

}  // namespace konversi::detail
