#include "number.h"

#include <charconv>
#include <system_error>

namespace konversi::detail {

namespace {

// Longer spellings are gathered digit by digit first, so that from_chars
// only ever sees a bounded one.
constexpr std::size_t directSpellingLimit = 64;

// Octal digits regrouped as hex digits, so that one exact, correctly rounded
// conversion serves both bases. Returns the number of hex digits written.
std::size_t octalAsHex(const char* octal, std::size_t count, char* hex)
{
    const std::size_t bits = count * 3;
    const std::size_t hexCount = (bits + 3) / 4;
    const auto bitAt = [&](std::size_t fromTop) {
        // Bit `fromTop` of the hex digits, counted from the most significant,
        // padding included.
        const std::size_t padding = hexCount * 4 - bits;
        if (fromTop < padding) return 0;
        const std::size_t index = fromTop - padding;
        const int digit = octal[index / 3] - '0';
        return (digit >> (2 - index % 3)) & 1;
    };
    for (std::size_t i = 0; i < hexCount; ++i) {
        const int nibble =
            bitAt(4 * i) * 8 + bitAt(4 * i + 1) * 4 + bitAt(4 * i + 2) * 2 + bitAt(4 * i + 3);
        hex[i] = "0123456789abcdef"[nibble];
    }
    return hexCount;
}

}  // namespace

std::optional<double> DecimalValue::value() const noexcept
{
    if (count_ == 0) return negative_ ? -0.0 : 0.0;
    // The kept digits, the sticky digit, and the power of ten that places them.
    char spelling[keptDigits + 32];
    char* p = spelling;
    if (negative_) *p++ = '-';
    for (std::size_t i = 0; i < count_; ++i)
        *p++ = digits_[i];
    std::int64_t power = scale_ + exponent_;
    if (sticky_) {
        *p++ = '1';
        --power;
    }
    *p++ = 'e';
    p = std::to_chars(p, spelling + sizeof spelling, power).ptr;
    double result = 0.0;
    if (std::from_chars(spelling, p, result).ec == std::errc()) return result;
    // Out of range: beyond a double when the leading digit's power is
    // positive, else too small for one.
    const std::int64_t leadingPower = power + static_cast<std::int64_t>(count_) + (sticky_ ? 1 : 0);
    if (leadingPower > 0) return std::nullopt;
    return negative_ ? -0.0 : 0.0;
}

std::optional<double> decimalValue(std::string_view number) noexcept
{
    if (number.size() <= directSpellingLimit) {
        // from_chars takes no plus sign.
        std::string_view digits = number;
        if (digits.front() == '+') digits.remove_prefix(1);
        double value = 0.0;
        if (std::from_chars(digits.data(), digits.data() + digits.size(), value).ec ==
            std::errc()) {
            return value;
        }
    }
    SpanCursor in{number.data(), number.data() + number.size()};
    DecimalValue value;
    walkNumber(in, value);
    return value.value();
}

std::optional<double> BaseDigits::value() const noexcept
{
    if (tooMany_) return std::nullopt;
    if (count_ == 0) return 0.0;
    char hex[maxDigits];
    const std::size_t hexCount = base_ == 16 ? count_ : octalAsHex(digits_, count_, hex);
    const char* const digits = base_ == 16 ? digits_ : hex;
    double value = 0.0;
    const auto result = std::from_chars(digits, digits + hexCount, value, std::chars_format::hex);
    if (result.ec != std::errc()) return std::nullopt;
    return value;
}

}  // namespace konversi::detail
