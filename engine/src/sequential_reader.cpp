#include "sequential_reader.h"

#include "konversi/error.h"
#include "number.h"

#include <array>
#include <bit>
#include <cstring>
#include <stdexcept>

namespace konversi {

namespace {

constexpr std::size_t lookAheadSize = 64 * 1024;
// A DXF value or group code longer than this is valued or passed over as it
// streams past, not held.
constexpr std::size_t heldDxfToken = 4 * 1024;

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

// Eight bytes at a time: for each byte of the word that equals `byte`, its
// high bit. A borrow can mark a byte above a true match, never one below, so
// the lowest mark is exact.
inline std::uint64_t bytesEqual(std::uint64_t word, unsigned char byte)
{
    constexpr std::uint64_t ones = 0x0101010101010101;
    constexpr std::uint64_t highs = 0x8080808080808080;
    const std::uint64_t x = word ^ (ones * byte);
    return (x - ones) & ~x & highs;
}

template <unsigned char Stop>
inline std::uint64_t stopBytes(std::uint64_t word)
{
    std::uint64_t marks = bytesEqual(word, '\r') | bytesEqual(word, '\n');
    static_assert((Stop & LineEnd) != 0, "every token ends at a line end");
    if constexpr ((Stop & Comma) != 0) marks |= bytesEqual(word, ',');
    if constexpr ((Stop & Space) != 0) marks |= bytesEqual(word, ' ');
    if constexpr ((Stop & Quote) != 0) marks |= bytesEqual(word, '"');
    return marks;
}

// The first byte of the class `Stop` from p on, or end.
template <unsigned char Stop>
inline const char* findStop(const char* p, const char* end)
{
    while (p != end && !is(*p, Stop))
        ++p;
    return p;
}

// The same, a word at a time: for passing over bytes, where a stop is seldom
// near. (Tokens that are read end within a few bytes, where the byte loop is
// faster.)
template <unsigned char Stop>
inline const char* passToStop(const char* p, const char* end)
{
    if constexpr (std::endian::native == std::endian::little) {
        while (end - p >= 8) {
            std::uint64_t word;
            std::memcpy(&word, p, sizeof word);
            if (const std::uint64_t marks = stopBytes<Stop>(word))
                return p + std::countr_zero(marks) / 8;
            p += 8;
        }
    }
    return findStop<Stop>(p, end);
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

bool onlySpaces(const char* begin, const char* end)
{
    for (; begin != end; ++begin) {
        if (*begin != ' ') return false;
    }
    return true;
}

std::size_t trimmedLength(const char* text, std::size_t length)
{
    while (length > 0 && text[length - 1] == ' ')
        --length;
    return length;
}

const char* firstNonBlank(const char* begin, const char* end)
{
    for (; begin != end; ++begin) {
        if (!is(*begin, Blank)) return begin;
    }
    return nullptr;
}

}  // namespace

// The bytes of the token at the read position up to its stop byte, reading
// on as needed and keeping nothing behind the read position.
class SequentialReader::StreamCursor {
public:
    StreamCursor(SequentialReader& reader, unsigned char stop) : reader_(reader), stop_(stop) {}
    bool more() { return reader_.ensureByte() && !is(reader_.buffer_[reader_.pos_], stop_); }
    char peek() const { return reader_.buffer_[reader_.pos_]; }
    void next() { ++reader_.pos_; }
    // Digits are never a stop byte, so a run ends within the token.
    std::string_view digits()
    {
        if (!more()) return {};
        const char* p = reader_.buffer_.get() + reader_.pos_;
        const std::string_view run = detail::takeDigits(p, reader_.buffer_.get() + reader_.end_);
        reader_.pos_ += run.size();
        return run;
    }
    void mark() {}

private:
    SequentialReader& reader_;
    unsigned char stop_;
};

SequentialReader::SequentialReader(const std::string& path, std::size_t bufferSize) : file_(path)
{
    buffer_ = std::make_unique<char[]>(bufferSize);
    capacity_ = bufferSize;

    // A byte-order mark from an editor is not part of the first value.
    while (end_ < 3 && refill()) {
    }
    if (end_ >= 3 && std::memcmp(buffer_.get(), "\xEF\xBB\xBF", 3) == 0) pos_ = 3;
}

SequentialReader::~SequentialReader() = default;

bool SequentialReader::readForByte()
{
    while (pos_ == end_) {
        keep_ = pos_;
        if (!refill()) return false;
    }
    return true;
}

// Reads more of the file behind the bytes kept from keep_ on. Tokens already
// read but not yet handed out move to their slots first, so that only the
// token being scanned is kept in the buffer.
bool SequentialReader::refill()
{
    if (eof_) return false;
    keepTokensInSlots();
    if (keep_ > 0) {
        std::memmove(buffer_.get(), buffer_.get() + keep_, end_ - keep_);
        end_ -= keep_;
        pos_ -= keep_;
        bufferOffset_ += keep_;
        keep_ = 0;
    }
    if (end_ == capacity_) {
        auto larger = std::make_unique<char[]>(capacity_ * 2);
        std::memcpy(larger.get(), buffer_.get(), end_);
        buffer_ = std::move(larger);
        capacity_ *= 2;
    }
    const std::size_t count = file_.read(buffer_.get() + end_, capacity_ - end_);
    if (count == 0) {
        eof_ = true;
        return false;
    }
    end_ += count;
    return true;
}

void SequentialReader::keepTokensInSlots()
{
    for (std::size_t i = 0; i < settled_; ++i) {
        Token& token = tokens_[i];
        if (token.inSlot || token.length == 0) continue;
        slot(i).assign(textOf(token), token.length);
        token.inSlot = true;
    }
}

std::string& SequentialReader::slot(std::size_t index)
{
    if (slots_.size() <= index) slots_.resize(index + 1);
    return slots_[index];
}

inline const char* SequentialReader::textOf(const Token& token) const
{
    return buffer_.get() + (token.begin - bufferOffset_);
}

std::string_view SequentialReader::viewOf(std::size_t index) const
{
    const Token& token = tokens_[index];
    if (token.length == 0) return "";  // not a null pointer: it may reach memcpy
    if (token.inSlot) return {slots_[index].data(), token.length};
    return {textOf(token), token.length};
}

bool SequentialReader::Token::inText() const noexcept
{
    return phase == Phase::Line || phase == Phase::Text || phase == Phase::Quoted ||
           phase == Phase::Number;
}

unsigned char SequentialReader::Token::stopClass() const noexcept
{
    switch (phase) {
    case Phase::Line: return lineStop;
    case Phase::Quoted: return quotedStop;
    case Phase::Number: return numberStop;
    default: return fieldStop;
    }
}

SequentialReader::Token::Phase SequentialReader::Token::phaseAfterText() const noexcept
{
    switch (phase) {
    case Phase::Quoted: return Phase::AfterQuote;
    case Phase::Number: return Phase::AfterNumber;
    default: return Phase::Delimiter;
    }
}

// The one rule for where a line or a field ends, run over the bytes in the
// buffer. It moves the token through its phases and returns true once the
// token and its delimiter are read; when the bytes run out first (before the
// end of the file) it returns false with pos_ at the end of the buffer and
// the phase to go on from after a refill. A number is scanned in the same
// pass as the token when `scanNumbers` asks for it and the token lies whole
// in the buffer, as nearly all do. The phase lives in a local on the way, so
// that a token read in one go is a straight run of code.
template <bool IsLine>
[[gnu::always_inline]] inline bool SequentialReader::advance(Token& t, bool scanNumbers)
{
    using Phase = Token::Phase;
    const char* const base = buffer_.get();
    const char* const end = base + end_;
    const char* p = base + pos_;
    const bool atFileEnd = eof_;
    Phase phase = t.phase;
    const auto outOfBytes = [&] {
        t.phase = phase;
        pos_ = end_;
        return false;
    };

    if (phase == Phase::Start) {
        p = pastSpaces(p, end);
        if (p == end) {
            if (!atFileEnd) return outOfBytes();
            pos_ = end_;  // only spaces were left: an empty field
            return true;
        }
        t.begin = bufferOffset_ + static_cast<std::uint64_t>(p - base);
        if (IsLine) {
            phase = Phase::Line;
        } else if (*p == '"') {
            ++t.begin;
            ++p;
            phase = Phase::Quoted;
        } else {
            phase = is(*p, NumberStart) ? Phase::Number : Phase::Text;
        }
    }

    switch (phase) {
    case Phase::Line:
    case Phase::Text: {
        const char* const text = textOf(t);
        p = findStop<(IsLine ? lineStop : fieldStop)>(text + t.length, end);
        t.length = static_cast<std::uint32_t>(p - text);
        if (p == end && !atFileEnd) return outOfBytes();
        t.length = static_cast<std::uint32_t>(trimmedLength(text, t.length));
        t.form = t.length == 0 ? Token::Form::Empty : Token::Form::Unquoted;
        phase = Phase::Delimiter;
        break;
    }
    case Phase::Quoted: {
        const char* const text = textOf(t);
        p = findStop<quotedStop>(text + t.length, end);
        t.length = static_cast<std::uint32_t>(p - text);
        if (p == end && !atFileEnd) return outOfBytes();
        t.form = Token::Form::Quoted;
        phase = Phase::Delimiter;
        if (p == end || *p != '"') break;
        ++p;
        phase = Phase::AfterQuote;
        [[fallthrough]];
    }
    case Phase::AfterQuote:
        p = findStop<fieldStop>(p, end);  // what follows a closing quote is dropped
        if (p == end && !atFileEnd) return outOfBytes();
        phase = Phase::Delimiter;
        break;
    case Phase::Number: {
        const char* const text = textOf(t);
        detail::NumberScan number{text + t.length, false, 0};
        const bool scanning = scanNumbers && t.length == 0;
        if (scanning) number = detail::scanNumber(text, end);
        p = findStop<numberStop>(number.stop, end);
        t.length = static_cast<std::uint32_t>(p - text);
        if (p == end && !atFileEnd) return outOfBytes();
        t.scanned = scanning;
        t.wholeNumber = number.isNumber && number.stop == p;
        t.printLength = static_cast<std::uint8_t>(number.printLength);
        t.form = Token::Form::Unquoted;
        phase = Phase::AfterNumber;
        [[fallthrough]];
    }
    case Phase::AfterNumber:
        // A number-like field also ends at a space, so "1 2 3" is three
        // fields; a delimiter after its spaces still belongs to it.
        p = pastSpaces(p, end);
        if (p == end && !atFileEnd) return outOfBytes();
        phase = p != end && is(*p, fieldStop) ? Phase::Delimiter : Phase::Done;
        break;
    default: break;
    }

    // A comma, or a line end: CR LF, a lone CR or a lone LF; nothing at the
    // end of the file.
    if (phase == Phase::Delimiter) {
        if (p == end && !atFileEnd) return outOfBytes();
        phase = p != end && *p == '\r' ? Phase::AfterCarriageReturn : Phase::Done;
        if (p != end) ++p;
    }
    if (phase == Phase::AfterCarriageReturn) {
        if (p == end && !atFileEnd) return outOfBytes();
        if (p != end && *p == '\n') ++p;
    }
    t.phase = Phase::Done;
    pos_ = static_cast<std::size_t>(p - base);
    return true;
}

// Reads the token at tokens_[index] to its end when the buffer ran out
// before it did: reads on, keeping the token (up to `limit` bytes of its
// text) and the finished tokens before it, and deals with a longer text as
// `overlong` says.
template <bool IsLine>
void SequentialReader::finish(std::size_t index, std::size_t limit, Overlong overlong)
{
    Token& t = tokens_[index];
    do {
        if (t.inText()) {
            const std::uint64_t held = bufferOffset_ + end_ - t.begin;
            if (held > limit) {
                passOverlongText(index, limit, overlong);
                if (advance<IsLine>(t, false)) return;
                continue;
            }
            keep_ = static_cast<std::size_t>(t.begin - bufferOffset_);
            settled_ = index;  // kept in the buffer while its text grows
        } else {
            settled_ = index + 1;  // its text, if any, is final: a slot keeps it
            keep_ = pos_;
        }
        refill();
    } while (!advance<IsLine>(t, false));
}

// Passes over the rest of a text longer than `limit`, whose start lies in the
// buffer: keeps its first `limit` bytes (the whole text when only spaces
// follow them and they do not count), refuses it, or values it as it
// streams past. Leaves the token in the phase after its text.
void SequentialReader::passOverlongText(std::size_t index, std::size_t limit, Overlong overlong)
{
    Token& t = tokens_[index];
    const unsigned char stop = t.stopClass();
    pos_ = static_cast<std::size_t>(t.begin - bufferOffset_);
    if (overlong == Overlong::Stream) {
        StreamCursor cursor(*this, stop);
        if (streamedValues_.size() <= index) streamedValues_.resize(index + 1);
        try {
            streamedValues_[index] = detail::numericValueFrom(cursor);
            t.form = Token::Form::Value;
        } catch (const Error&) {
            t.form = Token::Form::Overflow;  // reported once the whole run is read
        }
        skipUntil(stop);
    } else {
        // Trailing spaces do not count for a line or an unquoted text.
        const bool spacesMayTrail = t.phase == Token::Phase::Line || t.phase == Token::Phase::Text;
        std::string& start = slot(index);
        start.assign(buffer_.get() + pos_, limit);
        pos_ += limit;
        bool restIsSpaces = spacesMayTrail;
        while (ensureByte()) {
            const char* const from = buffer_.get() + pos_;
            const char* const end = buffer_.get() + end_;
            const char* const p = passToStop(from, end, stop);
            restIsSpaces = restIsSpaces && onlySpaces(from, p);
            if (!restIsSpaces && overlong == Overlong::Fail)
                throw Error(ErrorCode::OutOfStringSpace);
            pos_ = static_cast<std::size_t>(p - buffer_.get());
            if (p != end) break;
        }
        if (restIsSpaces) {
            start.resize(trimmedLength(start.data(), start.size()));
        } else {
            t.cut = true;
        }
        t.inSlot = true;
        t.length = static_cast<std::uint32_t>(start.size());
        t.form = t.phase == Token::Phase::Quoted ? Token::Form::Quoted : Token::Form::Unquoted;
    }
    settled_ = index + 1;
    t.phase = t.phaseAfterText();
    if (t.phase == Token::Phase::AfterQuote) {
        if (ensureByte() && buffer_[pos_] == '"') {
            ++pos_;
        } else {
            t.phase = Token::Phase::Delimiter;
        }
    }
}

void SequentialReader::skipUntil(unsigned char stop)
{
    while (ensureByte()) {
        const char* const base = buffer_.get();
        const char* const found = passToStop(base + pos_, base + end_, stop);
        pos_ = static_cast<std::size_t>(found - base);
        if (found != base + end_) return;
    }
}

// Reads one field into tokens_[index]. Error 62 when no byte is left.
[[gnu::always_inline]] inline void SequentialReader::readField(std::size_t index, std::size_t limit,
                                                               Overlong overlong, bool scanNumbers)
{
    if (!ensureByte()) throw Error(ErrorCode::InputPastEndOfFile);
    Token& token = tokens_[index];
    token = Token{};
    tokenCount_ = index + 1;
    if (!advance<false>(token, scanNumbers)) finish<false>(index, limit, overlong);
    // A text that lay whole in the buffer is held all the same.
    if (overlong == Overlong::Fail && token.length > limit)
        throw Error(ErrorCode::OutOfStringSpace);
    settled_ = index + 1;
}

bool SequentialReader::onlyBlanksRemain()
{
    const std::uint64_t here = bufferOffset_ + pos_;
    if (nonBlankKnown_ && nonBlankAt_ >= here) return false;
    if (const char* found = firstNonBlank(buffer_.get() + pos_, buffer_.get() + end_)) {
        nonBlankKnown_ = true;
        nonBlankAt_ = bufferOffset_ + static_cast<std::uint64_t>(found - buffer_.get());
        return false;
    }
    if (eof_) return true;

    // Look further without disturbing the buffer, so that a long run of
    // blanks costs no memory.
    auto ahead = std::make_unique<char[]>(lookAheadSize);
    std::uint64_t offset = bufferOffset_ + end_;
    for (;;) {
        const std::optional<std::size_t> count = file_.readAt(ahead.get(), lookAheadSize, offset);
        if (!count) return false;  // cannot look ahead: let the reading tell
        if (*count == 0) return true;
        if (const char* found = firstNonBlank(ahead.get(), ahead.get() + *count)) {
            nonBlankKnown_ = true;
            nonBlankAt_ = offset + static_cast<std::uint64_t>(found - ahead.get());
            return false;
        }
        offset += *count;
    }
}

std::optional<std::string_view> SequentialReader::readTrimmedLine(std::size_t limit)
{
    clearTokens();
    if (!ensureByte()) throw Error(ErrorCode::InputPastEndOfFile);
    // Made in a local: a line read in one go needs no room of its own.
    Token line;
    if (!advance<true>(line, false)) {
        tokens_[0] = line;
        tokenCount_ = 1;
        finish<true>(0, limit, Overlong::Cut);
        line = tokens_[0];
    }
    if (line.cut || line.length > limit) return std::nullopt;
    if (line.inSlot) return std::string_view(slots_[0].data(), line.length);
    return line.length == 0 ? std::string_view("") : std::string_view(textOf(line), line.length);
}

void SequentialReader::skipLine()
{
    clearTokens();
    if (!ensureByte()) throw Error(ErrorCode::InputPastEndOfFile);
    skipUntil(lineStop);
    // Its line end, read as every line's is.
    Token& lineEnd = tokens_[0];
    lineEnd = Token{};
    lineEnd.phase = Token::Phase::Delimiter;
    tokenCount_ = 1;
    if (!advance<true>(lineEnd, false)) finish<true>(0, 0, Overlong::Cut);
}

// An unquoted field's value: a number when the whole field is one.
inline FieldValue SequentialReader::unquotedField(std::size_t index) const
{
    const Token& token = tokens_[index];
    const std::string_view text = viewOf(index);
    if (!token.scanned) return classifyUnquoted(text);
    if (!token.wholeNumber) return FieldValue::text(text);
    return classifyNumber(text, token.printLength);
}

inline FieldValue SequentialReader::fieldOf(std::size_t index) const
{
    switch (tokens_[index].form) {
    case Token::Form::Empty: break;
    case Token::Form::Quoted: return FieldValue::text(viewOf(index));
    case Token::Form::Unquoted: return unquotedField(index);
    case Token::Form::Value: return FieldValue::number({}, streamedValues_[index]);
    case Token::Form::Overflow: throw Error(ErrorCode::Overflow);
    }
    return FieldValue::empty();
}

void SequentialReader::readFields(std::span<FieldValue> out)
{
    if (out.size() > maxTokens) throw std::length_error("too many fields at once");
    clearTokens();
    for (std::size_t i = 0; i < out.size(); ++i)
        readField(i, maxFieldText, Overlong::Fail, true);
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = fieldOf(i);
}

void SequentialReader::readAlternateNumbers(std::span<FieldValue> out)
{
    const std::size_t count = 2 * out.size() - 1;
    if (out.empty()) return;
    if (count > maxTokens) throw std::length_error("too many fields at once");
    clearTokens();
    // The fields between are only passed over: no number scan, and a long
    // one is cut rather than valued.
    for (std::size_t i = 0; i < count; ++i) {
        const bool value = i % 2 == 0;
        readField(i, heldDxfToken, value ? Overlong::Stream : Overlong::Cut, value);
    }
    for (std::size_t i = 0; i < out.size(); ++i) {
        const std::size_t index = 2 * i;
        const Token& token = tokens_[index];
        if (token.form == Token::Form::Unquoted && token.scanned && token.wholeNumber) {
            out[i] = classifyNumber(viewOf(index), token.printLength);
            if (out[i].isNumber()) continue;
        }
        const FieldValue field = fieldOf(index);
        out[i] = field.isNumber() ? field : FieldValue::number({}, field.numericValue());
    }
}

// Reads fields from pos_ on, a field start, until the one that covers `at`
// has been read; true when one of them read as the marker.
bool SequentialReader::skipFieldsPast(std::size_t at, std::string_view marker)
{
    const std::uint64_t target = bufferOffset_ + at;
    while (bufferOffset_ + pos_ <= target) {
        clearTokens();
        if (pos_ == end_ && !ensureByte()) return false;
        readField(0, marker.size(), Overlong::Cut, false);
        const Token& field = tokens_[0];
        if (field.form == Token::Form::Unquoted || field.form == Token::Form::Quoted) {
            if (!field.cut && viewOf(0) == marker) return true;
        }
    }
    return false;
}

// Jumps with memchr from one byte that could start the marker to the next:
// in a DXF file the marker's first letter is rare, so nearly all bytes are
// passed over at the speed of memory. Every line end ends a field, so the
// fields are read from the start of the candidate's line, by the same rule
// as everywhere, until the candidate is passed.
bool SequentialReader::skipToField(std::string_view marker)
{
    clearTokens();
    for (;;) {
        if (!ensureByte()) return false;
        const char* const base = buffer_.get();
        const char* const from = base + pos_;
        const char* const end = base + end_;
        const auto* found = static_cast<const char*>(
            std::memchr(from, marker.front(), static_cast<std::size_t>(end - from)));
        const char* const candidate = found != nullptr ? found : end - 1;
        const char* start = candidate;
        while (start != from && !is(start[-1], LineEnd))
            --start;
        if (found == nullptr && start != from) {
            // Nothing here can be the marker: read on from the last line's start.
            pos_ = static_cast<std::size_t>(start - base);
            keep_ = pos_;
            if (!refill()) {
                pos_ = end_;
                return false;
            }
            continue;
        }
        pos_ = static_cast<std::size_t>(start - base);
        if (skipFieldsPast(static_cast<std::size_t>(candidate - base), marker)) return true;
    }
}

}  // namespace konversi
