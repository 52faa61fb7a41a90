#pragma once

#include "konversi/conversion_options.h"
#include "number/field_value.h"
#include "read/sequential_reader.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace konversi::detail {

// One survey point: its coordinates, and its name and code, "" where the
// layout has none. Its views stay valid until the next read.
struct SurveyPoint {
    std::string_view name;
    FieldValue x;
    FieldValue y;
    FieldValue z;
    std::string_view code;
};

// Reads a coordinate file as records: one point a line, its fields in the
// order of the columns. Skips the header lines asked for, blank lines and
// comments (lines whose first non-blank character is #). Unless given, the
// delimiter is the one the first record shows outside double quotes: a tab,
// else a semicolon, else a comma (unless commas are decimal marks), else
// runs of spaces and tabs.
class RecordReader {
public:
    RecordReader(SequentialReader& input, const ConversionOptions& options);

    // The next point, or false at the end of the file. Error 13 when a
    // coordinate does not read as a number, 6 when it does not fit a double,
    // 14 for a line over SequentialReader::maxFieldText: each naming the line.
    bool next(SurveyPoint& point);

private:
    std::optional<std::string_view> nextRecord();
    // Splits a record into fields_, filling them from the front, and returns
    // how many it filled. Each field loses the spaces and tabs around it and
    // one pair of enclosing double quotes, inside which a delimiter is text
    // and two quotes in a row are one. With spaces as the delimiter a run of
    // spaces and tabs separates two fields, and a code in the last column
    // is the rest of the line, so that a code such as TREE OAK stays whole.
    std::size_t split(std::string_view record);
    FieldValue coordinate(std::string_view field) const;
    const char* readCoordinate(const char* p, const char* end, char delimiter,
                               FieldValue& value) const;
    const char* readPlainRecord(const char* p, const char* end, SurveyPoint& point) const;
    const char* readPlainLine(const char* p, const char* end, bool atEof, SurveyPoint& point) const;

    SequentialReader& input_;
    const std::vector<ColumnRole>& columns_;
    Delimiter delimiter_;
    bool decimalComma_;
    std::size_t skipLines_;
    std::uint64_t line_ = 0;
    std::vector<std::string_view> fields_;
    std::vector<std::string> unescaped_;  // by column, for quoted fields that hold quotes
};

}  // namespace konversi::detail
