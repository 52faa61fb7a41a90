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

// The longest start of a text that follows the number grammar, and its shape.
struct DecimalScan {
    const char* stop;  // the first byte after that start
    DecimalShape shape;
};

inline bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The shape of a number without exponent: the optional sign from `begin`,
// then the whole digits and the fraction digits as found.
inline DecimalShape plainShape(const char* begin, const char* whole, std::size_t wholeDigits,
                               const char* fraction, std::size_t fractionDigits)
{
    constexpr std::size_t significantDigits = 15;
    DecimalShape shape{true, false, 0};
    if (*begin == '+' || wholeDigits == 0) return shape;
    std::size_t kept = fractionDigits;  // fraction digits the print form keeps
    while (kept > 0 && fraction[kept - 1] == '0')
        --kept;
    if (*whole != '0') {
        shape.printForm = wholeDigits + kept <= significantDigits;
    } else if (wholeDigits == 1) {
        if (kept == 0) {
            shape.printForm = *begin != '-';  // "-0" prints as 0
        } else {
            std::size_t zeros = 0;
            while (fraction[zeros] == '0')
                ++zeros;  // stops: fraction[kept - 1] is not 0
            shape.printForm = zeros < 3 && kept - zeros <= significantDigits;
        }
    }
    if (shape.printForm) {
        const char* const printEnd = kept > 0 ? fraction + kept : whole + wholeDigits;
        shape.printLength = static_cast<std::size_t>(printEnd - begin);
    }
    return shape;
}

// Scans the longest start of [begin, end) that follows the number grammar: a
// field reader scans a number field and checks its form in the same pass.
// When that start is not a number (no digit), `shape.complete` is false.
// Inline: it runs for every coordinate.
inline DecimalScan scanDecimal(const char* begin, const char* end) noexcept
{
    const char* p = begin;
    if (p != end && (*p == '+' || *p == '-')) ++p;
    const char* const whole = p;
    while (p != end && isDigit(*p))
        ++p;
    const std::size_t wholeDigits = static_cast<std::size_t>(p - whole);
    const char* fraction = p;
    std::size_t fractionDigits = 0;
    if (p != end && *p == '.') {
        fraction = ++p;
        while (p != end && isDigit(*p))
            ++p;
        fractionDigits = static_cast<std::size_t>(p - fraction);
    }
    if (wholeDigits + fractionDigits == 0) return {p, {}};
    // An exponent counts only when a digit follows its letter and sign.
    if (p != end && (*p == 'e' || *p == 'E')) {
        const char* q = p + 1;
        if (q != end && (*q == '+' || *q == '-')) ++q;
        const char* const exponent = q;
        while (q != end && isDigit(*q))
            ++q;
        if (q != exponent) return {q, {true, false, 0}};
    }
    return {p, plainShape(begin, whole, wholeDigits, fraction, fractionDigits)};
}

// The shape of a whole text: complete only when all of it is a number.
inline DecimalShape decimalShape(std::string_view text) noexcept
{
    const DecimalScan scan = scanDecimal(text.data(), text.data() + text.size());
    return scan.stop == text.data() + text.size() ? scan.shape : DecimalShape{};
}

// The value of an unquoted field whose whole text has the given shape: a
// number when complete and within a double's range, otherwise a text. Inline,
// so that the common print-form case is built in place by the field reader.
FieldValue classifyParsedDecimal(std::string_view field, const DecimalShape& shape);
inline FieldValue classifyDecimal(std::string_view field, const DecimalShape& shape)
{
    if (shape.printForm) return FieldValue::printedNumber(field, shape.printLength);
    return classifyParsedDecimal(field, shape);
}

// Converts a decimal number that has already been checked against the number
// grammar (optional sign, digits with an optional point, optional exponent)
// to the correctly rounded double. A number too small for a double gives 0
// (or the denormal); one too large gives nothing.
std::optional<double> parseDecimal(std::string_view number) noexcept;

}  // namespace konversi::detail
