#include "read/record_reader.h"

#include "konversi/error.h"
#include "read/field_rule.h"

#include <algorithm>
#include <cstring>

namespace konversi::detail {

namespace {

// Written out rather than with find_first_not_of, which looks each byte up in
// the set with a call of its own: on short fields that doubled the time of
// a record.
bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string_view trimmed(std::string_view field)
{
    while (!field.empty() && isBlank(field.front()))
        field.remove_prefix(1);
    while (!field.empty() && isBlank(field.back()))
        field.remove_suffix(1);
    return field;
}

// A field without its enclosing double quotes, two quotes in a row inside
// them read as one (as RFC 4180 writes a quote), in `unescaped` when they
// must be undoubled.
std::string_view unquoted(std::string_view field, std::string& unescaped)
{
    if (field.size() < 2 || field.front() != '"' || field.back() != '"') return field;
    field = field.substr(1, field.size() - 2);
    std::size_t quote = field.find("\"\"");
    if (quote == std::string_view::npos) return field;
    unescaped.clear();
    do {
        unescaped.append(field.substr(0, quote + 1));
        field.remove_prefix(quote + 2);
        quote = field.find("\"\"");
    } while (quote != std::string_view::npos);
    unescaped.append(field);
    return unescaped;
}

// The closing quote of a quoted text that goes on at `p`, or `end`; two
// quotes in a row stand for one and close nothing.
const char* closingQuote(const char* p, const char* end)
{
    for (;;) {
        const void* const found = std::memchr(p, '"', static_cast<std::size_t>(end - p));
        if (found == nullptr) return end;
        p = static_cast<const char*>(found);
        if (p + 1 == end || p[1] != '"') return p;
        p += 2;
    }
}

// The first delimiter from `p` on, or `end`. A single delimiting byte is
// looked for a word at a time, inline: a field is a word or two, for which
// a call to memchr costs more than the search.
std::optional<char> delimiterByte(Delimiter delimiter)
{
    switch (delimiter) {
    case Delimiter::Comma: return ',';
    case Delimiter::Semicolon: return ';';
    case Delimiter::Tab: return '\t';
    case Delimiter::Automatic:
    case Delimiter::Space: break;
    }
    return std::nullopt;  // runs of spaces and tabs delimit
}

const char* findDelimiter(const char* p, const char* end, Delimiter delimiter)
{
    if (const std::optional<char> single = delimiterByte(delimiter))
        return findByte(p, end, *single);
    while (p != end && !isBlank(*p))
        ++p;
    return p;
}

// Past the spaces and tabs before a field or after a number; a tab that
// delimits cannot also pad a field.
const char* pastPadding(const char* p, const char* end, Delimiter delimiter)
{
    while (p != end && isBlank(*p) && !(delimiter == Delimiter::Tab && *p == '\t'))
        ++p;
    return p;
}

// Where the field that starts at `at` ends: at its delimiter, or npos.
std::size_t fieldEnd(std::string_view record, std::size_t at, Delimiter delimiter)
{
    const char* const end = record.data() + record.size();
    const char* p = pastPadding(record.data() + at, end, delimiter);
    if (p != end && *p == '"') p = closingQuote(p + 1, end);
    p = findDelimiter(p, end, delimiter);
    return p == end ? std::string_view::npos : static_cast<std::size_t>(p - record.data());
}

// The delimiter the first record shows, outside double quotes: a quoted
// code may hold any of them.
Delimiter delimiterOf(std::string_view record, bool decimalComma)
{
    bool tab = false;
    bool semicolon = false;
    bool comma = false;
    bool quoted = false;
    for (const char c : record) {
        if (c == '"') quoted = !quoted;  // a doubled quote turns it back at once
        if (quoted) continue;
        tab = tab || c == '\t';
        semicolon = semicolon || c == ';';
        comma = comma || c == ',';
    }
    if (tab) return Delimiter::Tab;
    if (semicolon) return Delimiter::Semicolon;
    if (comma && !decimalComma) return Delimiter::Comma;
    return Delimiter::Space;
}

}  // namespace

RecordReader::RecordReader(SequentialReader& input, const ConversionOptions& options)
    : input_(input),
      columns_(options.columns),
      delimiter_(options.delimiter),
      decimalComma_(options.decimalComma),
      skipLines_(options.skipLines),
      fields_(options.columns.size()),
      unescaped_(options.columns.size())
{
}

// Header lines and comments are passed over without being held, however
// long: the bound on a line is for the fields a conversion keeps.
std::optional<std::string_view> RecordReader::nextRecord()
{
    while (!input_.atEnd()) {
        ++line_;
        if (line_ > skipLines_) {
            const std::optional<char> first = input_.peekPastSpaces();
            if (!first) break;  // a last line of spaces
            if (*first != '#') {
                const std::optional<std::string_view> line =
                    input_.readTrimmedLine(SequentialReader::maxFieldText);
                if (!line) throw Error(ErrorCode::OutOfStringSpace, line_);
                const std::string_view text = trimmed(*line);
                if (text.empty() || text.front() == '#') continue;
                return line;
            }
        }
        input_.skipLine();
    }
    return std::nullopt;
}

std::size_t RecordReader::split(std::string_view record)
{
    const bool codeIsRest =
        delimiter_ == Delimiter::Space && columns_.back() == ColumnRole::Description;
    std::size_t count = 0;
    std::size_t at = 0;
    while (count < fields_.size()) {
        const bool rest = codeIsRest && count + 1 == fields_.size();
        const std::size_t end = rest ? std::string_view::npos : fieldEnd(record, at, delimiter_);
        fields_[count] = unquoted(trimmed(record.substr(at, end - at)), unescaped_[count]);
        ++count;
        if (end == std::string_view::npos) break;
        at = end + 1;
        if (delimiter_ == Delimiter::Space) {
            while (at != record.size() && isBlank(record[at]))
                ++at;
            if (at == record.size()) break;
        }
    }
    return count;
}

// A coordinate read by the one number grammar, with a comma as its decimal
// mark when the file has one.
FieldValue RecordReader::coordinate(std::string_view field) const
{
    return decimalComma_ ? requiredCommaNumber(field, line_) : requiredNumber(field, line_);
}

// Where a point keeps the coordinate of a column's role; null for a column
// that holds none.
static FieldValue* coordinateOf(ColumnRole role, SurveyPoint& point)
{
    switch (role) {
    case ColumnRole::Easting: return &point.x;
    case ColumnRole::Northing: return &point.y;
    case ColumnRole::Elevation: return &point.z;
    case ColumnRole::PointName:
    case ColumnRole::Description:
    case ColumnRole::Skipped: break;
    }
    return nullptr;
}

// A coordinate in any spelling, spaces and tabs around it allowed, for
// readPlainRecord: where it ends, or null.
const char* RecordReader::readCoordinate(const char* p, const char* end, char delimiter,
                                         FieldValue& value) const
{
    const auto endsField = [&](const char* at) {
        return at == end || *at == delimiter || is(*at, LineEnd);
    };
    if (p != end && isBlank(*p)) p = pastPadding(p, end, delimiter_);
    const NumberScan scan = scanNumber(p, end);
    if (!scan.isNumber) return nullptr;  // a quoted one too
    value = classifyNumber({p, static_cast<std::size_t>(scan.stop - p)}, scan.printLength);
    if (!value.isNumber()) return nullptr;  // beyond a double's range
    p = scan.stop;
    if (!endsField(p)) {
        p = pastPadding(p, end, delimiter_);
        if (!endsField(p)) return nullptr;
    }
    return p;
}

// The common record, read in one pass over [p, end): a delimiter of one
// byte, no quotes, a decimal point, every coordinate a number right up to
// its delimiter (spaces and tabs around it allowed), every column present.
// Each coordinate is scanned where it stands, which finds both where it ends
// and what it is; padding is looked for only where a field does not start
// or end at once. Returns where the last column ends, at a delimiter, a line
// end or `end`; null for any other record, which next() then reads the
// general way: that way also raises the errors, so none is raised here.
const char* RecordReader::readPlainRecord(const char* p, const char* end, SurveyPoint& point) const
{
    const std::optional<char> single = delimiterByte(delimiter_);
    if (!single || decimalComma_) return nullptr;
    const char delimiter = *single;
    point = SurveyPoint{{}, {}, {}, FieldValue::printedNumber("0", 1), {}};
    const std::size_t columns = columns_.size();
    for (std::size_t column = 0;;) {
        const ColumnRole role = columns_[column];
        if (FieldValue* const coordinate = coordinateOf(role, point)) {
            NumberScan common;
            // Mostly a coordinate in its print form right up to the delimiter
            // or the line end, taken at once as the field reader takes it.
            if (scanCommonNumber(p, end, '.', common) &&
                (*common.stop == delimiter || is(*common.stop, LineEnd))) {
                *coordinate = FieldValue::printedNumber(
                    {p, static_cast<std::size_t>(common.stop - p)}, common.printLength);
                p = common.stop;
            } else {
                p = readCoordinate(p, end, delimiter, *coordinate);
                if (p == nullptr) return nullptr;
            }
        } else {
            const char* const fieldEnd = findByte<true>(p, end, delimiter);
            const std::string_view field = trimmed({p, static_cast<std::size_t>(fieldEnd - p)});
            if (!field.empty() && field.front() == '"') return nullptr;
            if (role == ColumnRole::PointName) point.name = field;
            if (role == ColumnRole::Description) point.code = field;
            p = fieldEnd;
        }
        if (++column == columns) return p;
        if (p == end || *p != delimiter) return nullptr;  // a column is missing
        ++p;
    }
}

// A record line as readPlainRecord reads it, whole in the reader's buffer
// from `p` on, with its line end: returns where the next line starts. Null
// for a blank line, a comment, a line too long to hold and a line the
// buffer cuts, all of which nextRecord() reads.
const char* RecordReader::readPlainLine(const char* p, const char* end, bool atEof,
                                        SurveyPoint& point) const
{
    const char* const first = pastPadding(p, end, Delimiter::Space);
    if (first == end || *first == '#' || is(*first, LineEnd)) return nullptr;
    const char* const stop = readPlainRecord(p, end, point);
    if (stop == nullptr) return nullptr;
    // The last column ends at its line end, but for a code with a tab
    // delimiter after it and the like.
    const char* const lineEnd =
        stop != end && is(*stop, LineEnd) ? stop : passToStop<lineStop>(stop, end);
    if (static_cast<std::size_t>(lineEnd - p) > SequentialReader::maxFieldText) return nullptr;
    return passDelimiter(lineEnd, end, atEof);
}

bool RecordReader::next(SurveyPoint& point)
{
    // Past the header lines, a record is read where it lies in the buffer,
    // without finding its line first.
    if (line_ >= skipLines_ && input_.readInBuffer([&](const char* p, const char* end, bool atEof) {
            return readPlainLine(p, end, atEof, point);
        })) {
        ++line_;
        return true;
    }
    const std::optional<std::string_view> record = nextRecord();
    if (!record) return false;
    if (delimiter_ == Delimiter::Automatic) delimiter_ = delimiterOf(*record, decimalComma_);
    if (readPlainRecord(record->data(), record->data() + record->size(), point)) return true;
    const std::size_t count = split(*record);
    std::fill(fields_.begin() + static_cast<std::ptrdiff_t>(count), fields_.end(),
              std::string_view());
    point = SurveyPoint{{}, {}, {}, FieldValue::printedNumber("0", 1), {}};
    for (std::size_t column = 0; column < columns_.size(); ++column) {
        const std::string_view field = fields_[column];
        switch (columns_[column]) {
        case ColumnRole::PointName: point.name = field; break;
        case ColumnRole::Easting: point.x = coordinate(field); break;
        case ColumnRole::Northing: point.y = coordinate(field); break;
        case ColumnRole::Elevation: point.z = coordinate(field); break;
        case ColumnRole::Description: point.code = field; break;
        case ColumnRole::Skipped: break;
        }
    }
    return true;
}

}  // namespace konversi::detail
