#include "read/sequential_reader.h"

#include "konversi/error.h"
#include "number/number.h"
#include "read/field_rule.h"

#include <cstring>
#include <stdexcept>

namespace konversi::detail {

namespace {

constexpr std::size_t lookAheadSize = 64 * 1024;
// A DXF value or group code longer than this is valued or passed over as it
// streams past, not held.
constexpr std::size_t heldDxfToken = 4 * 1024;

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
        if (!refill()) return false;
    }
    return true;
}

bool SequentialReader::ensureBytes(std::size_t count)
{
    while (end_ - pos_ < count) {
        if (!refill()) return false;
    }
    return true;
}

// Reads more of the file behind the bytes from pos_ on, which move to the
// front, growing the buffer when they fill it. The fields of the call read
// so far move to their slots first.
bool SequentialReader::refill()
{
    if (eof_) return false;
    for (std::size_t i = 0; i < held_.size(); ++i)
        held_[i].keepTextIn(slots_[i]);
    if (pos_ > 0) {
        std::memmove(buffer_.get(), buffer_.get() + pos_, end_ - pos_);
        end_ -= pos_;
        bufferOffset_ += pos_;
        pos_ = 0;
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

// Reads the token at the read position, whose text may hold `limit` bytes:
// runs the rule over the buffer, and when the buffer ends inside the token,
// reads on and runs it again from the token's start. A token longer than
// that takes the slow path, which keeps at most `limit` bytes of its text
// in slots_[slot] and deals with a longer text as `overlong` says.
template <bool IsLine>
[[gnu::always_inline]] inline SequentialReader::Read SequentialReader::readToken(std::size_t slot,
                                                                                 std::size_t limit,
                                                                                 Overlong overlong,
                                                                                 bool classify)
{
    Token token;
    for (;;) {
        const char* const base = buffer_.get();
        const char* const next =
            splitToken<IsLine>(base + pos_, base + end_, eof_, classify, token);
        if (next != nullptr && token.length <= limit) {
            pos_ = static_cast<std::size_t>(next - base);
            return {valueOf<IsLine>(token, classify)};
        }
        pos_ = static_cast<std::size_t>(token.start - base);  // the spaces before it are passed
        // Room for the text, an opening quote and what ends it.
        const std::size_t held = end_ - pos_;
        if (next != nullptr || (held > 2 && held - 2 > limit))
            return readLongToken<IsLine>(slot, limit, overlong, classify);
        refill();
    }
}

// The slow path, for a token whose text is longer than `limit` or whose
// bytes are more than the reader holds: pos_ is at its first byte.
template <bool IsLine>
SequentialReader::Read SequentialReader::readLongToken(std::size_t slot, std::size_t limit,
                                                       Overlong overlong, bool classify)
{
    const char first = buffer_[pos_];
    const unsigned char stop = textStop(first, IsLine);
    const char* const base = buffer_.get();
    const char* const text = base + pos_ + (stop == quotedStop ? 1 : 0);
    const char* const textEnd = passToStop(text, base + end_, stop);
    Read read;
    Token token;
    // Its text may lie whole in the buffer, and only what follows be long.
    if (textEnd != base + end_ && splitToken<IsLine>(base + pos_, textEnd, true, classify, token) &&
        token.length <= limit) {
        std::string& kept = slots_[slot];
        kept.assign(token.text, token.length);
        token.text = kept.data();
        read.value = valueOf<IsLine>(token, classify);
        pos_ = static_cast<std::size_t>(textEnd - base);
    } else {
        pos_ = static_cast<std::size_t>(text - base);
        read = readOverlongText(stop, slot, limit, overlong, classify);
    }
    passTrailer(first, IsLine);
    return read;
}

// The text from pos_ on, longer than `limit`: keeps its first `limit` bytes
// (the whole text when only spaces follow them and they do not count),
// refuses it, or values it as it streams past. Leaves pos_ at its stop byte.
SequentialReader::Read SequentialReader::readOverlongText(unsigned char stop, std::size_t slot,
                                                          std::size_t limit, Overlong overlong,
                                                          bool classify)
{
    Read read;
    if (overlong == Overlong::Stream) {
        StreamCursor cursor(*this, stop);
        try {
            read.value = FieldValue::number({}, detail::numericValueFrom(cursor));
        } catch (const Error&) {
            read.overflowed = true;  // reported once the whole run is read
        }
        skipUntil(stop);
        return read;
    }
    // Trailing spaces do not count for a line or an unquoted text.
    const bool spacesMayTrail = stop == lineStop || stop == fieldStop;
    std::string& kept = slots_[slot];
    kept.assign(buffer_.get() + pos_, limit);
    pos_ += limit;
    bool restIsSpaces = spacesMayTrail;
    while (ensureByte()) {
        const char* const from = buffer_.get() + pos_;
        const char* const end = buffer_.get() + end_;
        const char* const p = passToStop(from, end, stop);
        restIsSpaces = restIsSpaces && onlySpaces(from, p);
        if (!restIsSpaces && overlong == Overlong::Fail) throw Error(ErrorCode::OutOfStringSpace);
        pos_ = static_cast<std::size_t>(p - buffer_.get());
        if (p != end) break;
    }
    if (restIsSpaces) {
        kept.resize(trimmedLength(kept.data(), kept.size()));
    } else {
        read.cut = true;
    }
    const bool asText = stop == quotedStop || stop == lineStop || !classify;
    read.value = asText ? FieldValue::text(kept) : classifyUnquoted(kept);
    return read;
}

// What follows a token's text, from its stop byte, as the rule reads it: a
// closing quote and what follows it, the spaces after a number, then the
// delimiter.
void SequentialReader::passTrailer(char first, bool isLine)
{
    const unsigned char stop = textStop(first, isLine);
    if (stop == quotedStop) {
        if (ensureByte() && buffer_[pos_] == '"') {
            ++pos_;
            skipUntil(fieldStop);
        }
    } else if (stop == numberStop) {
        while (ensureByte() && buffer_[pos_] == ' ')
            ++pos_;
        if (!ensureByte() || !is(buffer_[pos_], fieldStop)) return;
    }
    passDelimiter();
}

void SequentialReader::passDelimiter()
{
    ensureBytes(2);  // or the file ends first
    const char* const base = buffer_.get();
    pos_ = static_cast<std::size_t>(detail::passDelimiter(base + pos_, base + end_, true) - base);
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

bool SequentialReader::onlyBlanksRemainAhead()
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

// A DXF file is read a line at a time, and nearly every line lies whole in
// the buffer: the rule runs once there, and the refills and long lines stay
// in a call of their own, so that the common case saves no registers for
// them.
std::optional<std::string_view> SequentialReader::readTrimmedLine(std::size_t limit)
{
    const char* const base = buffer_.get();
    Token token;
    const char* const next = splitToken<true>(base + pos_, base + end_, eof_, false, token);
    if (next != nullptr && token.length <= limit && pos_ != end_) {
        pos_ = static_cast<std::size_t>(next - base);
        return token.view();
    }
    return readTrimmedLineSlowly(limit);
}

std::optional<std::string_view> SequentialReader::readTrimmedLineSlowly(std::size_t limit)
{
    if (!ensureByte()) throw Error(ErrorCode::InputPastEndOfFile);
    const Read line = readToken<true>(0, limit, Overlong::Cut, false);
    if (line.cut) return std::nullopt;
    return line.value.text();
}

// Most lines passed over are short and lie whole in the buffer, as in
// readTrimmedLine.
void SequentialReader::skipLine()
{
    const char* const base = buffer_.get();
    const char* const end = base + end_;
    if (pos_ != end_) {
        if (const char* next =
                detail::passDelimiter(passToStop<lineStop>(base + pos_, end), end, eof_)) {
            pos_ = static_cast<std::size_t>(next - base);
            return;
        }
    }
    skipLineSlowly();
}

void SequentialReader::skipLineSlowly()
{
    if (!ensureByte()) throw Error(ErrorCode::InputPastEndOfFile);
    skipUntil(lineStop);
    passDelimiter();
}

// The fields of one call, kept readable while the call reads on.
class SequentialReader::HeldFields {
public:
    explicit HeldFields(SequentialReader& reader) : reader_(reader) {}
    ~HeldFields() { reader_.held_ = {}; }
    HeldFields(const HeldFields&) = delete;
    HeldFields& operator=(const HeldFields&) = delete;
    void hold(std::span<FieldValue> fields) { reader_.held_ = fields; }

private:
    SequentialReader& reader_;
};

// The common case of a coordinate file or a DXF coordinate: every field
// read a number (with `FieldsBetween`, every other one, the rest passed
// over), all of them whole in the buffer and at most `limit` long. Read by
// the same rule, only without what a field that is cut, long or no number
// needs; false, with nothing read, for any other fields.
template <bool FieldsBetween>
inline bool SequentialReader::readNumbersInBuffer(std::span<FieldValue> out, std::size_t limit)
{
    const char* const base = buffer_.get();
    const char* const end = base + end_;
    const char* p = base + pos_;
    for (std::size_t i = 0; i < out.size(); ++i) {
        if (FieldsBetween && i > 0) {
            // Mostly a group code alone on its line, which the field rule
            // takes as one field.
            int code = 0;
            if (const char* next = splitShortWholeNumberLine(p, end, code)) {
                p = next;
            } else {
                Token between;
                if (p == end) return false;  // the slow path tells the end of the file
                p = splitToken<false>(p, end, eof_, false, between);
                if (p == nullptr || between.length > limit) return false;
            }
        }
        if (const char* next = splitCommonNumberField(p, end, eof_, out[i])) {
            p = next;
            continue;
        }
        Token token;
        p = splitToken<false>(p, end, eof_, true, token);
        if (p == nullptr || token.form != Token::Form::Unquoted || !token.wholeNumber ||
            token.length > limit)
            return false;
        out[i] = classifyNumber(token.view(), token.printLength);
        // A DXF coordinate beyond a double's range is an error the slow path raises.
        if (FieldsBetween && !out[i].isNumber()) return false;
    }
    pos_ = static_cast<std::size_t>(p - base);
    return true;
}

void SequentialReader::readFields(std::span<FieldValue> out)
{
    if (out.size() > maxTokens) throw std::length_error("too many fields at once");
    if (readNumbersInBuffer<false>(out, maxFieldText)) return;
    HeldFields held(*this);
    for (std::size_t i = 0; i < out.size(); ++i) {
        held.hold(out.first(i));
        if (!ensureByte()) throw Error(ErrorCode::InputPastEndOfFile);
        out[i] = readToken<false>(i, maxFieldText, Overlong::Fail, true).value;
    }
}

void SequentialReader::readAlternateNumbers(std::span<FieldValue> out)
{
    if (out.empty()) return;
    if (2 * out.size() - 1 > maxTokens) throw std::length_error("too many fields at once");
    if (readNumbersInBuffer<true>(out, heldDxfToken)) return;
    HeldFields held(*this);
    bool overflowed = false;
    for (std::size_t i = 0; i < out.size(); ++i) {
        held.hold(out.first(i));
        if (i > 0) {
            // The field between is only passed over: no number scan, and a
            // long one is cut rather than valued.
            if (!ensureByte()) throw Error(ErrorCode::InputPastEndOfFile);
            readToken<false>(maxTokens - 1, heldDxfToken, Overlong::Cut, false);
        }
        if (!ensureByte()) throw Error(ErrorCode::InputPastEndOfFile);
        const Read value = readToken<false>(i, heldDxfToken, Overlong::Stream, true);
        out[i] = value.value;
        overflowed = overflowed || value.overflowed;
    }
    if (overflowed) throw Error(ErrorCode::Overflow);
    for (FieldValue& value : out) {
        if (!value.isNumber()) value = FieldValue::number({}, value.numericValue());
    }
}

// Reads fields from pos_ on, a field start, until the one that covers the
// file offset `at` has been read; true when one of them read as the marker.
bool SequentialReader::skipFieldsPast(std::uint64_t at, std::string_view marker)
{
    while (bufferOffset_ + pos_ <= at) {
        if (!ensureByte()) return false;
        const Read field = readToken<false>(0, marker.size(), Overlong::Cut, false);
        if (!field.cut && field.value.text() == marker) return true;
    }
    return false;
}

// The common find, the marker alone at the start of its line and whole in
// the buffer, as the rule reads it: where the next field starts; null for
// any other candidate, which is read field by field.
const char* SequentialReader::pastMarkerLine(const char* start, const char* candidate,
                                             const char* end, std::string_view marker) const
{
    const char* const after = candidate + marker.size();
    if (pastSpaces(start, end) != candidate || end - after < 2 ||
        std::memcmp(candidate, marker.data(), marker.size()) != 0 || !is(*after, fieldStop))
        return nullptr;
    return detail::passDelimiter(after, end, eof_);
}

// Jumps with memchr from one byte that could start the marker to the next:
// in a DXF file the marker's first letter is rare, so nearly all bytes are
// passed over at the speed of memory. Every line end ends a field, so the
// fields are read from the start of the candidate's line, by the same rule
// as everywhere, until the candidate is passed.
bool SequentialReader::skipToField(std::string_view marker)
{
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
        pos_ = static_cast<std::size_t>(start - base);
        if (found == nullptr && start != from) {
            // Nothing here can be the marker: read on from the last line's start.
            if (!refill()) {
                pos_ = end_;
                return false;
            }
            continue;
        }
        if (const char* next = pastMarkerLine(start, candidate, end, marker)) {
            pos_ = static_cast<std::size_t>(next - base);
            return true;
        }
        if (skipFieldsPast(bufferOffset_ + static_cast<std::size_t>(candidate - base), marker))
            return true;
    }
}

}  // namespace konversi::detail
