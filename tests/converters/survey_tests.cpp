// txt2point and txt2poly through konversi-cli's survey options: the exact
// bytes of labelled, layered and full drawings, and records that draw what
// the usual reading of the same file draws.

#include "cli_run.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <chrono>
#include <set>

#include <string>
#include <vector>

namespace konversi {
namespace {

using test::readFile;
using test::TempDir;
using test::writeFile;

// Runs konversi-cli with `args` and then `input` written in a fresh folder,
// and returns the DXF written beside it.
std::string drawingOf(std::vector<std::string> args, const std::string& input)
{
    const TempDir dir;
    writeFile(dir.file("titik.csv"), input);
    args.push_back(dir.file("titik.csv"));
    const test::CliRun run = test::runCli(args);
    EXPECT_EQ(run.status, 0) << describe(run);
    return readFile(dir.file("titik.dxf"));
}

struct SurveyGolden {
    const char* name;
    std::vector<std::string> args;
    const char* expected;  // under tests/data/survey
};

void PrintTo(const SurveyGolden& g, std::ostream* os)
{
    *os << g.name;
}

class SurveyDrawing : public ::testing::TestWithParam<SurveyGolden> {};

TEST_P(SurveyDrawing, WritesTheExpectedBytes)
{
    const SurveyGolden& g = GetParam();
    EXPECT_EQ(drawingOf(g.args, test::readTestData("survey/titik.csv")),
              test::readTestData(std::string("survey/") + g.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Options, SurveyDrawing,
    ::testing::Values(
        SurveyGolden{"StackedLabelsOnCodeLayers",
                     {"txt2point", "--columns", "pnezd", "--skip", "1", "--labels", "pzd",
                      "--layer-by-code", "--decimals", "2", "--text-height", "2.5"},
                     "titik-labels.dxf"},
        SurveyGolden{"FullLayout",
                     {"txt2point", "--columns", "pnezd", "--skip", "1", "--dxf", "full"},
                     "titik-full.dxf"},
        SurveyGolden{"PolylinesSplitByCodeInFullLayout",
                     {"txt2poly", "--columns", "pnezd", "--skip", "1", "--split-by-code",
                      "--layer-by-code", "--dxf", "full"},
                     "titik-split.dxf"}),
    [](const auto& info) { return std::string(info.param.name); });

struct SameDrawing {
    const char* mode;
    const char* columns;
    const char* records;
};

class RecordsInTheUsualLayout : public ::testing::TestWithParam<SameDrawing> {};

TEST_P(RecordsInTheUsualLayout, DrawWhatTheUsualReadingDraws)
{
    const std::string usual = "512345.678,9123456.700,-12.5\r\n1,2,3\n100.5,-20,3\r\n";
    const SameDrawing& c = GetParam();
    EXPECT_EQ(drawingOf({c.mode, "--columns", c.columns}, c.records), drawingOf({c.mode}, usual));
}

INSTANTIATE_TEST_SUITE_P(
    Modes, RecordsInTheUsualLayout,
    ::testing::Values(
        SameDrawing{"txt2point", "xyz", "512345.678,9123456.700,-12.5\r\n1,2,3\n100.5,-20,3\r\n"},
        SameDrawing{"txt2poly", "xyz", "512345.678;9123456.700;-12.5\r\n1;2;3\n100.5;-20;3\r\n"},
        SameDrawing{"txt2point", "yxz",
                    "9123456.700\t512345.678\t-12.5\r\n2\t1\t3\n-20\t100.5\t3\r\n"},
        SameDrawing{"txt2poly", "p-xyzd",
                    "1 x 512345.678 9123456.700 -12.5 A\r\n2 x 1 2 3 B\n3 x 100.5 -20 3 C\r\n"}));

// Edge records: the pairs a drawing must hold ("code|value|", line ends
// as |), or the error that refuses it with nothing written.
struct SurveyEdge {
    const char* name;
    std::vector<std::string> args;
    std::string input;
    std::vector<std::string> pairs;  // each found in the drawing, in order
    int error = 0;
    std::vector<std::string> absent = {};  // found nowhere in the drawing
};

void PrintTo(const SurveyEdge& e, std::ostream* os)
{
    *os << e.name;
}

std::string asPairs(std::string dxf)
{
    std::string out;
    for (char c : dxf) {
        if (c != '\r') out += c == '\n' ? '|' : c;
    }
    return out;
}

class SurveyEdges : public ::testing::TestWithParam<SurveyEdge> {};

TEST_P(SurveyEdges, DrawTheRightPairsOrFailWithNothingWritten)
{
    const SurveyEdge& e = GetParam();
    const TempDir dir;
    writeFile(dir.file("titik.csv"), e.input);
    std::vector<std::string> args = e.args;
    args.push_back(dir.file("titik.csv"));
    const test::CliRun run = test::runCli(args);
    if (e.error != 0) {
        EXPECT_NE(run.err.find("error " + std::to_string(e.error) + ":"), std::string::npos)
            << describe(run);
        EXPECT_EQ(test::namesIn(dir.path()), std::set<std::string>{"titik.csv"});
        return;
    }
    ASSERT_EQ(run.status, 0) << describe(run);
    const std::string drawing = asPairs(readFile(dir.file("titik.dxf")));
    std::size_t at = 0;
    for (const std::string& pairs : e.pairs) {
        const std::size_t found = drawing.find(pairs, at);
        ASSERT_NE(found, std::string::npos) << pairs << " not in (after " << at << ")\n" << drawing;
        at = found + pairs.size();
    }
    for (const std::string& pairs : e.absent)
        EXPECT_EQ(drawing.find(pairs), std::string::npos) << pairs << " in\n" << drawing;
}

INSTANTIATE_TEST_SUITE_P(
    Records, SurveyEdges,
    ::testing::Values(
        // 1.5 heights beyond a double put the second label at -infinity.
        SurveyEdge{"LabelPlacedBeyondADouble",
                   {"txt2point", "--columns", "pxyz", "--labels", "pz", "--text-height", "1.5e308"},
                   "1,0,0,0\r\n",
                   {},
                   6},
        SurveyEdge{"LabelRightOfAPointNearTheEndOfRange",
                   {"txt2point", "--columns", "pxyz", "--labels", "pz", "--text-height", "1e308"},
                   "1,1.7976931348623157e308,0,0\r\n",
                   {},
                   6},
        SurveyEdge{"FullLayoutCoordinateNoNumber",
                   {"txt2point", "--dxf", "full"},
                   "1,2,3\r\n\"abc\",2,3\r\n",
                   {},
                   13},
        SurveyEdge{"FullLayoutEmptyCoordinate", {"txt2poly", "--dxf", "full"}, "1,,3\r\n", {}, 13},
        SurveyEdge{"FullLayoutQuotedNumber",
                   {"txt2point", "--dxf", "full"},
                   "\"12.5\",2,3\r\n",
                   {"|POINT| 8 |TITIK| 10 |12.5| 20 | 2 |"}},
        SurveyEdge{"MinimalLayoutWritesTextAsItStands",
                   {"txt2point"},
                   "\"abc\",2,3\r\n",
                   {"|POINT| 8 |TITIK| 10 |abc|"}},
        SurveyEdge{"DecimalsOnAnElevationThatIsNoNumber",
                   {"txt2point", "--decimals", "2"},
                   "1,2,abc\r\n",
                   {"| 1 |abc| 7 |STANDARD|"}},
        SurveyEdge{"DecimalsOnMinusZero",
                   {"txt2point", "--columns", "xyz", "--decimals", "2"},
                   "0,0,-0\r\n0,0,-0.0001\r\n0,0,-0.001\r\n0,0,-0.005\r\n",
                   {"| 1 | 0.00 |", "| 1 | 0.00 |", "| 1 | 0.00 |", "| 1 |-0.01 |"}},
        SurveyEdge{"EmptyQuotedNameAndCodeGetNoLabel",
                   {"txt2point", "--columns", "pxyzd", "--labels", "pzd"},
                   "\"\",1,2,3,\"\"\r\n",
                   {"| 8 |TEKS|"},
                   0,
                   {"NOMOR", "KODE"}},
        SurveyEdge{"FullLayoutExtentsOfNegativePoints",
                   {"txt2point", "--columns", "xyz", "--dxf", "full"},
                   "-1,-2,-5\r\n-3,-4,-6\r\n",
                   {"$EXTMIN| 10 |-3 | 20 |-4 | 30 |-6 |", "$EXTMAX| 10 |-1 | 20 |-2 | 30 |-5 |"}},
        // A label whose entity outgrows the write buffer goes out item by item.
        SurveyEdge{"LabelLongerThanTheWriteBuffer",
                   {"txt2point", "--columns", "xyzd", "--labels", "d"},
                   "1,2,3," + std::string(1'048'500, 'c') + "\r\n",
                   {"|KODE| 10 | 1 | 20 | 2 | 30 | 0 | 40 | 1 | 1 |" + std::string(1'048'500, 'c') +
                    "| 7 |STANDARD| 0 |ENDSEC|"}},
        // The sticky digit past the 800th decides the tie.
        SurveyEdge{"DecimalsOfAHalfwaySpellingWithAStickyDigit",
                   {"txt2point", "--columns", "xyz", "--decimals", "15"},
                   "0,0,10.00000000000000088817841970012523233890533447265625" +
                       std::string(800, '0') + "10\r\n",
                   {"| 1 | 10.000000000000002 |"}}),
    [](const auto& info) { return std::string(info.param.name); });

// A full drawing reads its input twice: a FIFO is refused at once rather
// than read again after its writer has gone.
TEST(SurveyFullLayout, InputThatCanBeReadOnlyOnceIsError54)
{
    const TempDir dir;
    ASSERT_TRUE(test::makeFifo(dir.file("titik.csv")));
    test::CliRunOptions options;
    options.timeout = std::chrono::seconds(10);
    const test::CliRun run =
        test::runCli({"txt2point", "--dxf", "full", dir.file("titik.csv")}, options);
    ASSERT_TRUE(run.exited) << describe(run);
    EXPECT_EQ(run.err, "konversi-cli: " + dir.file("titik.csv") + ": error 54: Bad file mode\n");
    EXPECT_EQ(test::namesIn(dir.path()), std::set<std::string>{"titik.csv"});
}

}  // namespace
}  // namespace konversi
