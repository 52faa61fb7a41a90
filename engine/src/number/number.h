#pragma once

#include "konversi/error.h"
#include "number/byte_blocks.h"

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string_view>

// The number grammar, walked in one place: an optional sign; digits with an
// optional decimal mark and more digits, or a mark and at least one digit; then
// optionally E or e, an optional sign and digits, counted only when a digit
// follows. The mark is a point unless the caller says otherwise (a decimal
// comma), as fast_float's parse_options has it. Field classification, the
// print-form copy and the numeric value of a text are all built on
// walkNumber.
namespace konversi::detail {

inline bool isDigit(char c) noexcept
{
    return c >= '0' && c <= '9';
}

// What walkNumber found.
enum class NumberWalk {
    NoDigits,           // not a number: no digit before the exponent
    Number,             // a number, ending where the cursor stopped
    NumberBeforeLetter  // a number up to an E with no digit after it
};

// The next run of digits after one just taken: none for a cursor whose runs
// are always whole (wholeRuns), which saves every number a look.
template <class Cursor>
std::string_view nextRun(Cursor& in)
{
    if constexpr (requires { Cursor::wholeRuns; }) {
        return {};
    } else {
        return in.digits();
    }
}

// Walks the longest start of the cursor's bytes that follows the grammar and
// hands `parts` each piece as it passes, digits in runs. A Cursor has more(),
// peek(), next(), digits() (the run of digits at hand, taken), and mark(),
// called just before an exponent letter is taken, so that a cursor that can
// go back knows where the number ended. Always inlined: it runs for every
// coordinate, and a call costs as much as a short number.
template <class Cursor, class Parts>
[[gnu::always_inline]] inline NumberWalk walkNumber(Cursor& in, Parts& parts, char mark = '.')
{
    if (!in.more()) return NumberWalk::NoDigits;
    if (in.peek() == '+' || in.peek() == '-') {
        parts.sign(in.peek());
        in.next();
    }
    bool anyDigit = false;
    for (std::string_view run = in.digits(); !run.empty(); run = nextRun(in)) {
        parts.whole(run);
        anyDigit = true;
    }
    if (in.more() && in.peek() == mark) {
        in.next();
        for (std::string_view run = in.digits(); !run.empty(); run = nextRun(in)) {
            parts.fraction(run);
            anyDigit = true;
        }
    }
    if (!anyDigit) return NumberWalk::NoDigits;
    if (!in.more() || (in.peek() != 'e' && in.peek() != 'E')) return NumberWalk::Number;
    in.mark();
    in.next();
    bool negative = false;
    if (in.more() && (in.peek() == '+' || in.peek() == '-')) {
        negative = in.peek() == '-';
        in.next();
    }
    std::string_view run = in.digits();
    if (run.empty()) return NumberWalk::NumberBeforeLetter;
    for (; !run.empty(); run = nextRun(in))
        parts.exponent(run);
    parts.exponentSign(negative);
    return NumberWalk::Number;
}

// For each byte of an eight-byte word that is no digit, its high bit. The
// lowest mark is exact: below it every byte is a digit, which neither
// borrows in the subtraction nor carries in the addition.
inline std::uint64_t nonDigitBytes(std::uint64_t word) noexcept
{
    constexpr std::uint64_t highs = 0x8080808080808080;
    return (word | (word + 0x4646464646464646) | (word - 0x3030303030303030)) & highs;
}

// Takes the run of digits at `p`, up to `end`. Eight bytes at a time while
// eight remain: a coordinate's runs are mostly four to seven digits long,
// which a byte loop takes with a compare and a branch each.
inline std::string_view takeDigits(const char*& p, const char* end) noexcept
{
    const char* const begin = p;
    if constexpr (std::endian::native == std::endian::little) {
        while (end - p >= 8) {
            std::uint64_t word;
            std::memcpy(&word, p, sizeof word);
            if (const std::uint64_t marks = nonDigitBytes(word)) {
                p += std::countr_zero(marks) / 8;
                return {begin, static_cast<std::size_t>(p - begin)};
            }
            p += 8;
        }
    }
    while (p != end && isDigit(*p))
        ++p;
    return {begin, static_cast<std::size_t>(p - begin)};
}

// The value of a text that is a whole number of the grammar (an optional
// sign and digits, no point or exponent) of at most 9 digits, which always
// fits an int; nothing for any other text. DXF group codes and flags are
// such numbers, read by the million, so this takes their one to four digits
// a byte at a time, without the general number's scan.
// Takes such a number at `p`, up to `end`, and moves p past it; nothing
// when no digit is there or more than 9 are. What follows is the caller's.
inline std::optional<int> takeSmallWholeNumber(const char*& p, const char* end) noexcept
{
    constexpr std::ptrdiff_t maxDigits = 9;
    bool negative = false;
    if (p != end && (*p == '-' || *p == '+')) {
        negative = *p == '-';
        ++p;
    }
    const char* const digits = p;
    const char* const last = end - p > maxDigits ? p + maxDigits : end;
    unsigned value = 0;
    for (unsigned digit; p != last && (digit = static_cast<unsigned char>(*p) - '0') < 10; ++p)
        value = value * 10 + digit;
    if (p == digits || (p != end && isDigit(*p))) return std::nullopt;
    return negative ? -static_cast<int>(value) : static_cast<int>(value);
}

inline std::optional<int> smallWholeNumber(std::string_view text) noexcept
{
    const char* p = text.data();
    const char* const end = p + text.size();
    const std::optional<int> value = takeSmallWholeNumber(p, end);
    if (p != end) return std::nullopt;
    return value;
}

// A cursor over bytes in memory.
struct SpanCursor {
    static constexpr bool wholeRuns = true;  // digits() takes every digit at hand

    const char* p;
    const char* end;
    const char* marked = nullptr;

    bool more() const noexcept { return p != end; }
    char peek() const noexcept { return *p; }
    void next() noexcept { ++p; }
    std::string_view digits() noexcept { return takeDigits(p, end); }
    void mark() noexcept { marked = p; }
};

// How a number is spelled, from a cursor over memory, which hands each part
// over as one run: enough to tell whether the spelling, cut after its last
// non-zero fraction digit, is already what the print form writes for its
// value: at most 15 significant digits, no plus sign, no exponent, no
// leading zero before the point but a single 0, and a magnitude of 0.001 or
// more (or 0, unsigned). Such a number can neither overflow nor round, so it
// is printed by copying its spelling.
class SpellingShape {
public:
    void sign(char c) noexcept { sign_ = c; }
    void whole(std::string_view run) noexcept { whole_ = run; }
    void fraction(std::string_view run) noexcept { fraction_ = run; }
    void exponent(std::string_view) noexcept { hasExponent_ = true; }
    void exponentSign(bool) noexcept {}

    // The bytes of the spelling that the print form copies, or 0 when the
    // spelling is not a print form.
    std::size_t printLength() const noexcept
    {
        constexpr std::size_t significantDigits = 15;
        if (hasExponent_ || sign_ == '+' || whole_.empty()) return 0;
        std::size_t kept = fraction_.size();  // fraction digits the print form keeps
        while (kept > 0 && fraction_[kept - 1] == '0')
            --kept;
        bool printForm = false;
        if (whole_.front() != '0') {
            printForm = whole_.size() + kept <= significantDigits;
        } else if (whole_.size() == 1) {
            if (kept == 0) {
                printForm = sign_ != '-';  // "-0" prints as 0
            } else {
                std::size_t zeros = 0;
                while (fraction_[zeros] == '0')
                    ++zeros;  // stops: fraction_[kept - 1] is not 0
                printForm = zeros < 3 && kept - zeros <= significantDigits;
            }
        }
        if (!printForm) return 0;
        return (sign_ != 0 ? 1 : 0) + whole_.size() + (kept > 0 ? 1 + kept : 0);
    }

private:
    char sign_ = 0;
    bool hasExponent_ = false;
    std::string_view whole_;
    std::string_view fraction_;
};

// The value of a number, gathered digit by digit in bounded room however
// long its spelling: leading zeros are passed over, the first 800
// significant digits kept and the rest folded into one sticky digit, which
// is enough for the correctly rounded double.
class DecimalValue {
public:
    void sign(char c) noexcept { negative_ = c == '-'; }
    void whole(std::string_view run) noexcept
    {
        for (const char d : run) {
            if (count_ == 0 && d == '0') continue;
            if (!keep(d)) ++scale_;
        }
    }
    void fraction(std::string_view run) noexcept
    {
        for (const char d : run) {
            if (count_ == 0 && d == '0') {
                --scale_;
            } else if (keep(d)) {
                --scale_;
            }
        }
    }
    void exponent(std::string_view run) noexcept
    {
        constexpr std::int64_t saturation = 1'000'000'000;
        for (const char d : run) {
            if (exponent_ < saturation) exponent_ = exponent_ * 10 + (d - '0');
        }
    }
    void exponentSign(bool negative) noexcept
    {
        if (negative) exponent_ = -exponent_;
    }

    // The correctly rounded value; nothing when it is beyond a double's range
    // (one too small for a double gives 0 or the denormal).
    std::optional<double> value() const noexcept;

private:
    static constexpr std::size_t keptDigits = 800;

    bool keep(char d) noexcept
    {
        if (count_ == keptDigits) {
            sticky_ = sticky_ || d != '0';
            return false;
        }
        digits_[count_++] = d;
        return true;
    }

    bool negative_ = false;
    bool sticky_ = false;
    std::size_t count_ = 0;
    std::int64_t scale_ = 0;  // the value is digits_ * 10^(scale_ + exponent_)
    std::int64_t exponent_ = 0;
    char digits_[keptDigits];
};

// The number at the start of [begin, end) and how it is spelled.
struct NumberScan {
    const char* stop;         // the first byte after the number
    bool isNumber;            // a digit was found
    std::size_t printLength;  // see SpellingShape::printLength
};

// The common spelling of a coordinate, an optional minus, one to seven
// digits not starting with 0, and optionally the mark and up to seven more,
// taken from a 16-byte map of its digits (one load with SSE2), its print
// length with it; false for any other spelling, and when fewer than 17 bytes
// lie before `end`, which scanNumberByWalk then takes.
[[gnu::always_inline]] inline bool scanCommonNumber(const char* begin, const char* end, char mark,
                                                    NumberScan& scan) noexcept
{
    constexpr std::ptrdiff_t room = 1 + DigitMap::size;  // minus, whole digits, mark, fraction
    if (end - begin < room) return false;
    const bool negative = *begin == '-';
    const char* const whole = begin + (negative ? 1 : 0);
    const DigitMap map = DigitMap::load(whole);
    const unsigned breaks = ~map.digits;  // on past the map too: a run ends by its end
    const auto wholeLength = static_cast<std::size_t>(std::countr_zero(breaks));
    if (wholeLength == 0 || wholeLength >= 8 || *whole == '0') return false;
    const char* stop = whole + wholeLength;
    std::size_t kept = 0;  // fraction digits up to the last that is not 0
    if (*stop == mark) {
        const std::size_t first = wholeLength + 1;
        const auto fractionLength = static_cast<std::size_t>(std::countr_zero(breaks >> first));
        if (fractionLength >= 8) return false;
        const unsigned fraction = (1u << fractionLength) - 1;
        kept =
            static_cast<std::size_t>(std::bit_width((map.digits & ~map.zeros) >> first & fraction));
        stop += 1 + fractionLength;
    }
    if (*stop == 'e' || *stop == 'E') return false;
    scan = {stop, true, (negative ? 1 : 0) + wholeLength + (kept > 0 ? 1 + kept : 0)};
    return true;
}

[[gnu::always_inline]] inline NumberScan scanNumberByWalk(const char* begin, const char* end,
                                                          char mark = '.') noexcept
{
    SpanCursor in{begin, end};
    SpellingShape shape;
    switch (walkNumber(in, shape, mark)) {
    case NumberWalk::NoDigits: return {in.p, false, 0};
    case NumberWalk::Number: return {in.p, true, shape.printLength()};
    case NumberWalk::NumberBeforeLetter: return {in.marked, true, shape.printLength()};
    }
    return {in.p, false, 0};
}

[[gnu::always_inline]] inline NumberScan scanNumber(const char* begin, const char* end,
                                                    char mark = '.') noexcept
{
    NumberScan scan;
    if (scanCommonNumber(begin, end, mark, scan)) return scan;
    return scanNumberByWalk(begin, end, mark);
}

// The correctly rounded value of a spelling that scanNumber took whole with
// the same decimal mark; nothing when it is beyond a double's range.
std::optional<double> decimalValue(std::string_view number, char mark = '.') noexcept;

// The value of a spelling in the print form (see SpellingShape): its digits
// as a whole number below 10^17 and the power of ten that places them are
// both exact in a double, so that one division rounds correctly, as in
// Clinger's fast path, without the general conversion.
double printFormValue(std::string_view spelling) noexcept;

// The significant digits of a whole number in base 16 or 8, kept up to a
// count that no double can reach.
class BaseDigits {
public:
    static constexpr std::size_t maxDigits = 400;

    explicit BaseDigits(int base) : base_(base) {}
    bool accepts(char c) const noexcept
    {
        if (base_ == 8) return c >= '0' && c <= '7';
        return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
    }
    void add(char d) noexcept
    {
        if (count_ == 0 && d == '0') return;
        if (count_ == maxDigits) {
            tooMany_ = true;
        } else {
            digits_[count_++] = d;
        }
    }
    // Nothing when the number is beyond a double's range.
    std::optional<double> value() const noexcept;

private:
    int base_;
    bool tooMany_ = false;
    std::size_t count_ = 0;
    char digits_[maxDigits];
};

// Passes over spaces, tabs and line feeds wherever they stand, as the
// numeric value of a text ignores them.
template <class Cursor>
class BlankSkipping {
public:
    explicit BlankSkipping(Cursor& in) : in_(in) { skipBlanks(); }
    bool more() { return in_.more(); }
    char peek() { return in_.peek(); }
    void next()
    {
        in_.next();
        skipBlanks();
    }
    std::string_view digits()
    {
        const std::string_view run = in_.digits();
        skipBlanks();
        return run;
    }
    void mark() {}

private:
    void skipBlanks()
    {
        while (in_.more() && (in_.peek() == ' ' || in_.peek() == '\t' || in_.peek() == '\n'))
            in_.next();
    }

    Cursor& in_;
};

// The number a text begins with once every space, tab and line feed is
// removed: a decimal number, or &H or &O followed by hex or octal digits; 0
// when no digit is read. Error 6 when it does not fit a double. Reads from
// any cursor, so that a field too long to hold is valued as it streams past.
template <class Cursor>
double numericValueFrom(Cursor& text)
{
    BlankSkipping<Cursor> in(text);
    std::optional<double> value = 0.0;
    if (in.more() && in.peek() == '&') {
        in.next();
        if (!in.more()) return 0.0;
        const char base = in.peek();
        if (base != 'H' && base != 'h' && base != 'O' && base != 'o') return 0.0;
        in.next();
        BaseDigits digits(base == 'H' || base == 'h' ? 16 : 8);
        for (; in.more() && digits.accepts(in.peek()); in.next())
            digits.add(in.peek());
        value = digits.value();
    } else {
        DecimalValue decimal;
        if (walkNumber(in, decimal) != NumberWalk::NoDigits) value = decimal.value();
    }
    if (!value) throw Error(ErrorCode::Overflow);
    return *value;
}

inline double numericValue(std::string_view text)
{
    SpanCursor in{text.data(), text.data() + text.size()};
    return numericValueFrom(in);
}

}  // namespace konversi::detail
