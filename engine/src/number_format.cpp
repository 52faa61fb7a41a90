#include "number_format.h"

#include <cassert>
#include <charconv>
#include <cmath>
#include <cstring>

namespace konversi {

namespace {

constexpr int significantDigits = 15;

char* writeExponent(char* p, int exponent)
{
    *p++ = 'E';
    *p++ = exponent < 0 ? '-' : '+';
    const int magnitude = exponent < 0 ? -exponent : exponent;
    if (magnitude < 10) *p++ = '0';
    return std::to_chars(p, p + 4, magnitude).ptr;
}

}  // namespace

std::size_t formatNumber(double value, char* out) noexcept
{
    // Callers refuse what is not finite (error 6): it has no print form.
    assert(std::isfinite(value));
    char* p = out;
    if (value == 0.0) {
        std::memcpy(p, " 0 ", 3);
        return 3;
    }
    *p++ = value < 0 ? '-' : ' ';

    // d.dddddddddddddde±x: the 15 digits after rounding, and the power of ten.
    char scientific[32];
    const auto result = std::to_chars(scientific, scientific + sizeof scientific, std::fabs(value),
                                      std::chars_format::scientific, significantDigits - 1);
    char digits[significantDigits];
    digits[0] = scientific[0];
    std::memcpy(digits + 1, scientific + 2, significantDigits - 1);
    // from_chars takes no plus sign: skip the exponent's sign and apply it.
    const char* exponentSign = scientific + significantDigits + 2;
    int exponent = 0;
    std::from_chars(exponentSign + 1, result.ptr, exponent);
    if (*exponentSign == '-') exponent = -exponent;
    int count = significantDigits;
    while (count > 1 && digits[count - 1] == '0')
        --count;

    if (exponent >= significantDigits || exponent < -3) {
        *p++ = digits[0];
        if (count > 1) {
            *p++ = '.';
            std::memcpy(p, digits + 1, count - 1);
            p += count - 1;
        }
        p = writeExponent(p, exponent);
    } else if (exponent >= 0) {
        const int wholeDigits = exponent + 1;
        for (int i = 0; i < wholeDigits; ++i)
            *p++ = i < count ? digits[i] : '0';
        if (count > wholeDigits) {
            *p++ = '.';
            std::memcpy(p, digits + wholeDigits, count - wholeDigits);
            p += count - wholeDigits;
        }
    } else {
        *p++ = '0';
        *p++ = '.';
        for (int i = -1; i > exponent; --i)
            *p++ = '0';
        std::memcpy(p, digits, count);
        p += count;
    }
    *p++ = ' ';
    return static_cast<std::size_t>(p - out);
}

}  // namespace konversi
