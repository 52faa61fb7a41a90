#include "number/number.h"

#include <fast_float/fast_float.h>

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <system_error>

namespace konversi::detail {

namespace {

// Longer spellings are gathered digit by digit first, into at most 800
// significant digits and a sticky one, so that one of any length is
// converted in bounded room.
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

// The correctly rounded value of a spelling of the grammar without a plus
// sign; nothing when it is beyond a double's range. fast_float takes any
// length exactly: past its 19-digit fast case it falls back to big-integer
// arithmetic.
std::optional<double> spelledValue(const char* begin, const char* end, char mark = '.') noexcept
{
    double value = 0.0;
    fast_float::from_chars_advanced(
        begin, end, value, fast_float::parse_options(fast_float::chars_format::general, mark));
    if (std::isinf(value)) return std::nullopt;
    return value;
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
    // A power beyond any double's reach saturates: fast_float's exponent
    // must not overflow.
    constexpr std::int64_t reach = 100'000;
    power = std::clamp(power, -reach, reach);
    *p++ = 'e';
    p = std::to_chars(p, spelling + sizeof spelling, power).ptr;
    return spelledValue(spelling, p);
}

std::optional<double> decimalValue(std::string_view number, char mark) noexcept
{
    if (number.size() <= directSpellingLimit) {
        // fast_float takes no plus sign.
        if (number.front() == '+') number.remove_prefix(1);
        return spelledValue(number.data(), number.data() + number.size(), mark);
    }
    SpanCursor in{number.data(), number.data() + number.size()};
    DecimalValue value;
    walkNumber(in, value, mark);
    return value.value();
}

double printFormValue(std::string_view spelling) noexcept
{
    static constexpr double powersOfTen[] = {1e0, 1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,
                                             1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15, 1e16, 1e17};
    const bool negative = spelling.front() == '-';
    if (negative) spelling.remove_prefix(1);
    const char* p = spelling.data();
    const char* const end = p + spelling.size();
    std::uint64_t digits = 0;
    // The whole part of a coordinate, up to eight digits, from one word.
    if (std::endian::native == std::endian::little && end - p >= 8) {
        std::uint64_t word;
        std::memcpy(&word, p, sizeof word);
        const int whole = std::countr_zero(nonDigitBytes(word)) / 8;
        if (whole > 0) {
            // fast_float's eight-digit value, the bytes past the whole
            // part shifted out and '0's shifted in before it.
            constexpr std::uint64_t zeros = 0x3030303030303030;
            digits = fast_float::parse_eight_digits_unrolled(((word - zeros) << (8 * (8 - whole))) +
                                                             zeros);
            p += whole;
        }
    }
    for (; p != end && *p != '.'; ++p)
        digits = digits * 10 + static_cast<std::uint64_t>(*p - '0');
    std::size_t decimals = 0;
    if (p != end) {
        decimals = static_cast<std::size_t>(end - ++p);
        for (; p != end; ++p)
            digits = digits * 10 + static_cast<std::uint64_t>(*p - '0');
    }
    const double value = static_cast<double>(digits) / powersOfTen[decimals];
    return negative ? -value : value;
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
