#include "dxf/layers.h"
#include "konversi/error.h"
#include "number/number_format.h"
#include "read/record_reader.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace konversi::detail {
namespace {

using detail::RecordReader;
using detail::SurveyPoint;

struct Export {
    const char* name;
    const char* columns;
    std::string bytes;
    std::vector<std::string> points;  // name|x|y|z|code, numbers as the reader spells them
    std::size_t skipLines = 0;
    bool decimalComma = false;
    Delimiter delimiter = Delimiter::Automatic;
};

void PrintTo(const Export& e, std::ostream* os)
{
    *os << e.name;
}

ConversionOptions optionsFor(const Export& e)
{
    ConversionOptions options;
    options.columns = parseColumns(e.columns).value();
    options.skipLines = e.skipLines;
    options.decimalComma = e.decimalComma;
    options.delimiter = e.delimiter;
    return options;
}

// A field as the reader spells it; a number read with a decimal comma has no
// spelling to copy and shows its print form.
std::string spelled(const FieldValue& field)
{
    if (!field.isNumber() || !field.text().empty()) return std::string(field.text());
    char printed[maxNumberPrintLength];
    std::string form(printed, formatNumber(field.number(), printed));
    form.pop_back();                                     // the trailing space
    return form.front() == ' ' ? form.substr(1) : form;  // a blank sign place
}

std::string render(const SurveyPoint& p)
{
    return std::string(p.name) + "|" + spelled(p.x) + "|" + spelled(p.y) + "|" + spelled(p.z) +
           "|" + std::string(p.code);
}

// Reads every record of `bytes`: through a small buffer, so that records
// cross its ends, and through the usual one, which holds them whole.
constexpr std::size_t bufferSizes[] = {16, SequentialReader::defaultBufferSize};

std::vector<std::string> readRecords(const ConversionOptions& options, const std::string& bytes,
                                     std::size_t bufferSize)
{
    const test::TempDir dir;
    test::writeFile(dir.file("titik.txt"), bytes);
    SequentialReader input(dir.file("titik.txt"), bufferSize);
    RecordReader records(input, options);
    std::vector<std::string> points;
    SurveyPoint point;
    while (records.next(point))
        points.push_back(render(point));
    return points;
}

class RealExport : public ::testing::TestWithParam<Export> {};

TEST_P(RealExport, ReadsEveryPoint)
{
    for (const std::size_t size : bufferSizes)
        EXPECT_EQ(readRecords(optionsFor(GetParam()), GetParam().bytes, size), GetParam().points)
            << size;
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, RealExport,
    ::testing::Values(
        Export{"PnezdWithHeaderCrLf",
               "pnezd",
               "PNT,N,E,Z,DESC\r\n1,9123456.789,512345.678,12.5,CP\r\n"
               "2,9123460.1,512350,13,TREE OAK\r\n",
               {"1|512345.678|9123456.789|12.5|CP", "2|512350|9123460.1|13|TREE OAK"},
               1},
        Export{"SemicolonDecimalCommaLf",
               "penzd",
               "1;512345,678;9123456,789;-0,5;BM\n2;512346;9123457;1,25;\n",
               {"1|512345.678|9123456.789|-0.5|BM", "2|512346|9123457|1.25|"},
               0,
               true},
        Export{"TabWithEmptyFields",
               "p-xyzd",
               "A1\t\t512345.678\t9123456.789\t12.5\tKERB\r\nA2\t\t512346\t9123457\t9\t\r\n",
               {"A1|512345.678|9123456.789|12.5|KERB", "A2|512346|9123457|9|"},
               0,
               false,
               Delimiter::Automatic},
        Export{"AlignedColumnsMixedLineEnds",
               "pxyzd",
               "   1   512345.678   9123456.789    12.500  CP\r\n"
               "  10   512346.000   9123457.000     9.000  TREE OAK\n",
               {"1|512345.678|9123456.789|12.500|CP", "10|512346.000|9123457.000|9.000|TREE OAK"}},
        // With spaces between fields a code in the last column is the rest
        // of the line.
        Export{"SpaceDelimitedCodeIsTheRestOfTheLine",
               "pxyzd",
               "1 100.0 200.0 3.0 TREE  OAK 30 \r\n2 1 2 3 \"A B\"\r\n",
               {"1|100.0|200.0|3.0|TREE  OAK 30", "2|1|2|3|A B"}},
        Export{"QuotedFieldsHoldTheDelimiter",
               "pyxzd",
               "\"7\",\"9123456.789\",\"512345.678\",\"3\",\"TREE, OAK\"\r\n",
               {"7|512345.678|9123456.789|3|TREE, OAK"}},
        // As written back by point2txt --columns: two quotes inside are one.
        Export{"DoubledQuotesAreOne",
               "pxyzd",
               "1,1,1,1,\"Road, main\"\r\n2,1,1,1,\"a \"\"b\"\", c\"\r\n3,1,1,1,\"\"\"\"\r\n",
               {"1|1|1|1|Road, main", "2|1|1|1|a \"b\", c", "3|1|1|1|\""}},
        // The first record decides the delimiter by what stands outside quotes.
        Export{"DelimiterGuessedOutsideQuotes",
               "pxyzd",
               "1,100,200,3,\"A;B\tC\"\r\n2,100,200,3,\"D\tE\"\r\n",
               {"1|100|200|3|A;B\tC", "2|100|200|3|D\tE"}},
        Export{"DecimalCommaBetweenSpaces",
               "pxyz",
               "1 512345,678 9123456,789 12,5\r\n",
               {"1|512345.678|9123456.789|12.5|"},
               0,
               true},
        // Header lines and comments are passed over however long: only what
        // a conversion keeps is bounded.
        Export{"HeaderAndCommentsOverTheBound",
               "xyz",
               std::string(SequentialReader::maxFieldText + 10, 'H') + "\r\n#" +
                   std::string(SequentialReader::maxFieldText + 10, 'c') + "\n  #" +
                   std::string(SequentialReader::maxFieldText + 10, ' ') + "x\r1,2,3\r\n",
               {"|1|2|3|"},
               1},
        Export{"CommentsBlankLinesAndNoElevation",
               "-xyd",
               "\xEF\xBB\xBF# exported 2026-12-08\r\n\r\n  \t\r\nx,1,2\r\n  # end\r\n",
               {"|1|2|0|"}},
        Export{"PaddedFieldsExtraColumnsAndAnEndingDelimiter",
               "pxyzd",
               "  A , 1.5 ,\t+2 , 3e1 , TREE \r\n5,6,7,8,,extra\r\n9,8,7,6,\r\n",
               {"A|1.5|+2|3e1|TREE", "5|6|7|8|", "9|8|7|6|"},
               0,
               false,
               Delimiter::Comma},
        Export{"SemicolonsAQuoteInsideACode", "pxyzd", "1;2;3;4;a\"b\r\n", {"1|2|3|4|a\"b"}},
        // Each line end, a record without its code, a comment that reads
        // like a record, a tab before the line end and a last line without
        // its line end.
        Export{"LineEndsAndCommentsAmongPlainRecords",
               "pxyzd",
               "1,2,3,4,A\r2,2,3,4,B\n3,2,3,4\r\n# c,1,2,3,4\r\n4,2,3,4,E\t\r\n5,5,6,7,D",
               {"1|2|3|4|A", "2|2|3|4|B", "3|2|3|4|", "4|2|3|4|E", "5|5|6|7|D"}},
        Export{"SkippedLinesCountBlankOnes", "nez", "\r\n\r\n1 2 3\r\n", {"|2|1|3|"}, 1},
        // Coordinates in their print form right up to a delimiter, a line
        // end or a last delimiter, with room after them for a word scan.
        Export{"PrintFormCoordinatesUpToTheirEnds",
               "pyxz",
               "1,9123456.789,512345.678,-12.50\r\n2,9123457,512346,13.25,\r\n"
               "3,9123457.1,512346.2,7\n4,9123457.1,512346.2,7\r\n",
               {"1|512345.678|9123456.789|-12.50|", "2|512346|9123457|13.25|",
                "3|512346.2|9123457.1|7|", "4|512346.2|9123457.1|7|"}}),
    [](const auto& info) { return std::string(info.param.name); });

struct BadRecord {
    const char* name;
    std::string bytes;
    ErrorCode error;
    std::uint64_t line;
};

void PrintTo(const BadRecord& b, std::ostream* os)
{
    *os << b.name;
}

class BadRecordLine : public ::testing::TestWithParam<BadRecord> {};

TEST_P(BadRecordLine, IsNamedInTheError)
{
    ConversionOptions options;
    options.columns = parseColumns("pxyzd").value();
    for (const std::size_t size : bufferSizes) {
        try {
            readRecords(options, GetParam().bytes, size);
            ADD_FAILURE() << "no error " << size;
        } catch (const Error& error) {
            EXPECT_EQ(error.code(), GetParam().error) << size;
            EXPECT_EQ(error.line(), GetParam().line) << size;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Faults, BadRecordLine,
    ::testing::Values(
        BadRecord{"LetterInANumber", "1,2,3,4,a\r\n2,2,3,x4,b\r\n", ErrorCode::TypeMismatch, 2},
        BadRecord{"MissingNorthing", "# c\r\n\r\n1,2\r\n", ErrorCode::TypeMismatch, 3},
        BadRecord{"DecimalCommaUnasked", "1;2,5;3;4;\r\n", ErrorCode::TypeMismatch, 1},
        BadRecord{"BeyondADouble", "1,2,3,1e999,d\r\n", ErrorCode::Overflow, 1},
        BadRecord{"WordAfterANumber", "1,2,3,4,d\r\n1,2 x,3,4,d\r\n", ErrorCode::TypeMismatch, 2},
        BadRecord{"AfterACommentAndABlankLine", "1,2,3,4,d\r\n#,1,2,3\r\n\r\n1,2,3,x\r\n",
                  ErrorCode::TypeMismatch, 4}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CodeLayer, IsTheFirstWordWithRefusedCharactersReplaced)
{
    detail::CodeLayers layers;
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"TREE OAK 30", "TREE"},
        {"  KERB\tL", "KERB"},
        {"a<b>c/d\\e\"f:g;h?i*j|k=l`m", "a_b_c_d_e_f_g_h_i_j_k_l_m"},
        {"x\x01y", "x_y"},
        {"", ""},
        {" \t", ""},
        {std::string(300, 'L'), std::string(255, 'L')},
    };
    for (const auto& [code, layer] : cases)
        EXPECT_EQ(layers.layerOf(code), layer) << code;
}

TEST(LayerTable, ListsEachLayerOnceWhateverItsCaseAndRefusesTooMany)
{
    detail::LayerTable table;
    for (const char* name : {"TREE", "KERB", "tree", "Kerb", "0"})
        table.add(name);
    EXPECT_EQ(table.names(), (std::vector<std::string>{"0", "TREE", "KERB"}));
    for (std::size_t i = table.names().size(); i < detail::LayerTable::maxLayers; ++i)
        table.add(std::to_string(i));
    try {
        table.add("one more");
        ADD_FAILURE() << "no error";
    } catch (const Error& error) {
        EXPECT_EQ(error.code(), ErrorCode::TooManyLayers);
    }
}

}  // namespace
}  // namespace konversi::detail
