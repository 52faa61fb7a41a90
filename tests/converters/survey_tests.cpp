// txt2point and txt2poly through konversi-cli's survey options: the exact
// bytes of labelled, layered and full drawings, and records that draw what
// the usual reading of the same file draws.

#include "cli_run.h"
#include "test_support.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace konversi
