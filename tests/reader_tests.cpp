#include "dxf/line_scans.h"
#include "konversi/error.h"
#include "read/sequential_reader.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

namespace konversi::detail {
namespace {

using test::TempDir;

// How a field reads in the tables below: E, N:spelling or T:text.
std::string render(const FieldValue& field)
{
    switch (field.kind()) {
    case FieldValue::Kind::Empty: return "E";
    case FieldValue::Kind::Number: return "N:" + std::string(field.text());
    case FieldValue::Kind::Text: return "T:" + std::string(field.text());
    }
    return "?";
}

FieldValue readField(SequentialReader& reader)
{
    FieldValue field;
    reader.readFields({&field, 1});
    return field;
}

std::string readLine(SequentialReader& reader)
{
    return std::string(reader.readTrimmedLine(SIZE_MAX).value());
}

class ReaderTest : public ::testing::Test {
protected:
    SequentialReader& open(std::string_view bytes,
                           std::size_t bufferSize = SequentialReader::defaultBufferSize)
    {
        test::writeFile(dir_.file("input.txt"), bytes);
        reader_.emplace(dir_.file("input.txt"), bufferSize);
        return *reader_;
    }

    std::vector<std::string> allFields(std::string_view bytes,
                                       std::size_t bufferSize = SequentialReader::defaultBufferSize)
    {
        SequentialReader& reader = open(bytes, bufferSize);
        std::vector<std::string> fields;
        while (!reader.atEnd())
            fields.push_back(render(readField(reader)));
        return fields;
    }

    std::vector<std::string> allLines(std::string_view bytes,
                                      std::size_t bufferSize = SequentialReader::defaultBufferSize)
    {
        SequentialReader& reader = open(bytes, bufferSize);
        std::vector<std::string> lines;
        while (!reader.atEnd())
            lines.push_back(readLine(reader));
        return lines;
    }

    TempDir dir_;
    std::optional<SequentialReader> reader_;
};

struct Case {
    const char* name;
    std::string input;
    std::vector<std::string> expected;
};

void PrintTo(const Case& c, std::ostream* os)
{
    *os << c.name;
}

class FieldReading : public ReaderTest, public ::testing::WithParamInterface<Case> {};

// Buffers of a few bytes put a buffer end inside every token and delimiter.
constexpr std::size_t bufferSizes[] = {SequentialReader::defaultBufferSize, 1, 2, 3, 5};

TEST_P(FieldReading, ReadsFieldsAsTheyStand)
{
    for (std::size_t size : bufferSizes)
        EXPECT_EQ(allFields(GetParam().input, size), GetParam().expected) << size;
}

INSTANTIATE_TEST_SUITE_P(
    Table, FieldReading,
    ::testing::Values(
        Case{"commas", "1,2,3", {"N:1", "N:2", "N:3"}},
        Case{"spaces_around_commas", "1, 2 ,3", {"N:1", "N:2", "N:3"}},
        Case{"space_separated_numbers", "1 2 3\r\n4", {"N:1", "N:2", "N:3", "N:4"}},
        Case{"one_value_per_crlf_line", "1\r\n2\r\n3\r\n", {"N:1", "N:2", "N:3"}},
        Case{"lone_lf_ends_a_field", "1\n2\n3\n", {"N:1", "N:2", "N:3"}},
        Case{"lone_cr_ends_a_field", "1\r2\r3", {"N:1", "N:2", "N:3"}},
        Case{"lf_then_cr_are_two_line_ends", "1\n\r2", {"N:1", "E", "N:2"}},
        Case{"empty_line_is_an_empty_field", "1\r\n\r\n2", {"N:1", "E", "N:2"}},
        Case{"quoted_keeps_commas_and_spaces", "  \" a, b \" ,x", {"T: a, b ", "T:x"}},
        Case{"quoted_number_is_text", "\"12\",\"\"", {"T:12", "T:"}},
        Case{"text_after_closing_quote_is_dropped", "\"ab\"cd,1", {"T:ab", "N:1"}},
        Case{"unclosed_quote_ends_at_line_end", "\"abc\r\n1", {"T:abc", "N:1"}},
        Case{"unclosed_quote_ends_at_file_end", "\"abc", {"T:abc"}},
        Case{"text_keeps_inner_spaces", "N 12,3", {"T:N 12", "N:3"}},
        Case{"text_loses_trailing_spaces", "abc   ,1", {"T:abc", "N:1"}},
        Case{"consecutive_commas", ",,1", {"E", "E", "N:1"}},
        Case{"tab_is_content", "\t1,2", {"T:\t1", "N:2"}},
        Case{"overflow_is_text_underflow_a_number", "1e999,-1e-999", {"T:1e999", "N:-1e-999"}},
        Case{"number_forms", "5.,.5,1.e5,+3,-0", {"N:5.", "N:.5", "N:1.e5", "N:+3", "N:-0"}},
        Case{"incomplete_numbers_are_text", "1e,1e+,-,.,+", {"T:1e", "T:1e+", "T:-", "T:.", "T:+"}},
        Case{"number_like_field_ends_at_space", "12abc def", {"T:12abc", "T:def"}},
        Case{"byte_26_is_ordinary", "1,\x1a", {"N:1", "T:\x1a"}},
        Case{"only_spaces_before_end_is_empty", "1,   ", {"N:1", "E"}},
        Case{"byte_order_mark_skipped",
             "\xEF\xBB\xBF"
             "1,2",
             {"N:1", "N:2"}},
        Case{"dxf_pairs", "  0\r\nPOINT\r\n 10\r\n1.5", {"N:0", "T:POINT", "N:10", "N:1.5"}}),
    [](const auto& info) { return std::string(info.param.name); });

class LineReading : public ReaderTest, public ::testing::WithParamInterface<Case> {};

TEST_P(LineReading, SplitsAtEveryKindOfLineEnd)
{
    for (std::size_t size : bufferSizes)
        EXPECT_EQ(allLines(GetParam().input, size), GetParam().expected) << size;
}

TEST_P(LineReading, SkippingALineEndsWhereReadingItDoes)
{
    std::vector<std::string> everySecond;
    for (std::size_t i = 1; i < GetParam().expected.size(); i += 2)
        everySecond.push_back(GetParam().expected[i]);
    for (std::size_t size : bufferSizes) {
        SequentialReader& reader = open(GetParam().input, size);
        std::vector<std::string> lines;
        while (!reader.atEnd()) {
            reader.skipLine();
            if (!reader.atEnd()) lines.push_back(readLine(reader));
        }
        EXPECT_EQ(lines, everySecond) << size;
    }
}

TEST_P(LineReading, ComparingALineEndsWhereReadingItDoes)
{
    const std::vector<std::string>& lines = GetParam().expected;
    for (std::size_t size : bufferSizes) {
        SequentialReader& reader = open(GetParam().input, size);
        for (std::size_t i = 0; i < lines.size(); ++i) {
            // Each line against a text it only starts with, and every other
            // line against itself too.
            const std::string& line = lines[i];
            const std::string start = line.empty() ? "x" : line.substr(0, line.size() - 1);
            const std::string_view texts[] = {start, line};
            const std::size_t count = i % 2 == 0 ? 2 : 1;
            EXPECT_EQ(readLineAmong(reader, {texts, count}), i % 2 == 0 ? 1 : count) << i << size;
        }
        EXPECT_TRUE(reader.atEnd()) << size;
    }
}

TEST_P(LineReading, SkippingToALineEndsWhereComparingLinesDoes)
{
    const std::vector<std::string>& lines = GetParam().expected;
    for (std::size_t size : bufferSizes) {
        for (const std::string& target : lines) {
            if (target.empty()) continue;
            SequentialReader& reader = open(GetParam().input, size);
            const std::string_view texts[] = {"?", target};
            EXPECT_EQ(skipToLineAmong(reader, texts), 1u) << target << size;
            std::vector<std::string> rest;
            while (!reader.atEnd())
                rest.push_back(readLine(reader));
            const auto after = std::find(lines.begin(), lines.end(), target) + 1;
            EXPECT_EQ(rest, std::vector<std::string>(after, lines.end())) << target << size;
        }
        try {
            constexpr std::string_view none[] = {"?"};
            skipToLineAmong(open(GetParam().input, size), none);
            ADD_FAILURE() << "no error " << size;
        } catch (const Error& error) {
            EXPECT_EQ(error.code(), ErrorCode::InputPastEndOfFile) << size;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, LineReading,
    ::testing::Values(
        Case{"crlf", "a\r\nb\r\n", {"a", "b"}}, Case{"lone_lf_ends_a_line", "a\nb", {"a", "b"}},
        Case{"lone_cr", "a\rb\r\n", {"a", "b"}},
        Case{"lf_then_cr_are_two", "a\n\rb", {"a", "", "b"}}, Case{"empty_file", "", {}},
        Case{"one_empty_line", "\r\n", {""}}, Case{"spaces_trimmed", "  10  \r\n", {"10"}},
        Case{"lines_longer_than_a_word",
             "a line of some length\r\n  9403160.908  \rand a third, with a comma\n.",
             {"a line of some length", "9403160.908", "and a third, with a comma", "."}},
        Case{"tabs_kept", " \t10\t \r\n", {"\t10\t"}}, Case{"last_line_without_end", "a", {"a"}},
        Case{"byte_order_mark_skipped",
             "\xEF\xBB\xBF"
             "x",
             {"x"}},
        Case{"byte_order_mark_only_at_start", "a\r\n\xEF\xBB\xBF", {"a", "\xEF\xBB\xBF"}},
        // Lines that hold a marker's first byte, or the marker itself, and
        // are not it.
        Case{"markers_among_lines",
             " 8\r\nsurvey 10\r\n 100 \r\nx10\r\n  10 \r\n\rVERTEX\n10",
             {"8", "survey 10", "100", "x10", "10", "", "VERTEX", "10"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ReaderTest, PassingPairsStopsBeforeTheCodeOrWhatItCannotTell)
{
    struct Row {
        const char* input;
        std::size_t pairs;  // passed with the whole file in the buffer
    };
    for (const Row& row : {
             Row{" 8 \r\nA\r\n 10 \r\n1.5\r\n  0\r\nEND\r\n", 2},
             Row{"8\rA\r10\n\n0\nx", 2},
             Row{"5\nABC\n999\nlast\n", 2},
             Row{"5\nABC\n999\nlast", 1},  // where the last line ends is not yet known
             Row{"5\nABC\n10\n", 1},
             Row{"5\nABC\n10", 1},
             Row{" -0 \nA\n", 0},
             Row{"7\t\nA\n0\n", 0},
             Row{"x\nA\n", 0},
         }) {
        const std::vector<std::string> lines =
            allLines(row.input, SequentialReader::defaultBufferSize);
        for (std::size_t size : bufferSizes) {
            SequentialReader& reader = open(row.input, size);
            const std::size_t pairs = skipPairsBefore(reader, 0);
            if (size == SequentialReader::defaultBufferSize) {
                EXPECT_EQ(pairs, row.pairs) << row.input;
            }
            std::vector<std::string> rest;
            while (!reader.atEnd())
                rest.emplace_back(*reader.readTrimmedLine(SequentialReader::maxFieldText));
            EXPECT_EQ(rest, std::vector<std::string>(lines.begin() + 2 * pairs, lines.end()))
                << row.input << size;
        }
    }
}

// Long runs of pairs are passed over from maps of 64 bytes: an odd pair
// after n plain ones, at every place in such a map, is told as the byte
// walk tells it.
TEST_F(ReaderTest, PassingManyPairsTellsOddOnesWhereverTheyStand)
{
    struct Row {
        const char* odd;
        std::size_t pairs;  // passed in `odd`
    };
    std::string tail = "  0\r\nEND\r\n";
    for (int i = 0; i < 8; ++i)
        tail += "  5\r\nabc\r\n";
    for (const Row& row : {
             Row{"", 0},
             Row{" 010\r\nA\r\n", 1},  // 10
             Row{"10000\nA\n-5\nB\n", 2},
             Row{"10\r\n\r\n", 1},
             Row{" 00 \r\nA\r\n", 0},  // 0
             Row{"  8 \r\nA\rB\r\n", 1},
             Row{"8\nA\n\r9\nB\n", 1},
             Row{"7\t\r\nA\r\n", 0},
             Row{" 1 0\r\nA\r\n", 0},
             Row{"1\xB0\r\nA\r\n", 0},
             Row{"1\r9\nA\n", 1},
         }) {
        for (std::size_t n = 0; n < 12; ++n) {
            std::string input;
            for (std::size_t i = 0; i < n; ++i)
                input += i % 3 == 0 ? " 10 \r\n 1.5 \r\n" : "1071\nTEXT\n";
            input += row.odd + tail;
            const std::vector<std::string> lines =
                allLines(input, SequentialReader::defaultBufferSize);
            SequentialReader& reader = open(input);
            const std::size_t pairs = skipPairsBefore(reader, 0);
            EXPECT_EQ(pairs, n + row.pairs) << row.odd << n;
            std::vector<std::string> rest;
            while (!reader.atEnd())
                rest.emplace_back(*reader.readTrimmedLine(SequentialReader::maxFieldText));
            EXPECT_EQ(rest, std::vector<std::string>(lines.begin() + 2 * pairs, lines.end()))
                << row.odd << n;
        }
    }
}

TEST_F(ReaderTest, LineAfterFieldStartsAfterItsDelimiter)
{
    SequentialReader& reader = open("POINT,abc\r\n1 2 3 rest\r\nnext");
    EXPECT_TRUE(readField(reader).isText("POINT"));
    EXPECT_EQ(readLine(reader), "abc");
    std::array<FieldValue, 3> xyz;
    reader.readFields(xyz);
    EXPECT_EQ(render(xyz[2]), "N:3");
    EXPECT_EQ(readLine(reader), "rest");
    EXPECT_EQ(readLine(reader), "next");
    EXPECT_TRUE(reader.atEnd());
}

TEST_F(ReaderTest, FieldAfterLineStartsOnTheNextLine)
{
    SequentialReader& reader = open("a,b\r\n  10\r\nx");
    EXPECT_EQ(readLine(reader), "a,b");
    EXPECT_EQ(render(readField(reader)), "N:10");
    EXPECT_EQ(readLine(reader), "x");
}

TEST_F(ReaderTest, AtEndRightAfterTheLastCrLf)
{
    SequentialReader& reader = open("x\r\n");
    readLine(reader);
    EXPECT_TRUE(reader.atEnd());
}

TEST_F(ReaderTest, ReadingPastTheEndFails)
{
    for (auto read : {+[](SequentialReader& r) { readField(r); },
                      +[](SequentialReader& r) { r.readTrimmedLine(10); },
                      +[](SequentialReader& r) { r.skipLine(); }}) {
        SequentialReader& reader = open("1,2,");
        readField(reader);
        readField(reader);
        try {
            read(reader);
            FAIL() << "read past the end succeeded";
        } catch (const Error& error) {
            EXPECT_EQ(error.number(), 62);
        }
    }
}

TEST_F(ReaderTest, TokensLongerThanTheBufferStayWhole)
{
    const std::string longLine(3'000'000, 'x');
    const std::string longField(SequentialReader::maxFieldText, 'y');
    SequentialReader& reader = open(longLine + "\r\n1,\"" + longField + "\"," + longField +
                                    std::string(700'000, ' ') + "\r\n");
    EXPECT_EQ(readLine(reader), longLine);
    std::array<FieldValue, 3> fields;
    reader.readFields(fields);
    EXPECT_EQ(render(fields[0]), "N:1");
    EXPECT_EQ(fields[1].text(), longField);
    EXPECT_EQ(fields[2].text(), longField);
}

TEST_F(ReaderTest, ManyFieldsAcrossBufferBoundaries)
{
    std::string input;
    for (int i = 0; i < 200'000; ++i)
        input += std::to_string(i) + ",\"q\"," + std::to_string(-i) + "\r\n";
    SequentialReader& reader = open(input);
    std::array<FieldValue, 3> triple;
    for (int i = 0; i < 200'000; ++i) {
        reader.readFields(triple);
        ASSERT_EQ(triple[0].number(), i);
        ASSERT_TRUE(triple[1].isText("q"));
        ASSERT_EQ(triple[2].number(), -i);
    }
    EXPECT_TRUE(reader.atEnd());
}

TEST_F(ReaderTest, TrimmedLineWithLimit)
{
    const std::string spaces(400'000, ' ');
    const std::string word(400'000, 'w');
    SequentialReader& reader = open(spaces + "10\r\n10" + spaces + "\r\n" + word + "\r\n10" +
                                    spaces + "x\r\n  SEQEND \r\n");
    EXPECT_EQ(reader.readTrimmedLine(100), "10");
    EXPECT_EQ(reader.readTrimmedLine(100), "10");
    EXPECT_EQ(reader.readTrimmedLine(100), std::nullopt);
    EXPECT_EQ(reader.readTrimmedLine(100), std::nullopt);
    EXPECT_EQ(reader.readTrimmedLine(100), "SEQEND");
    EXPECT_TRUE(reader.atEnd());
}

// A field held whole is bounded, so that no file can take all memory; the
// bound is on its text, without quotes or an unquoted text's trailing spaces.
TEST_F(ReaderTest, FieldLongerThanTheBoundIsRefused)
{
    const std::string over(SequentialReader::maxFieldText + 1, '7');
    for (const std::string& input : {"\"" + over + "\"", over, "x" + over + ",1", "x" + over}) {
        SequentialReader& reader = open(input);
        try {
            readField(reader);
            FAIL() << "a field of " << input.size() << " bytes was read";
        } catch (const Error& error) {
            EXPECT_EQ(error.number(), 14);
        }
    }
}

TEST_F(ReaderTest, OnlyBlanksRemain)
{
    SequentialReader& ending = open("1,2,3\r\n \t\r\n\x1a\n");
    std::array<FieldValue, 3> xyz;
    EXPECT_FALSE(ending.onlyBlanksRemain());
    ending.readFields(xyz);
    EXPECT_TRUE(ending.onlyBlanksRemain());

    const std::string blanks(1'000'000, '\r');
    SequentialReader& notEnding = open("1,2,3" + blanks + "x");
    notEnding.readFields(xyz);
    EXPECT_FALSE(notEnding.onlyBlanksRemain());
    EXPECT_FALSE(notEnding.onlyBlanksRemain());
    EXPECT_EQ(render(readField(notEnding)), "E");

    SequentialReader& longBlankEnd = open("1,2,3" + blanks);
    longBlankEnd.readFields(xyz);
    EXPECT_TRUE(longBlankEnd.onlyBlanksRemain());
}

// The marker scan jumps from one candidate byte to the next; what follows
// each marker it finds must be what reading field by field finds.
std::vector<std::string> linesAfterMarkers(SequentialReader& reader, bool scan)
{
    std::vector<std::string> seen;
    for (;;) {
        if (scan) {
            if (!reader.skipToField("POINT")) break;
        } else {
            if (reader.atEnd()) break;
            if (!readField(reader).isText("POINT")) continue;
        }
        seen.push_back(reader.atEnd() ? "<end>" : readLine(reader));
    }
    return seen;
}

TEST_F(ReaderTest, MarkerScanStopsWhereFieldReadingStops)
{
    const std::string inputs[] = {
        "",
        "POINT",
        "POINT\r\n 10 \r\n1\r\n",
        "  POINT  \r\nnext",
        "\"POINT\"\r\nquoted",
        "\"POINT\r\nunclosed quote",
        "\"POINT\" dropped,after",
        "\"x,POINT\"\r\ninside quotes",
        "POINTS\r\nPOINT\r\nsecond",
        "POINT X\r\nPOINT,rest of line",
        "1 POINT\r\nafter a number",
        "-1.5   POINT ,x",
        "abc POINT\r\none text field",
        "x,POINT,y\r\nz",
        "x,,POINT\ny",
        "POINT\rlone cr",
        "POINT\nlone lf",
        "\n\rPOINT\r\n",
        "PPPP,POINT\r\nPOINT",
        "P",
        "POIN",
        "POINT   ",
        "a\"POINT\r\n",
        "\"\"POINT\r\n",
        "1e5 POINT\r\n",
        "\xEF\xBB\xBFPOINT\r\nafter a byte-order mark",
        std::string(300'000, 'x') + ",POINT\r\nafter a long line",
        "POINT" + std::string(300'000, ' ') + "\r\nafter long trailing spaces"};
    for (const std::string& input : inputs) {
        const std::vector<std::string> expected = linesAfterMarkers(open(input), false);
        for (std::size_t size : bufferSizes)
            EXPECT_EQ(linesAfterMarkers(open(input, size), true), expected) << input << " " << size;
    }
}

struct OpenCase {
    const char* name;
    const char* path;  // relative to the test's folder
    int error;
};

class OpeningInput : public ReaderTest, public ::testing::WithParamInterface<OpenCase> {};

TEST_P(OpeningInput, FailsWithTheRightError)
{
    test::writeFile(dir_.file("file.txt"), "1");
    std::filesystem::create_directory(dir_.path() / "folder");
    try {
        SequentialReader reader(dir_.file(GetParam().path));
        FAIL() << "opened " << GetParam().path;
    } catch (const Error& error) {
        EXPECT_EQ(error.number(), GetParam().error);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, OpeningInput,
                         ::testing::Values(OpenCase{"missing_file", "missing.txt", 53},
                                           OpenCase{"missing_folder", "nofolder/x.txt", 76},
                                           OpenCase{"file_as_folder", "file.txt/x.txt", 76},
                                           OpenCase{"folder_as_file", "folder", 75}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace konversi::detail
