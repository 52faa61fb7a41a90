#pragma once

#include "number/field_value.h"
#include "platform/file_identity.h"
#include "platform/input_file.h"
#include "read/field_rule.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace konversi::detail {

// Reads a text file strictly from front to back, as lines or as comma and
// line-end separated fields, through one large buffer. Lines end at CR LF, a
// lone CR or a lone LF; a UTF-8 byte-order mark at the start is skipped.
//
// Where a field or a line ends is one pure rule over the bytes in the buffer.
// When the buffer ends inside a token, the reader keeps the token's bytes,
// reads on and runs the rule again from the token's start; only a token
// longer than the reader may hold is read as it streams past.
//
// Views returned by a read stay valid until the next call on the reader.
class SequentialReader {
public:
    // The longest field text a coordinate file may hold: a label longer than
    // this is no coordinate, and holding it would let one file take all memory.
    static constexpr std::size_t maxFieldText = 1024 * 1024;
    // The most fields one call reads.
    static constexpr std::size_t maxTokens = 8;

    static constexpr std::size_t defaultBufferSize = 256 * 1024;

    // Opens the file for reading: error 53 when it is missing, 76 when its
    // folder is, 75 for anything else (a folder, no permission). A smaller
    // buffer reads the same, only with more refills: tests use one to put
    // buffer ends everywhere.
    explicit SequentialReader(const std::string& path, std::size_t bufferSize = defaultBufferSize);
    ~SequentialReader();
    SequentialReader(const SequentialReader&) = delete;
    SequentialReader& operator=(const SequentialReader&) = delete;

    FileIdentity identity() const noexcept { return file_.identity(); }

    // True when no byte of the file remains.
    bool atEnd() { return !ensureByte(); }

    // True when every remaining byte is a space, tab, CR, LF or byte 26 (also
    // when none remains). Reads ahead without moving the read position.
    bool onlyBlanksRemain()
    {
        // Every blank byte is at most a space: the next one is seldom blank.
        if (pos_ != end_ && static_cast<unsigned char>(buffer_[pos_]) > ' ') return false;
        return onlyBlanksRemainAhead();
    }

    // The next line with leading and trailing spaces removed, or nothing when
    // that text is longer than `limit`: a line too long to be any short marker
    // is passed over without being held. Error 62 when no byte remains.
    std::optional<std::string_view> readTrimmedLine(std::size_t limit);

    // Runs `split`, a rule of the form of those in field_rule.h, over the
    // bytes from the read position to the end of the buffer: `split(p, end,
    // atEof)` returns where the next token starts, or null when it cannot
    // take what lies there. Moves the read position there and returns true,
    // or returns false with nothing read. A caller's own form of a record or
    // a line (survey records, the DXF line scans), read in place; the caller
    // reads any other way when it fails.
    template <class Split>
    bool readInBuffer(Split&& split)
    {
        const char* const base = buffer_.get();
        const char* const next = split(base + pos_, base + end_, eof_);
        if (next == nullptr) return false;
        pos_ = static_cast<std::size_t>(next - base);
        return true;
    }

    // Passes over the rest of the line and its line end, holding nothing.
    // Error 62 when no byte remains.
    void skipLine();

    // Passes over the spaces at the read position, which readTrimmedLine
    // would trim, and tells the byte after them without reading it; nothing
    // when no byte remains. Lets a caller pass over a line by its first
    // byte (a comment) with skipLine(), without holding it.
    std::optional<char> peekPastSpaces()
    {
        while (ensureByte()) {
            if (buffer_[pos_] != ' ') return buffer_[pos_];
            ++pos_;
        }
        return std::nullopt;
    }

    // Fills `out`, at most maxTokens long, with the next fields, in order. Error 62 when a field
    // starts with no byte left, 14 when a field's text is longer than maxFieldText.
    void readFields(std::span<FieldValue> out);

    // Reads 2 * out.size() - 1 fields (at most maxTokens) and fills `out` with the numeric values
    // of the first, third, fifth and so on: in a DXF file, the values of a run
    // of pairs, passing over the group codes between them. A number field
    // keeps its spelling, so that it prints by copying; a field of any length
    // gives its exact value without being held. Error 62 as readFields, 6 when
    // a value does not fit a double.
    void readAlternateNumbers(std::span<FieldValue> out);

    // Reads fields until one is the text `marker` and returns true, or returns
    // false when the file ends first; exactly as reading field by field would,
    // but without working out or keeping any field. `marker` starts with a
    // letter and holds no space, comma, double quote, CR or LF.
    bool skipToField(std::string_view marker);

private:
    // What to do with a text longer than the reader may hold.
    enum class Overlong {
        Cut,     // keep its start, pass over the rest
        Fail,    // error 14
        Stream,  // value it as it streams past, holding nothing
    };

    // One token read: its value, or for a line or marker its text alone.
    struct Read {
        FieldValue value;
        bool cut = false;         // only a start of the text was kept
        bool overflowed = false;  // valued as it streamed past, beyond a double
    };

    class StreamCursor;
    class HeldFields;

    bool ensureByte() { return pos_ != end_ || readForByte(); }
    bool readForByte();
    bool onlyBlanksRemainAhead();
    bool ensureBytes(std::size_t count);
    bool refill();
    [[gnu::noinline]] std::optional<std::string_view> readTrimmedLineSlowly(std::size_t limit);
    template <bool FieldsBetween>
    [[gnu::always_inline]] bool readNumbersInBuffer(std::span<FieldValue> out, std::size_t limit);
    [[gnu::noinline]] void skipLineSlowly();
    template <bool IsLine>
    Read readToken(std::size_t slot, std::size_t limit, Overlong overlong, bool classify);
    template <bool IsLine>
    Read readLongToken(std::size_t slot, std::size_t limit, Overlong overlong, bool classify);
    Read readOverlongText(unsigned char stop, std::size_t slot, std::size_t limit,
                          Overlong overlong, bool classify);
    void passTrailer(char first, bool isLine);
    void passDelimiter();
    void skipUntil(unsigned char stop);
    bool skipFieldsPast(std::uint64_t at, std::string_view marker);
    const char* pastMarkerLine(const char* start, const char* candidate, const char* end,
                               std::string_view marker) const;

    detail::InputFile file_;
    std::unique_ptr<char[]> buffer_;
    std::size_t capacity_ = 0;
    std::size_t pos_ = 0;             // next byte to read; a refill keeps the bytes from here on
    std::size_t end_ = 0;             // end of the bytes read so far
    std::uint64_t bufferOffset_ = 0;  // file offset of buffer_[0]
    bool eof_ = false;
    bool nonBlankKnown_ = false;
    std::uint64_t nonBlankAt_ = 0;  // file offset of a byte known not to be blank
    // The fields of the current call read so far: a refill moves their texts
    // to their slots, so that only the token being read stays in the buffer.
    std::span<FieldValue> held_;
    std::array<std::string, maxTokens> slots_;
};

}  // namespace konversi::detail
