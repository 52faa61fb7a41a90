#include "decimal.h"

#include <charconv>
#include <cstdint>
#include <system_error>

namespace konversi::detail {

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The power of ten of the number's first significant digit, saturated far
// beyond any double's range; tells an overflow from an underflow.
std::int64_t leadingPowerOfTen(std::string_view number)
{
    constexpr std::int64_t saturation = 1'000'000'000;
    std::size_t i = 0;
    std::int64_t digitsBeforePoint = 0;
    std::int64_t firstSignificant = -1;  // index among all mantissa digits
    std::int64_t digitIndex = 0;
    bool afterPoint = false;
    for (; i < number.size(); ++i) {
        const char c = number[i];
        if (c == '.') {
            afterPoint = true;
        } else if (isDigit(c)) {
            if (firstSignificant < 0 && c != '0') firstSignificant = digitIndex;
            ++digitIndex;
            if (!afterPoint) ++digitsBeforePoint;
        } else if (c == 'e' || c == 'E') {
            break;
        }
    }
    std::int64_t exponent = 0;
    bool negativeExponent = false;
    for (++i; i < number.size(); ++i) {
        const char c = number[i];
        if (c == '-') {
            negativeExponent = true;
        } else if (isDigit(c) && exponent < saturation) {
            exponent = exponent * 10 + (c - '0');
        }
    }
    if (negativeExponent) exponent = -exponent;
    return digitsBeforePoint - firstSignificant - 1 + exponent;
}

// The shape of a number without exponent: the optional sign from `begin`,
// then the whole digits and the fraction digits as found.
DecimalShape plainShape(const char* begin, const char* whole, std::size_t wholeDigits,
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

}  // namespace

DecimalScan scanDecimal(const char* begin, const char* end) noexcept
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

std::optional<double> parseDecimal(std::string_view number) noexcept
{
    // from_chars takes no plus sign.
    std::string_view digits = number;
    if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
    double value = 0.0;
    const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (result.ec == std::errc()) return value;
    if (leadingPowerOfTen(number) < 0) return number.front() == '-' ? -0.0 : 0.0;
    return std::nullopt;
}

}  // namespace konversi::detail
