#include "number/number_format.h"

#include <bit>
#include <cassert>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace konversi::detail {

namespace {

constexpr int significantDigits = 15;
// Room for the digits and more, so that copyShort may move them in blocks of
// 16 bytes from any of them.
constexpr int digitRoom = 32;

char* writeExponent(char* p, int exponent)
{
    *p++ = 'E';
    *p++ = exponent < 0 ? '-' : '+';
    const int magnitude = exponent < 0 ? -exponent : exponent;
    if (magnitude < 10) *p++ = '0';
    return std::to_chars(p, p + 4, magnitude).ptr;
}

// The digits of a scientific form "d.ddde±xx" into `digits`, its power of
// ten into `exponent`; returns the number of digits.
int scientificDigits(const char* form, const char* end, char* digits, int& exponent)
{
    int count = 0;
    const char* p = form;
    for (; *p != 'e'; ++p) {
        if (*p != '.') digits[count++] = *p;
    }
    // from_chars takes no plus sign: skip the exponent's sign and apply it.
    std::from_chars(p + 2, end, exponent);
    if (p[1] == '-') exponent = -exponent;
    return count;
}

// Two digits at a time: a division by 100 and a copy from this table.
constexpr char digitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// The last `width` digits of `value`, leading zeros included. On 32 bits:
// a 64-bit division by 100 costs a wide multiplication each.
template <int Width>
void writeDigits(char* out, std::uint32_t value)
{
    int width = Width;
    for (; width >= 2; width -= 2, value /= 100)
        std::memcpy(out + width - 2, digitPairs + 2 * (value % 100), 2);
    if (width == 1) out[0] = static_cast<char>('0' + value % 10);
}

// The power of ten of the leading digit of a magnitude in [0.001, 1e15),
// from its binary exponent: floor(exponent * log10(2)) is it or one below.
int leadingPower(double magnitude)
{
    static constexpr double leadingPlaces[] = {1e-3, 1e-2, 1e-1, 1e0, 1e1,  1e2,  1e3,  1e4,  1e5,
                                               1e6,  1e7,  1e8,  1e9, 1e10, 1e11, 1e12, 1e13, 1e14};
    std::uint64_t bits;
    std::memcpy(&bits, &magnitude, sizeof bits);
    const int binaryExponent = static_cast<int>(bits >> 52) - 1023;
    int power = (binaryExponent * 1233) >> 12;  // 1233 / 4096 is log10(2) near enough
    if (power < 14 && magnitude >= leadingPlaces[power + 4]) ++power;
    return power;
}

// How many of the 15 digits of `high` (the first 7) and `low` (the last 8)
// are left once trailing zeros are dropped; at least one, as high is not 0.
int digitsWithoutTrailingZeros(std::uint32_t high, std::uint32_t low)
{
    int count = significantDigits;
    std::uint32_t rest = low;
    if (low == 0) {
        count -= 8;
        rest = high;
    }
    if (rest % 10000 == 0) {
        count -= 4;
        rest /= 10000;
    }
    if (rest % 100 == 0) {
        count -= 2;
        rest /= 100;
    }
    if (rest % 10 == 0) --count;
    return count;
}

// The eight digits of `value` < 10^8 in one word, the first in its lowest
// byte: its halves of four digits split into pairs, the pairs into digits,
// every lane of the word at once, by multiplications that divide exactly
// in their range (by 100 below 10^4, by 10 below 100).
std::uint64_t eightDigits(std::uint32_t value)
{
    const std::uint64_t halves = value / 10'000 | std::uint64_t{value % 10'000} << 32;
    const std::uint64_t hundreds = ((halves * 10486) >> 20) & 0x0000007F0000007F;
    const std::uint64_t pairs = ((halves - 100 * hundreds) << 16) + hundreds;
    const std::uint64_t tens = ((pairs * 103) >> 10) & 0x000F000F000F000F;
    return tens + ((pairs - 10 * tens) << 8) + 0x3030303030303030;
}

// The 15 digits of `high` (the first 7) and `low` (the last 8) into
// `digits`; returns how many are left once trailing zeros are dropped, at
// least one, as high is not 0.
int writeFifteenDigits(char* digits, std::uint32_t high, std::uint32_t low)
{
    if constexpr (std::endian::native == std::endian::little) {
        constexpr std::uint64_t zeros = 0x3030303030303030;
        const std::uint64_t first = eightDigits(high);  // a leading 0, then the 7
        const std::uint64_t last = eightDigits(low);
        const std::uint64_t firstSeven = first >> 8;
        std::memcpy(digits, &firstSeven, sizeof firstSeven);
        std::memcpy(digits + 7, &last, sizeof last);
        // The last digit is the highest byte: a '0' leaves a zero byte.
        if (last != zeros) return significantDigits - std::countl_zero(last ^ zeros) / 8;
        // Its leading 0 marked: high has a first digit, and the count stays
        // in range for the compiler to see.
        return significantDigits - 8 - std::countl_zero((first ^ zeros) | 1) / 8;
    }
    writeDigits<7>(digits, high);
    writeDigits<8>(digits + 7, low);
    return digitsWithoutTrailingZeros(high, low);
}

// The 15-digit rounding of `magnitude`, as the 15 digits of a whole number
// in [10^14, 10^15) and its power of ten, when that rounding reads back as
// the same double; returns how many digits are left without trailing zeros,
// or 0 when it does not read back (such a double needs 16 or 17 digits) and
// for magnitudes outside [0.001, 1e15). A 15-digit number that reads back
// is the rounding: the exact value lies within half a unit in the last
// place of a double of it, far less than half a unit in the 15th digit. The
// multiplication that finds it may be off by one unit; the division that
// checks it is exact, both of its operands being exact doubles.
int quickDigits(double magnitude, char (&digits)[digitRoom], int& exponent)
{
    static constexpr double powersOfTen[] = {1e0, 1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,
                                             1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15, 1e16, 1e17};
    constexpr std::uint64_t lowest = 100'000'000'000'000;  // 10^14
    if (!(magnitude >= 1e-3 && magnitude < 1e15)) return 0;
    const int power = leadingPower(magnitude);
    const int scale = significantDigits - 1 - power;
    const double scaled = magnitude * powersOfTen[scale];
    const auto nearest = static_cast<std::uint64_t>(scaled + 0.5);
    for (const std::uint64_t candidate : {nearest, nearest - 1, nearest + 1}) {
        if (candidate < lowest || candidate >= 10 * lowest) continue;
        if (static_cast<double>(candidate) / powersOfTen[scale] != magnitude) continue;
        const auto high = static_cast<std::uint32_t>(candidate / 100'000'000);
        const auto low = static_cast<std::uint32_t>(candidate % 100'000'000);
        exponent = power;
        return writeFifteenDigits(digits, high, low);
    }
    return 0;
}

// The digits of a positive finite `magnitude` rounded to 15 significant
// digits, and its power of ten; returns their count.
int roundedDigits(double magnitude, char (&digits)[digitRoom], int& exponent)
{
    if (const int count = quickDigits(magnitude, digits, exponent)) return count;
    char form[32];
    const auto result = std::to_chars(form, form + sizeof form, magnitude,
                                      std::chars_format::scientific, significantDigits - 1);
    return scientificDigits(form, result.ptr, digits, exponent);
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

    char digits[digitRoom];
    int exponent = 0;
    int count = roundedDigits(std::fabs(value), digits, exponent);
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
        if (count > wholeDigits) {
            copyShort(p, digits, static_cast<std::size_t>(wholeDigits));
            p += wholeDigits;
            *p++ = '.';
            copyShort(p, digits + wholeDigits, static_cast<std::size_t>(count - wholeDigits));
            p += count - wholeDigits;
        } else {
            constexpr char zeros[] = "000000000000000";
            copyShort(p, digits, static_cast<std::size_t>(count));
            copyShort(p + count, zeros, static_cast<std::size_t>(wholeDigits - count));
            p += wholeDigits;
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

}  // namespace konversi::detail
