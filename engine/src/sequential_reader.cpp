#include "konversi/sequential_reader.h"

#include "decimal.h"
#include "konversi/error.h"
#include "system_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <array>
#include <cerrno>
#include <cstring>

namespace konversi {

namespace {

constexpr std::size_t bufferSize = 256 * 1024;
constexpr std::size_t lookAheadSize = 64 * 1024;

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

template <unsigned char Mask>
struct StopAt {
    bool operator()(char c) const { return is(c, Mask); }
};

using StopAtLineEnd = StopAt<LineEnd>;
using StopAtDelimiter = StopAt<LineEnd | Comma>;
using StopAtDelimiterOrSpace = StopAt<LineEnd | Comma | Space>;
using StopAtQuoteOrLineEnd = StopAt<LineEnd | Quote>;

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

// Past the delimiter at `p`: a comma, LF, CR LF or a lone CR. The byte after
// a CR must lie in the buffer.
const char* pastDelimiter(const char* p)
{
    return *p == '\r' && p[1] == '\n' ? p + 2 : p + 1;
}

}  // namespace

SequentialReader::SequentialReader(const std::string& path)
{
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) throw Error(detail::inputOpenError(errno, path));
    struct stat info {};
    if (::fstat(fd_, &info) != 0 || S_ISDIR(info.st_mode)) {
        ::close(fd_);
        throw Error(ErrorCode::PathFileAccess);
    }
    identity_ = {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
    ::posix_fadvise(fd_, 0, 0, POSIX_FADV_SEQUENTIAL);
    buffer_ = std::make_unique<char[]>(bufferSize);
    capacity_ = bufferSize;

    // A byte-order mark from an editor is not part of the first value.
    while (end_ < 3 && refill()) {
    }
    if (end_ >= 3 && std::memcmp(buffer_.get(), "\xEF\xBB\xBF", 3) == 0) pos_ = 3;
}

SequentialReader::~SequentialReader()
{
    if (fd_ >= 0) ::close(fd_);
}

bool SequentialReader::ensureByte()
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
    keepPendingInSlots();
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
    ssize_t count;
    do {
        count = ::read(fd_, buffer_.get() + end_, capacity_ - end_);
    } while (count < 0 && errno == EINTR);
    if (count < 0) throw Error(ErrorCode::PathFileAccess);
    if (count == 0) {
        eof_ = true;
        return false;
    }
    end_ += static_cast<std::size_t>(count);
    return true;
}

void SequentialReader::keepPendingInSlots()
{
    for (std::size_t i = 0; i < pending_.size(); ++i) {
        Pending& token = pending_[i];
        if (token.inSlot) continue;
        slot(i).assign(buffer_.get() + token.begin, token.length);
        token.inSlot = true;
    }
}

std::string& SequentialReader::slot(std::size_t index)
{
    if (slots_.size() <= index) slots_.resize(index + 1);
    return slots_[index];
}

std::string_view SequentialReader::viewOf(std::size_t index) const
{
    const Pending& token = pending_[index];
    if (token.inSlot) return slots_[index];
    return {buffer_.get() + token.begin, token.length};
}

// A buffer at a time: a batch of fields that the in-buffer reading gave up
// on may start with a long run of spaces.
void SequentialReader::skipSpaces()
{
    while (ensureByte()) {
        const char* const base = buffer_.get();
        const char* const end = base + end_;
        const char* p = base + pos_;
        while (p != end && *p == ' ')
            ++p;
        pos_ = static_cast<std::size_t>(p - base);
        if (p != end) return;
    }
}

template <class Stop>
void SequentialReader::skipUntil(Stop stop)
{
    while (ensureByte() && !stop(buffer_[pos_]))
        ++pos_;
}

// Scans the token that starts at pos_ up to the first byte `stop` accepts (or
// the end of the file) and leaves pos_ there. A token longer than `limit` is
// cut: its first `limit` bytes go to the slot of the next pending index, the
// rest is read past without being kept. When the token's trailing spaces do
// not count (`trailingSpacesDrop`) and only spaces were cut off, the kept
// prefix, trimmed, is the whole token.
template <class Stop>
SequentialReader::Pending SequentialReader::scan(Stop stop, std::size_t limit,
                                                 bool trailingSpacesDrop)
{
    const std::size_t index = pending_.size();
    std::size_t length = 0;
    bool cut = false;
    bool restIsSpaces = true;
    for (;;) {
        const char* begin = buffer_.get() + pos_;
        const char* end = buffer_.get() + end_;
        const char* p = begin + length;
        while (p != end && !stop(*p))
            ++p;
        length = static_cast<std::size_t>(p - begin);
        if (!cut && length > limit) {
            slot(index).assign(begin, limit);
            restIsSpaces = onlySpaces(begin + limit, p);
            cut = true;
        } else if (cut && restIsSpaces) {
            restIsSpaces = onlySpaces(begin, p);
        }
        if (p != end) break;
        if (cut) {
            pos_ = end_;
            length = 0;
        }
        keep_ = pos_;
        if (!refill()) break;
    }
    pos_ += length;
    keep_ = pos_;
    Pending token;
    if (!cut) {
        token.begin = pos_ - length;
        token.length = length;
        return token;
    }
    token.inSlot = true;
    std::string& prefix = slot(index);
    if (trailingSpacesDrop && restIsSpaces) {
        prefix.resize(trimmedLength(prefix.data(), prefix.size()));
    } else {
        token.cut = true;
    }
    token.length = prefix.size();
    return token;
}

// A comma, or a line end: CR LF, a lone CR or a lone LF. Nothing at the end
// of the file.
void SequentialReader::consumeDelimiter()
{
    if (!ensureByte()) return;
    const char c = buffer_[pos_];
    if (c == ',' || c == '\n') {
        ++pos_;
    } else if (c == '\r') {
        ++pos_;
        if (ensureByte() && buffer_[pos_] == '\n') ++pos_;
    }
}

bool SequentialReader::atEnd()
{
    pending_.clear();
    return !ensureByte();
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
        const ssize_t count = ::pread(fd_, ahead.get(), lookAheadSize, static_cast<off_t>(offset));
        if (count < 0 && errno == EINTR) continue;
        if (count < 0) return false;  // cannot look ahead: let the reading tell
        if (count == 0) return true;
        if (const char* found = firstNonBlank(ahead.get(), ahead.get() + count)) {
            nonBlankKnown_ = true;
            nonBlankAt_ = offset + static_cast<std::uint64_t>(found - ahead.get());
            return false;
        }
        offset += static_cast<std::uint64_t>(count);
    }
}

std::string_view SequentialReader::readLine()
{
    pending_.clear();
    if (!ensureByte()) throw Error(ErrorCode::InputPastEndOfFile);
    pending_.push_back(scan(StopAtLineEnd{}, unlimited, false));
    consumeDelimiter();
    return viewOf(0);
}

std::optional<std::string_view> SequentialReader::readTrimmedLineSlow(std::size_t limit)
{
    pending_.clear();
    if (!ensureByte()) throw Error(ErrorCode::InputPastEndOfFile);
    skipSpaces();
    Pending line = scan(StopAtLineEnd{}, limit, true);
    if (!line.inSlot) line.length = trimmedLength(buffer_.get() + line.begin, line.length);
    pending_.push_back(line);
    consumeDelimiter();
    if (line.cut) return std::nullopt;
    return viewOf(0);
}

// Reads one unquoted field when it, its delimiter and the byte that tells a
// CR LF from a lone CR all lie in the buffer, as nearly all do; otherwise
// returns false, with pos_ unchanged. A number is scanned and checked for its
// print form in one pass. Without `out` the field is only passed over.
inline bool SequentialReader::readFieldInBuffer(FieldValue* out, std::size_t limit)
{
    const char* const base = buffer_.get();
    const char* const end = base + end_;
    const char* p = base + pos_;
    while (p != end && *p == ' ')
        ++p;
    if (p == end || *p == '"') return false;
    const char* const begin = p;
    if (is(*p, NumberStart)) {
        // A number-like field also ends at a space, so "1 2 3" is three fields.
        // The number scan stops inside the field, so a field passed over needs
        // none: its end is the same.
        const detail::DecimalScan number =
            out != nullptr ? detail::scanDecimal(begin, end) : detail::DecimalScan{begin, {}};
        p = number.stop;
        while (p != end && !is(*p, LineEnd | Comma | Space))
            ++p;  // more than a number: a text such as "12a"
        const std::string_view field(begin, static_cast<std::size_t>(p - begin));
        const bool whole = p == number.stop;
        while (p != end && *p == ' ')
            ++p;
        if (p == end || field.size() > limit) return false;
        if (out != nullptr)
            *out = whole ? detail::classifyDecimal(field, number.shape) : FieldValue::text(field);
    } else {
        while (p != end && !is(*p, LineEnd | Comma))
            ++p;
        if (p == end) return false;
        const std::size_t length = trimmedLength(begin, static_cast<std::size_t>(p - begin));
        if (length > limit) return false;
        if (out != nullptr)
            *out = length == 0 ? FieldValue::empty() : FieldValue::text({begin, length});
    }
    if (is(*p, LineEnd | Comma)) {
        if (*p == '\r' && p + 1 == end) return false;
        p = pastDelimiter(p);
    }
    pos_ = static_cast<std::size_t>(p - base);
    return true;
}

// Reads a whole batch of fields in the buffer, where their views stay valid
// as no refill can move them; otherwise consumes nothing and returns false.
// Between each two fields of `out`, `step - 1` fields are passed over; `out`
// is not empty.
bool SequentialReader::readFieldsInBuffer(std::size_t step, std::span<FieldValue> out,
                                          std::size_t limit)
{
    const std::size_t start = pos_;
    const std::size_t count = step * (out.size() - 1) + 1;
    for (std::size_t i = 0; i < count; ++i) {
        if (!readFieldInBuffer(i % step == 0 ? &out[i / step] : nullptr, limit)) {
            pos_ = start;
            return false;
        }
    }
    return true;
}

void SequentialReader::readOneField(std::size_t limit)
{
    if (!ensureByte()) throw Error(ErrorCode::InputPastEndOfFile);
    skipSpaces();
    if (!ensureByte()) {
        pending_.push_back({});  // only spaces were left
        return;
    }
    const char first = buffer_[pos_];
    if (first == '"') {
        ++pos_;
        Pending field = scan(StopAtQuoteOrLineEnd{}, limit, false);
        field.form = Pending::Form::Quoted;
        pending_.push_back(field);
        if (ensureByte() && buffer_[pos_] == '"') {
            ++pos_;
            skipUntil(StopAtDelimiter{});  // what follows a closing quote is dropped
        }
        consumeDelimiter();
    } else if (is(first, NumberStart)) {
        // A number-like field also ends at a space, so "1 2 3" is three fields.
        Pending field = scan(StopAtDelimiterOrSpace{}, limit, false);
        field.form = Pending::Form::Unquoted;
        pending_.push_back(field);
        if (pos_ < end_ && buffer_[pos_] == ' ') {
            skipSpaces();
            if (ensureByte() && is(buffer_[pos_], LineEnd | Comma)) consumeDelimiter();
        } else {
            consumeDelimiter();
        }
    } else {
        Pending field = scan(StopAtDelimiter{}, limit, true);
        if (!field.inSlot) field.length = trimmedLength(buffer_.get() + field.begin, field.length);
        field.form =
            field.length == 0 && !field.cut ? Pending::Form::Empty : Pending::Form::Unquoted;
        pending_.push_back(field);
        consumeDelimiter();
    }
}

// Reads the fields of `out` with `step - 1` fields passed over between each
// two of them.
void SequentialReader::readFieldsEvery(std::size_t step, std::span<FieldValue> out,
                                       std::size_t limit)
{
    pending_.clear();
    if (out.empty() || readFieldsInBuffer(step, out, limit)) return;
    for (std::size_t i = 0; i < step * (out.size() - 1) + 1; ++i)
        readOneField(limit);  // every field, so that pending_[i * step] is out[i]
    for (std::size_t i = 0; i < out.size(); ++i) {
        const std::size_t index = i * step;
        const std::string_view text = viewOf(index);
        switch (pending_[index].form) {
        case Pending::Form::Empty: out[i] = FieldValue::empty(); break;
        case Pending::Form::Quoted: out[i] = FieldValue::text(text); break;
        case Pending::Form::Unquoted: out[i] = classifyUnquoted(text); break;
        }
    }
}

void SequentialReader::readFields(std::span<FieldValue> out, std::size_t limit)
{
    readFieldsEvery(1, out, limit);
}

void SequentialReader::readAlternateFields(std::span<FieldValue> out, std::size_t limit)
{
    readFieldsEvery(2, out, limit);
}

// Whether the field that starts at `at` (whose first byte is the marker's)
// reads as the marker. A field starts there when only spaces stand between
// it and pos_, itself a field start, or the end of a line: every CR or LF ends
// a field or a line. Otherwise, or when the buffer ends too soon to tell, the
// candidate is left to the field reader.
SequentialReader::Candidate SequentialReader::checkCandidate(std::size_t at,
                                                             std::string_view marker)
{
    const char* const base = buffer_.get();
    const char* start = base + at;
    while (start != base + pos_ && start[-1] == ' ')
        --start;
    if (start != base + pos_ && !is(start[-1], LineEnd)) return Candidate::Undecided;

    // An unquoted field that does not start like a number ends at a comma or
    // a line end, without its trailing spaces.
    const char* const end = base + end_;
    const char* p = base + at;
    bool same = false;
    if (static_cast<std::size_t>(end - p) >= marker.size() &&
        std::memcmp(p, marker.data(), marker.size()) == 0) {
        p += marker.size();
        while (p != end && *p == ' ')
            ++p;
        same = p != end && is(*p, LineEnd | Comma);
    }
    while (p != end && !is(*p, LineEnd | Comma))
        ++p;
    if (p == end) return Candidate::Undecided;
    pos_ = static_cast<std::size_t>(p - base);
    if (!same) return Candidate::NotMarker;
    consumeDelimiter();
    return Candidate::Marker;
}

// Reads fields from pos_ on, a field start, until the one that covers `at`
// has been read; true when one of them read as the marker.
bool SequentialReader::skipFieldsPast(std::size_t at, std::string_view marker)
{
    const std::uint64_t target = bufferOffset_ + at;
    while (bufferOffset_ + pos_ <= target) {
        pending_.clear();
        if (!ensureByte()) return false;
        readOneField(marker.size());
        const Pending& field = pending_.back();
        if (field.form != Pending::Form::Empty && !field.cut && viewOf(0) == marker) {
            pending_.clear();
            return true;
        }
    }
    pending_.clear();
    return false;
}

// Jumps with memchr from one byte that could start the marker to the next:
// in a DXF file the marker's first letter is rare, so nearly all bytes are
// passed over at the speed of memory.
bool SequentialReader::skipToField(std::string_view marker)
{
    pending_.clear();
    for (;;) {
        if (!ensureByte()) return false;
        const char* const base = buffer_.get();
        const char* const from = base + pos_;
        const char* const end = base + end_;
        const auto* found = static_cast<const char*>(
            std::memchr(from, marker.front(), static_cast<std::size_t>(end - from)));
        if (found == nullptr) {
            // Nothing here can be the marker: keep only from the last line
            // end on, a field start, and read on.
            const char* last = end;
            while (last != from && !is(last[-1], LineEnd))
                --last;
            if (last - from > 1) {
                pos_ = static_cast<std::size_t>(last - 1 - base);
                keep_ = pos_;
                if (!refill()) {
                    pos_ = end_;
                    return false;
                }
                continue;
            }
            // One long line: let the field reader pass it piece by piece.
            if (skipFieldsPast(end_ - 1, marker)) return true;
            continue;
        }
        const std::size_t at = static_cast<std::size_t>(found - base);
        switch (checkCandidate(at, marker)) {
        case Candidate::Marker: return true;
        case Candidate::NotMarker: continue;
        case Candidate::Undecided: {
            // Back to the start of the candidate's line (or to pos_), where
            // a field is known to start.
            const char* start = found;
            while (start != from && !is(start[-1], LineEnd))
                --start;
            pos_ = static_cast<std::size_t>(start - base);
            if (skipFieldsPast(at, marker)) return true;
            continue;
        }
        }
    }
}

FieldValue SequentialReader::readField(std::size_t limit)
{
    FieldValue field;
    readFields({&field, 1}, limit);
    return field;
}

}  // namespace konversi
