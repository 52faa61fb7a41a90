#include "konversi/text_helpers.h"

#include "decimal.h"
#include "konversi/error.h"

#include <charconv>
#include <system_error>

namespace konversi {

namespace {

bool isRemovedBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n';
}
bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}
bool isOctalDigit(char c)
{
    return c >= '0' && c <= '7';
}
bool isHexDigit(char c)
{
    return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// Walks a text the way numericValue sees it: with spaces, tabs and line
// feeds removed wherever they stand.
class CleanCursor {
public:
    explicit CleanCursor(std::string_view text) : text_(text) { skipBlanks(); }

    bool done() const { return pos_ == text_.size(); }
    char peek() const { return text_[pos_]; }
    void next()
    {
        ++pos_;
        skipBlanks();
    }

private:
    void skipBlanks()
    {
        while (pos_ < text_.size() && isRemovedBlank(text_[pos_]))
            ++pos_;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
};

// Octal digits regrouped as hex digits, so that one exact, correctly rounded
// conversion serves both bases.
std::string octalAsHex(const std::string& octal)
{
    std::string bits;
    bits.reserve(octal.size() * 3 + 3);
    for (char c : octal) {
        const int d = c - '0';
        bits += static_cast<char>('0' + ((d >> 2) & 1));
        bits += static_cast<char>('0' + ((d >> 1) & 1));
        bits += static_cast<char>('0' + (d & 1));
    }
    bits.insert(0, (4 - bits.size() % 4) % 4, '0');
    std::string hex;
    hex.reserve(bits.size() / 4);
    for (std::size_t i = 0; i < bits.size(); i += 4) {
        const int nibble = (bits[i] - '0') * 8 + (bits[i + 1] - '0') * 4 + (bits[i + 2] - '0') * 2 +
                           (bits[i + 3] - '0');
        hex += "0123456789abcdef"[nibble];
    }
    return hex;
}

double wholeNumberInBase(CleanCursor& cursor, bool hex)
{
    std::string digits;
    while (!cursor.done() && (hex ? isHexDigit(cursor.peek()) : isOctalDigit(cursor.peek()))) {
        digits += cursor.peek();
        cursor.next();
    }
    if (digits.empty()) return 0.0;
    if (!hex) digits = octalAsHex(digits);
    double value = 0.0;
    const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), value,
                                        std::chars_format::hex);
    if (result.ec != std::errc()) throw Error(ErrorCode::Overflow);
    return value;
}

// Takes the longest prefix that fits the decimal number form; an exponent
// counts only when a digit follows it.
double decimalNumber(CleanCursor& cursor)
{
    std::string number;
    bool anyDigit = false;
    auto takeDigits = [&] {
        while (!cursor.done() && isDigit(cursor.peek())) {
            number += cursor.peek();
            anyDigit = true;
            cursor.next();
        }
    };
    if (!cursor.done() && (cursor.peek() == '+' || cursor.peek() == '-')) {
        number += cursor.peek();
        cursor.next();
    }
    takeDigits();
    if (!cursor.done() && cursor.peek() == '.') {
        number += '.';
        cursor.next();
        takeDigits();
    }
    if (!anyDigit) return 0.0;
    if (!cursor.done() && (cursor.peek() == 'e' || cursor.peek() == 'E')) {
        std::string exponent = "e";
        cursor.next();
        if (!cursor.done() && (cursor.peek() == '+' || cursor.peek() == '-')) {
            exponent += cursor.peek();
            cursor.next();
        }
        if (!cursor.done() && isDigit(cursor.peek())) {
            number += exponent;
            takeDigits();
        }
    }
    const auto value = detail::parseDecimal(number);
    if (!value) throw Error(ErrorCode::Overflow);
    return *value;
}

}  // namespace

std::string_view trim(std::string_view text) noexcept
{
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

double numericValue(std::string_view text)
{
    CleanCursor cursor(text);
    if (!cursor.done() && cursor.peek() == '&') {
        cursor.next();
        if (cursor.done()) return 0.0;
        const char base = cursor.peek();
        if (base == 'H' || base == 'h' || base == 'O' || base == 'o') {
            cursor.next();
            return wholeNumberInBase(cursor, base == 'H' || base == 'h');
        }
        return 0.0;
    }
    return decimalNumber(cursor);
}

std::string decimalDigits(std::uint64_t n)
{
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, n);
    return std::string(digits, result.ptr);
}

}  // namespace konversi
