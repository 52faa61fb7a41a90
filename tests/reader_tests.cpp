#include "konversi/error.h"
#include "konversi/sequential_reader.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace konversi {
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

class ReaderTest : public ::testing::Test {
protected:
    SequentialReader& open(std::string_view bytes)
    {
        test::writeFile(dir_.file("input.txt"), bytes);
        reader_.emplace(dir_.file("input.txt"));
        return *reader_;
    }

    std::vector<std::string> allFields(std::string_view bytes)
    {
        SequentialReader& reader = open(bytes);
        std::vector<std::string> fields;
        while (!reader.atEnd())
            fields.push_back(render(reader.readField()));
        return fields;
    }

    std::vector<std::string> allLines(std::string_view bytes)
    {
        SequentialReader& reader = open(bytes);
        std::vector<std::string> lines;
        while (!reader.atEnd())
            lines.emplace_back(reader.readLine());
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

TEST_P(FieldReading, ReadsFieldsAsTheyStand)
{
    EXPECT_EQ(allFields(GetParam().input), GetParam().expected);
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
    EXPECT_EQ(allLines(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, LineReading,
    ::testing::Values(
        Case{"crlf", "a\r\nb\r\n", {"a", "b"}}, Case{"lone_lf_ends_a_line", "a\nb", {"a", "b"}},
        Case{"lone_cr", "a\rb\r\n", {"a", "b"}},
        Case{"lf_then_cr_are_two", "a\n\rb", {"a", "", "b"}}, Case{"empty_file", "", {}},
        Case{"one_empty_line", "\r\n", {""}}, Case{"spaces_kept", "  10  \r\n", {"  10  "}},
        Case{"last_line_without_end", "a", {"a"}},
        Case{"byte_order_mark_skipped",
             "\xEF\xBB\xBF"
             "x",
             {"x"}},
        Case{"byte_order_mark_only_at_start", "a\r\n\xEF\xBB\xBF", {"a", "\xEF\xBB\xBF"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ReaderTest, LineAfterFieldStartsAfterItsDelimiter)
{
    SequentialReader& reader = open("POINT,abc\r\n1 2 3 rest\r\nnext");
    EXPECT_TRUE(reader.readField().isText("POINT"));
    EXPECT_EQ(reader.readLine(), "abc");
    std::array<FieldValue, 3> xyz;
    reader.readFields(xyz);
    EXPECT_EQ(render(xyz[2]), "N:3");
    EXPECT_EQ(reader.readLine(), "rest");
    EXPECT_EQ(reader.readLine(), "next");
    EXPECT_TRUE(reader.atEnd());
}

TEST_F(ReaderTest, FieldAfterLineStartsOnTheNextLine)
{
    SequentialReader& reader = open("a,b\r\n  10\r\nx");
    EXPECT_EQ(reader.readLine(), "a,b");
    EXPECT_EQ(render(reader.readField()), "N:10");
    EXPECT_EQ(reader.readLine(), "x");
}

TEST_F(ReaderTest, AtEndRightAfterTheLastCrLf)
{
    SequentialReader& reader = open("x\r\n");
    reader.readLine();
    EXPECT_TRUE(reader.atEnd());
}

TEST_F(ReaderTest, ReadingPastTheEndFails)
{
    for (auto read :
         {+[](SequentialReader& r) { r.readLine(); }, +[](SequentialReader& r) { r.readField(); },
          +[](SequentialReader& r) { r.readTrimmedLine(10); }}) {
        SequentialReader& reader = open("1,2,");
        reader.readField();
        reader.readField();
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
    SequentialReader& reader = open(longLine + "\r\n\"" + longLine + "\",7\r\n");
    EXPECT_EQ(reader.readLine(), longLine);
    std::array<FieldValue, 2> fields;
    reader.readFields(fields);
    EXPECT_EQ(fields[0].text(), longLine);
    EXPECT_EQ(render(fields[1]), "N:7");
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

TEST_F(ReaderTest, FieldsWithLimitKeepOnlyAPrefix)
{
    const std::string word(400'000, 'w');
    SequentialReader& reader = open(word + ",POINT" + std::string(300'000, ' ') + "\r\n5");
    std::array<FieldValue, 3> fields;
    reader.readFields(fields, 16);
    EXPECT_EQ(fields[0].text(), word.substr(0, 16));
    EXPECT_TRUE(fields[1].isText("POINT"));
    EXPECT_EQ(render(fields[2]), "N:5");
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
    EXPECT_EQ(render(notEnding.readField()), "E");

    SequentialReader& longBlankEnd = open("1,2,3" + blanks);
    longBlankEnd.readFields(xyz);
    EXPECT_TRUE(longBlankEnd.onlyBlanksRemain());
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
}  // namespace konversi
