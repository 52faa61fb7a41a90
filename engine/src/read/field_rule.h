#pragma once

#include "number/byte_blocks.h"
#include "number/field_value.h"
#include "number/number.h"

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string_view>

// The rule for where a line or a field of a text file ends, as pure
// functions over bytes in memory: the reader runs it over its buffer and, when
// the buffer ends inside a token, runs it again once it has read on.
namespace konversi::detail {

enum ByteClass : unsigned char {
    LineEnd = 1,  // CR or LF
    Comma = 2,
    Space = 4,
    Quote = 8,
    Blank = 16,  // what may trail a coordinate file: space, tab, CR, LF, byte 26
    NumberStart = 32,
};

constexpr std::array<unsigned char, 256> makeClasses()
{
    std::array<unsigned char, 256> classes{};
    classes['\r'] = LineEnd | Blank;
    classes['\n'] = LineEnd | Blank;
    classes[','] = Comma;
    classes[' '] = Space | Blank;
    classes['"'] = Quote;
    classes['\t'] = Blank;
    classes[26] = Blank;
    for (int c = '0'; c <= '9'; ++c)
        classes[c] = NumberStart;
    classes['+'] = NumberStart;
    classes['-'] = NumberStart;
    classes['.'] = NumberStart;
    return classes;
}

constexpr std::array<unsigned char, 256> classes = makeClasses();

inline bool is(char c, unsigned char mask)
{
    return (classes[static_cast<unsigned char>(c)] & mask) != 0;
}

// Where each kind of token stops: the one rule for where a line or a field
// ends. A line ends at a line end; a field in double quotes at its closing
// quote or a line end; a field that starts like a number at a comma, a line
// end or a space, so that "1 2 3" is three fields; any other field at a comma
// or a line end, without its trailing spaces.
constexpr unsigned char lineStop = LineEnd;
constexpr unsigned char quotedStop = Quote | LineEnd;
constexpr unsigned char numberStop = LineEnd | Comma | Space;
constexpr unsigned char fieldStop = LineEnd | Comma;

// The first byte from p on that `matches`, or end: `marks` tells the same
// of a block of bytes (see byte_blocks.h), so that the bytes are searched a
// vector at a time, then a word, then one at a time. The one scan of every
// search below.
template <class Marks, class Matches>
[[gnu::always_inline]] inline const char* firstMatch(const char* p, const char* end, Marks marks,
                                                     Matches matches)
{
    if (findInBlocks<WideBlock>(p, end, marks)) return p;
    if constexpr (WideBlock::size > WordBlock::size) {
        if (findInBlocks<WordBlock>(p, end, marks)) return p;
    }
    while (p != end && !matches(*p))
        ++p;
    return p;
}

// The first `byte` from p on, or end. `OrLineEnd` stops at a CR or LF too:
// the end of a field of a record read in a buffer.
template <bool OrLineEnd = false>
[[gnu::always_inline]] inline const char* findByte(const char* p, const char* end, char byte)
{
    const auto wanted = static_cast<unsigned char>(byte);
    return firstMatch(
        p, end,
        [wanted](const auto& block) {
            if constexpr (OrLineEnd) {
                return block.equal(wanted) | block.equal('\r') | block.equal('\n');
            } else {
                return block.equal(wanted);
            }
        },
        [byte](char c) { return c == byte || (OrLineEnd && is(c, LineEnd)); });
}

// The first byte from p on that starts one of `texts`, or end.
inline const char* firstInitial(const char* p, const char* end,
                                std::span<const std::string_view> texts)
{
    return firstMatch(
        p, end,
        [texts](const auto& block) {
            auto marks = block.equal(static_cast<unsigned char>(texts.front().front()));
            for (const std::string_view text : texts.subspan(1))
                marks = marks | block.equal(static_cast<unsigned char>(text.front()));
            return marks;
        },
        [texts](char c) {
            for (const std::string_view text : texts) {
                if (c == text.front()) return true;
            }
            return false;
        });
}

// Where the line that holds `p` starts: after the last line end before it,
// or at `from`, where a line starts.
inline const char* lineStart(const char* from, const char* p)
{
    while (p != from && !is(p[-1], LineEnd))
        --p;
    return p;
}

// The bytes of the class `Stop` in a block.
template <unsigned char Stop, class Block>
inline auto stopBytes(const Block& block)
{
    static_assert((Stop & LineEnd) != 0, "every token ends at a line end");
    auto marks = block.equal('\r') | block.equal('\n');
    if constexpr ((Stop & Comma) != 0) marks = marks | block.equal(',');
    if constexpr ((Stop & Space) != 0) marks = marks | block.equal(' ');
    if constexpr ((Stop & Quote) != 0) marks = marks | block.equal('"');
    return marks;
}

// The first byte of the class `Stop` from p on, or end.
template <unsigned char Stop>
inline const char* passToStop(const char* p, const char* end)
{
    return firstMatch(
        p, end, [](const auto& block) { return stopBytes<Stop>(block); },
        [](char c) { return is(c, Stop); });
}

inline const char* passToStop(const char* p, const char* end, unsigned char stop)
{
    switch (stop) {
    case lineStop: return passToStop<lineStop>(p, end);
    case quotedStop: return passToStop<quotedStop>(p, end);
    case numberStop: return passToStop<numberStop>(p, end);
    default: return passToStop<fieldStop>(p, end);
    }
}

inline const char* pastSpaces(const char* p, const char* end)
{
    while (p != end && *p == ' ')
        ++p;
    return p;
}

inline bool onlySpaces(const char* begin, const char* end)
{
    for (; begin != end; ++begin) {
        if (*begin != ' ') return false;
    }
    return true;
}

inline std::size_t trimmedLength(const char* text, std::size_t length)
{
    while (length > 0 && text[length - 1] == ' ')
        --length;
    return length;
}

inline const char* firstNonBlank(const char* begin, const char* end)
{
    for (; begin != end; ++begin) {
        if (!is(*begin, Blank)) return begin;
    }
    return nullptr;
}

// A token as the rule found it in memory.
struct Token {
    enum class Form : std::uint8_t { Empty, Quoted, Unquoted };

    std::string_view view() const noexcept
    {
        return length == 0 ? std::string_view("") : std::string_view(text, length);
    }

    const char* start = nullptr;  // its first byte after the spaces before it
    const char* text = nullptr;
    std::size_t length = 0;
    Form form = Form::Empty;
    bool scanned = false;      // scanned as a number: wholeNumber and printLength hold
    bool wholeNumber = false;  // the number scan took the whole token
    std::uint8_t printLength = 0;
};

// A comma, or a line end (CR LF, a lone CR or a lone LF) at `p`, passed;
// nothing at the end of the file. Null when the bytes end before it can tell.
inline const char* passDelimiter(const char* p, const char* end, bool atEof)
{
    if (p == end) return atEof ? p : nullptr;
    if (*p++ != '\r') return p;
    if (p == end) return atEof ? p : nullptr;
    return *p == '\n' ? p + 1 : p;
}

// The one rule for where a line or a field ends, over the bytes [p, end), the
// last of the file when `atEof`. A line ends at a line end; a field in double
// quotes at its closing quote or a line end, and what follows the quote up to
// a comma or a line end is dropped; a field that starts like a number at a
// comma, a line end or a space, so that "1 2 3" is three fields, and a
// delimiter after its spaces still belongs to it; any other field at a comma
// or a line end, without its trailing spaces. Spaces before a token are
// passed over. Fills `token` and returns where the next token starts, or
// returns null when the bytes end first: then token.start is where to run the
// rule again once more bytes are read. A number is scanned in the same pass
// when `scanNumbers` asks for it.
template <bool IsLine>
[[gnu::always_inline]] inline const char* splitToken(const char* p, const char* end, bool atEof,
                                                     bool scanNumbers, Token& token)
{
    p = pastSpaces(p, end);
    token.start = p;
    if (p == end && !atEof) return nullptr;
    const char* const text = p;
    if (!IsLine && p != end && *p == '"') {
        p = passToStop<quotedStop>(p + 1, end);
        if (p == end && !atEof) return nullptr;
        token.text = text + 1;
        token.length = static_cast<std::size_t>(p - token.text);
        token.form = Token::Form::Quoted;
        if (p != end && *p == '"') {
            p = passToStop<fieldStop>(p + 1, end);
            if (p == end && !atEof) return nullptr;
        }
    } else if (!IsLine && p != end && is(*p, NumberStart)) {
        NumberScan number{p, false, 0};
        if (scanNumbers) number = scanNumber(p, end);
        p = passToStop<numberStop>(number.stop, end);
        if (p == end && !atEof) return nullptr;
        token.text = text;
        token.length = static_cast<std::size_t>(p - text);
        token.form = Token::Form::Unquoted;
        token.scanned = scanNumbers;
        token.wholeNumber = number.isNumber && number.stop == p;
        token.printLength = static_cast<std::uint8_t>(number.printLength);
        p = pastSpaces(p, end);
        if (p == end && !atEof) return nullptr;
        if (p != end && !is(*p, fieldStop)) return p;
    } else {
        p = passToStop<(IsLine ? lineStop : fieldStop)>(p, end);
        if (p == end && !atEof) return nullptr;
        token.text = text;
        token.length = trimmedLength(text, static_cast<std::size_t>(p - text));
        token.form = token.length == 0 ? Token::Form::Empty : Token::Form::Unquoted;
    }
    return passDelimiter(p, end, atEof);
}

// The rule for a field that starts with a number in its common spelling
// (see scanCommonNumber) that takes the field whole, read in one pass:
// fills `value` and returns where the next field starts; null for any other
// field, and when the bytes end before it can tell, which leaves splitToken
// to read it.
[[gnu::always_inline]] inline const char* splitCommonNumberField(const char* p, const char* end,
                                                                 bool atEof, FieldValue& value)
{
    p = pastSpaces(p, end);
    NumberScan number;
    if (!scanCommonNumber(p, end, '.', number) || !is(*number.stop, numberStop)) return nullptr;
    value = FieldValue::printedNumber({p, static_cast<std::size_t>(number.stop - p)},
                                      number.printLength);
    if (*number.stop == ',') return number.stop + 1;  // the common case, told at once
    p = pastSpaces(number.stop, end);
    if (p == end) return nullptr;
    return is(*p, fieldStop) ? passDelimiter(p, end, atEof) : p;
}

// A line that holds nothing but a number between spaces, the common form of
// a DXF line: the rule for a line, with the number scanned on the way, in
// one pass. Returns where the next line starts and fills `value` as the
// field rule values a number, spelling kept (a text when beyond a double's
// range); null when the line has any other form or the bytes end before its
// end, which leaves the general rule to read it. `CommonOnly` takes only a
// number in its common spelling (see scanCommonNumber), which is its print
// form: the form to try first, inline where a line is read; the grammar
// walk then takes every other spelling.
template <bool CommonOnly>
[[gnu::always_inline]] inline const char* splitNumberLine(const char* p, const char* end,
                                                          bool atEof, FieldValue& value)
{
    p = pastSpaces(p, end);
    NumberScan number;
    if constexpr (CommonOnly) {
        if (!scanCommonNumber(p, end, '.', number)) return nullptr;
    } else {
        number = scanNumberByWalk(p, end);
        if (!number.isNumber) return nullptr;
    }
    const char* const lineEnd = pastSpaces(number.stop, end);
    if (lineEnd == end || !is(*lineEnd, LineEnd)) return nullptr;
    const std::string_view spelling(p, static_cast<std::size_t>(number.stop - p));
    if constexpr (CommonOnly) {
        value = FieldValue::printedNumber(spelling, number.printLength);
    } else {
        value = classifyNumber(spelling, number.printLength);
    }
    return passDelimiter(lineEnd, end, atEof);
}

// The same for a line that holds a small whole number (see
// smallWholeNumber), such as a DXF group code, which takes it as it goes.
inline const char* splitSmallWholeNumberLineByWalk(const char* p, const char* end, bool atEof,
                                                   int& value)
{
    p = pastSpaces(p, end);
    const std::optional<int> number = takeSmallWholeNumber(p, end);
    if (!number) return nullptr;
    p = pastSpaces(p, end);
    if (p == end || !is(*p, LineEnd)) return nullptr;
    value = *number;
    return passDelimiter(p, end, atEof);
}

// The common form of such a line, spaces, one to seven digits and spaces
// within its first eight bytes, and 16 bytes of room: each run told from
// one word, with no byte loop. Null for any other line, which the walk
// then reads.
[[gnu::always_inline]] inline const char* splitShortWholeNumberLine(const char* p, const char* end,
                                                                    int& value)
{
    if constexpr (std::endian::native != std::endian::little) return nullptr;
    constexpr std::uint64_t spaces = 0x2020202020202020;
    if (end - p < 16) return nullptr;
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    // A byte that is no space leaves a byte of the difference set, exactly.
    const int lead = std::countr_zero(word ^ spaces) / 8;
    if (lead == 8) return nullptr;
    const std::uint64_t fromDigits = word >> (8 * lead);
    const int digits = std::countr_zero(nonDigitBytes(fromDigits)) / 8;
    if (digits == 0 || digits == 8) return nullptr;
    // The bytes shifted in are 0, no space: the trailing run ends by the word's
    // end, where the line end must stand, so that a run cut by it reads on.
    const int trail = std::countr_zero((fromDigits >> (8 * digits)) ^ spaces) / 8;
    const char* const lineEnd = p + lead + digits + trail;
    if (!is(*lineEnd, LineEnd)) return nullptr;
    int number = 0;
    for (const char* d = p + lead; d != p + lead + digits; ++d)
        number = number * 10 + (*d - '0');
    value = number;
    return passDelimiter(lineEnd, end, false);  // the room holds the LF after a CR
}

inline const char* splitSmallWholeNumberLine(const char* p, const char* end, bool atEof, int& value)
{
    if (const char* next = splitShortWholeNumberLine(p, end, value)) return next;
    return splitSmallWholeNumberLineByWalk(p, end, atEof, value);
}

// Where the text of the token whose first byte is `first` stops.
inline unsigned char textStop(char first, bool isLine)
{
    if (isLine) return lineStop;
    if (first == '"') return quotedStop;
    return is(first, NumberStart) ? numberStop : fieldStop;
}

// What a token read means: for a line its text; for a field empty, a text,
// or a number when the whole field is one and `classify` asks.
template <bool IsLine>
[[gnu::always_inline]] inline FieldValue valueOf(const Token& token, bool classify)
{
    const std::string_view text = token.view();
    if (IsLine || token.form == Token::Form::Quoted) return FieldValue::text(text);
    if (token.form == Token::Form::Empty) return FieldValue::empty();
    if (token.scanned) {
        return token.wholeNumber ? classifyNumber(text, token.printLength) : FieldValue::text(text);
    }
    return classify ? classifyUnquoted(text) : FieldValue::text(text);
}

}  // namespace konversi::detail
