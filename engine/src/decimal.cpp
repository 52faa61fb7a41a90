#include "decimal.h"

#include <charconv>
#include <cstdint>
#include <system_error>

namespace konversi::detail {

namespace {

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

}  // namespace

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
