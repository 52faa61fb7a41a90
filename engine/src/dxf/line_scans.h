#pragma once

#include "number/field_value.h"
#include "read/field_rule.h"
#include "read/sequential_reader.h"

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <span>
#include <string_view>

// How the DXF readers take their lines where the reader's buffer holds
// them: a group code, a number, a marker among a few, a run of pairs nobody
// reads. Each goes the reader's general way when the buffer cuts its line,
// so that the scans here only see the common case.
namespace konversi::detail {

// The next line as a number when it holds one and only spaces around it and
// lies whole in the buffer, the common form of a DXF code or value: read in
// one pass, spelling kept as readFields keeps it (a text when beyond a
// double's range). Nothing, and nothing read, for any other line, which
// readTrimmedLine then reads.
[[gnu::noinline]] std::optional<FieldValue> readAnyNumberLine(SequentialReader& input);
inline std::optional<FieldValue> readNumberLine(SequentialReader& input)
{
    FieldValue value;
    if (input.readInBuffer([&value](const char* p, const char* end, bool atEof) {
            return splitNumberLine<true>(p, end, atEof, value);
        }))
        return value;
    return readAnyNumberLine(input);
}

// The same for a line that holds a small whole number (see
// smallWholeNumber), such as a DXF group code.
inline std::optional<int> readSmallWholeNumberLine(SequentialReader& input)
{
    int value = 0;
    if (input.readInBuffer([&value](const char* p, const char* end, bool atEof) {
            return splitSmallWholeNumberLine(p, end, atEof, value);
        }))
        return value;
    return std::nullopt;
}

// Passes over pairs of a plain code line and any value line, counting them
// in `pairs`, 64 bytes at a time from maps of their line ends: a few
// instructions a pair instead of a walk over its bytes. A plain code line is
// a group code as nearly every writer spells it: one to four digits, the
// first not 0, spaces around them, a CR before the LF or none. Stops before
// any other pair, a code 0 among them, which the byte walk then tells, or
// where fewer than 64 bytes remain.
inline const char* passPlainPairs(const char* p, const char* end, std::size_t& pairs)
{
    while (end - p >= static_cast<std::ptrdiff_t>(LineMaps::size)) {
        const LineMaps maps = LineMaps::load(p);
        const std::uint64_t returnsBeforeFeeds = maps.returns & maps.lineFeeds >> 1;
        // What no plain code line holds, and what ends a line before its LF.
        const std::uint64_t notCode = ~(maps.spaces | maps.digits) & ~returnsBeforeFeeds;
        const std::uint64_t loneReturns = maps.returns & ~returnsBeforeFeeds;
        std::uint64_t feeds = maps.lineFeeds;
        std::uint64_t start = 1;     // the bit of the pair's first byte
        std::uint64_t lastFeed = 0;  // that of the last pair's LF
        for (;;) {
            const std::uint64_t codeFeed = feeds & -feeds;
            feeds ^= codeFeed;
            const std::uint64_t valueFeed = feeds & -feeds;
            if (valueFeed == 0) break;  // the value ends beyond these bytes
            feeds ^= valueFeed;
            const std::uint64_t code = codeFeed - start;
            const std::uint64_t value = valueFeed - (codeFeed << 1);
            const std::uint64_t digits = code & maps.digits;
            if ((code & notCode) != 0 || (value & loneReturns) != 0 || digits == 0)
                return p + std::countr_zero(start);
            const int first = std::countr_zero(digits);
            const std::uint64_t run = digits >> first;
            if (run >= 16 || (run & (run + 1)) != 0 || p[first] == '0')
                return p + std::countr_zero(start);
            start = valueFeed << 1;
            lastFeed = valueFeed;
            ++pairs;
        }
        if (lastFeed == 0) break;
        p += std::countr_zero(lastFeed) + 1;
    }
    return p;
}

// Passes over pairs of lines, a line that holds a small whole number other
// than `number` (read as readSmallWholeNumberLine reads it) and the line
// after it, for as long as both lie whole in the buffer; returns how many
// pairs it passed, and leaves the pair it stops before unread. The groups
// of a DXF entity that nobody reads, passed over up to the next group code
// 0 at the pace of the bytes: before a code 0, the pairs as most files
// spell them are passed over from maps of their line ends, the others a
// byte at a time.
inline std::size_t skipPairsBefore(SequentialReader& input, int number)
{
    std::size_t pairs = 0;
    input.readInBuffer([&pairs, number](const char* p, const char* end, bool atEof) {
        for (;;) {
            if (number == 0) p = passPlainPairs(p, end, pairs);
            int code = 0;
            const char* const value = splitSmallWholeNumberLine(p, end, atEof, code);
            if (value == nullptr || code == number || value == end) break;
            const char* const next = passDelimiter(passToStop<lineStop>(value, end), end, atEof);
            if (next == nullptr) break;
            p = next;
            ++pairs;
        }
        return p;
    });
    return pairs;
}

// Reads the next line and tells which of `texts`, short texts that start
// and end with no space, its text without the spaces around it is: its
// index, or texts.size() for none. As comparing readTrimmedLine would,
// without holding the line: the marker search of a DXF reader. Error 62
// when no byte remains.
[[gnu::noinline]] std::size_t readLineAmongSlowly(SequentialReader& input,
                                                  std::span<const std::string_view> texts);
inline std::size_t readLineAmong(SequentialReader& input, std::span<const std::string_view> texts)
{
    std::size_t found = texts.size();
    if (input.readInBuffer([texts, &found](const char* p, const char* end, bool atEof) {
            const char* const text = pastSpaces(p, end);
            const char* const lineEnd = passToStop<lineStop>(text, end);
            const char* const next = passDelimiter(lineEnd, end, atEof);
            if (lineEnd == end || next == nullptr) return static_cast<const char*>(nullptr);
            const std::size_t length =
                trimmedLength(text, static_cast<std::size_t>(lineEnd - text));
            for (std::size_t i = 0; i < texts.size(); ++i) {
                if (texts[i].size() == length && std::memcmp(text, texts[i].data(), length) == 0) {
                    found = i;
                    break;
                }
            }
            return next;
        }))
        return found;
    return readLineAmongSlowly(input, texts);
}

// Reads lines until one is among `texts`, as calling readLineAmong line by
// line would, and returns its index. Jumps from one byte that could start
// one of them to the next: a line without such a byte is none of them and
// is passed over unread, so that the few lines that come between the
// markers of a DXF file cost a word scan. Error 62 when the file ends first.
inline std::size_t skipToLineAmong(SequentialReader& input, std::span<const std::string_view> texts)
{
    for (;;) {
        bool candidate = false;
        input.readInBuffer([texts, &candidate](const char* from, const char* end, bool) {
            const char* const initial = firstInitial(from, end, texts);
            // The lines before the one that holds it, or every line that ends
            // in the buffer, are none of the texts.
            const char* const start = lineStart(from, initial);
            // That line, or with no line end in the buffer the line it ends
            // in, is read the usual way, which reads on.
            candidate = initial != end || start == from;
            return start;
        });
        if (candidate) {
            const std::size_t found = readLineAmong(input, texts);
            if (found != texts.size()) return found;
        }
    }
}

}  // namespace konversi::detail
