#pragma once

#include "konversi/field_value.h"
#include "konversi/file_identity.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace konversi {

// Reads a text file strictly from front to back, as lines or as comma and
// line-end separated fields, through one large buffer. Lines end at CR LF, a
// lone CR or a lone LF; a UTF-8 byte-order mark at the start is skipped.
//
// Views returned by a read stay valid until the next call on the reader.
class SequentialReader {
public:
    // Opens the file for reading: error 53 when it is missing, 76 when its
    // folder is, 75 for anything else (a folder, no permission).
    explicit SequentialReader(const std::string& path);
    ~SequentialReader();
    SequentialReader(const SequentialReader&) = delete;
    SequentialReader& operator=(const SequentialReader&) = delete;

    FileIdentity identity() const noexcept { return identity_; }

    // True when no byte of the file remains.
    bool atEnd();

    // True when every remaining byte is a space, tab, CR, LF or byte 26 (also
    // when none remains). Reads ahead without moving the read position.
    bool onlyBlanksRemain();

    // The next line without its line end. Error 62 when no byte remains.
    std::string_view readLine();

    // The next line with leading and trailing spaces removed, or nothing when
    // that text is longer than `limit`: a line too long to be any short marker
    // is skipped without being held in memory. Error 62 when no byte remains.
    std::optional<std::string_view> readTrimmedLine(std::size_t limit)
    {
        // Most lines lie whole in the buffer, with the byte after their end.
        const char* const base = buffer_.get();
        const char* const end = base + end_;
        const char* p = base + pos_;
        while (p != end && *p == ' ')
            ++p;
        const char* const begin = p;
        while (p != end && *p != '\r' && *p != '\n')
            ++p;
        if (end - p >= 2) {
            const char* last = p;
            while (last != begin && last[-1] == ' ')
                --last;
            if (static_cast<std::size_t>(last - begin) <= limit) {
                pending_.clear();
                pos_ = static_cast<std::size_t>(p - base) + (p[0] == '\r' && p[1] == '\n' ? 2 : 1);
                return std::string_view(begin, static_cast<std::size_t>(last - begin));
            }
        }
        return readTrimmedLineSlow(limit);
    }

    // Fills `out` with the next fields, in order. With a `limit`, each field's
    // text is cut to its first `limit` bytes, so that a hostile file cannot
    // make the reader hold a huge field. Error 62 when a field starts with no
    // byte left.
    void readFields(std::span<FieldValue> out, std::size_t limit = unlimited);
    FieldValue readField(std::size_t limit = unlimited);

    // Reads 2 * out.size() - 1 fields exactly as readFields would and fills
    // `out` with the first, third, fifth and so on; the fields between are
    // passed over without being worked out. In a DXF file those are the group
    // codes between the values of a run of pairs.
    void readAlternateFields(std::span<FieldValue> out, std::size_t limit = unlimited);

    // Reads fields until one is the text `marker` and returns true, or returns
    // false when the file ends first; exactly as readField would, but without
    // working out or keeping any field. `marker` starts with a letter and
    // holds no space, comma, double quote, CR or LF.
    bool skipToField(std::string_view marker);

    static constexpr std::size_t unlimited = static_cast<std::size_t>(-1);

private:
    // A token read but not yet handed out: offsets into the buffer, which may
    // move while the rest of a batch is read, or the token's own slot.
    struct Pending {
        enum class Form { Empty, Quoted, Unquoted } form = Form::Empty;
        bool inSlot = false;
        bool cut = false;  // only a prefix of the token is kept
        std::size_t begin = 0;
        std::size_t length = 0;
    };

    bool ensureByte();
    bool refill();
    void keepPendingInSlots();
    void skipSpaces();
    template <class Stop>
    void skipUntil(Stop stop);
    template <class Stop>
    Pending scan(Stop stop, std::size_t limit, bool trailingSpacesDrop);
    void consumeDelimiter();
    void readOneField(std::size_t limit);
    void readFieldsEvery(std::size_t step, std::span<FieldValue> out, std::size_t limit);
    bool readFieldInBuffer(FieldValue* out, std::size_t limit);
    bool readFieldsInBuffer(std::size_t step, std::span<FieldValue> out, std::size_t limit);
    std::optional<std::string_view> readTrimmedLineSlow(std::size_t limit);
    enum class Candidate { Marker, NotMarker, Undecided };
    Candidate checkCandidate(std::size_t at, std::string_view marker);
    bool skipFieldsPast(std::size_t at, std::string_view marker);
    std::string_view viewOf(std::size_t index) const;
    std::string& slot(std::size_t index);

    int fd_ = -1;
    FileIdentity identity_;
    std::unique_ptr<char[]> buffer_;
    std::size_t capacity_ = 0;
    std::size_t pos_ = 0;             // next byte to read
    std::size_t end_ = 0;             // end of the bytes read so far
    std::size_t keep_ = 0;            // bytes from here on survive a refill
    std::uint64_t bufferOffset_ = 0;  // file offset of buffer_[0]
    bool eof_ = false;
    bool nonBlankKnown_ = false;
    std::uint64_t nonBlankAt_ = 0;  // file offset of a byte known not to be blank
    std::vector<Pending> pending_;
    std::vector<std::string> slots_;
};

}  // namespace konversi
