#pragma once

#include "number/field_value.h"
#include "number/short_copy.h"

#include <cstddef>
#include <string_view>

namespace konversi::detail {

// The longest number print form: sign place, 15 digits, point, "E+308", space.
inline constexpr std::size_t maxNumberPrintLength = 32;

// Writes the number print form of `value` to `out` (at least
// maxNumberPrintLength bytes) and returns the length: the sign place (" " or
// "-"), the value rounded to 15 significant digits without trailing zeros,
// then one space. Magnitudes from 1e15 on and below 0.001 use exponent form
// (1E+15, 1.5E-04).
std::size_t formatNumber(double value, char* out) noexcept;

// The print form of a spelling known to be one (at most 15 digits, see
// FieldValue::printedSpelling): sign place, digits, space.
inline std::size_t copyPrintForm(std::string_view spelling, char* out) noexcept
{
    const bool negative = spelling.front() == '-';
    if (negative) spelling.remove_prefix(1);
    out[0] = negative ? '-' : ' ';
    copyShort(out + 1, spelling.data(), spelling.size());
    out[spelling.size() + 1] = ' ';
    return spelling.size() + 2;
}

// The print form of a number field: its spelling copied when that already is
// the print form, otherwise its value formatted. Both give the same bytes.
inline std::size_t formatNumberField(const FieldValue& field, char* out) noexcept
{
    if (field.spellingIsPrintForm()) return copyPrintForm(field.printedSpelling(), out);
    return formatNumber(field.number(), out);
}

}  // namespace konversi::detail
