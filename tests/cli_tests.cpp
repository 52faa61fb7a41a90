#include "cli_run.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace konversi {
namespace {

using test::CliRun;
using test::readFile;
using test::TempDir;
using test::writeFile;

class CommandLine : public ::testing::Test {
protected:
    // Runs konversi-cli in the test's folder with the given arguments; its
    // standard output goes to `stdoutPath`, or is captured when that is empty.
    CliRun cli(const std::vector<std::string>& args, const std::string& stdoutPath = {})
    {
        test::CliRunOptions options;
        options.workingFolder = dir_.path().string();
        options.stdoutPath = stdoutPath;
        return test::runCli(args, options);
    }

    TempDir dir_;
};

TEST_F(CommandLine, ConvertsSilentlyBesideTheInput)
{
    std::filesystem::create_directory(dir_.path() / "survey");
    writeFile(dir_.file("survey/peta.txt"), "100.5,-20,3\r\n");
    const CliRun run = cli({"txt2point", "survey/peta.txt"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(readFile(dir_.file("survey/peta.dxf")), test::readTestData("txt2point/example.dxf"));
}

// Names in UTF-8 whatever the system's code page, relative or absolute as the
// system spells them (on Windows: a drive letter and backslashes), and the
// messages naming them in the same bytes.
TEST_F(CommandLine, NonAsciiNamesRelativeOrAbsolute)
{
    std::filesystem::create_directory(dir_.path() / u8"ölçü");
    const char separator = static_cast<char>(std::filesystem::path::preferred_separator);
    const std::string absolute = dir_.file("ölçü") + separator;
    for (const std::string& folder : {std::string("ölçü/"), absolute}) {
        writeFile(dir_.file("ölçü/jl é.txt"), "100.5,-20,3\r\n");
        const CliRun run = cli({"txt2point", folder + "jl é.txt", folder + "tiada é.txt"});
        EXPECT_EQ(run.status, 1) << folder;
        EXPECT_EQ(run.err, "konversi-cli: " + folder + "tiada é.txt: error 53: File not found\n");
        EXPECT_EQ(readFile(dir_.file("ölçü/jl é.dxf")),
                  test::readTestData("txt2point/example.dxf"));
        std::filesystem::remove(dir_.path() / u8"ölçü" / u8"jl é.dxf");
    }
}

TEST_F(CommandLine, ReportsEachFailureAndGoesOn)
{
    writeFile(dir_.file("a.txt"), "1,2,3");
    writeFile(dir_.file("c.txt"), "1,2");
    const CliRun run = cli({"txt2point", "missing dir/b.txt", "a.txt", "c.txt"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err,
              "konversi-cli: missing dir/b.txt: error 76: Path not found\n"
              "konversi-cli: c.txt: error 62: Input past end of file\n");
    EXPECT_TRUE(std::filesystem::exists(dir_.file("a.dxf")));
}

TEST_F(CommandLine, EveryModeIsAccepted)
{
    writeFile(dir_.file("peta.txt"), "1,2,3");
    EXPECT_EQ(cli({"txt2poly", "peta.txt"}).status, 0);
    EXPECT_EQ(cli({"point2txt", "peta.dxf"}).status, 0);
    EXPECT_EQ(cli({"poly2txt", "peta.dxf"}).status, 0);
    EXPECT_EQ(readFile(dir_.file("peta.001")), " 1   2   3 \r\n");
}

TEST_F(CommandLine, ErrorAtALineNamesIt)
{
    writeFile(dir_.file("peta.dxf"), "0\nPOINT\n10\nx\n");
    const CliRun run = cli({"point2txt", "--strict", "peta.dxf"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "konversi-cli: peta.dxf: error 13: Type mismatch (line 4)\n");
}

// The marker scan knows no layers and writes one layout: what only the
// group codes can serve is refused without --strict, a delimiter without
// the columns it separates.
TEST_F(CommandLine, DxfOptionsWithoutWhatTheyNeedAreUsageErrors)
{
    writeFile(dir_.file("peta.dxf"), "");
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"point2txt", "--layer", "A", "peta.dxf"},
             {"poly2txt", "--close", "peta.dxf"},
             {"point2txt", "--columns", "pxyz", "peta.dxf"},
             {"poly2txt", "--strict", "--delimiter", "tab", "peta.dxf"},
             {"point2txt", "--strict", "--close", "peta.dxf"}}) {
        const CliRun run = cli(args);
        EXPECT_EQ(run.status, 2) << args[1];
        EXPECT_NE(run.err.find("Usage:"), std::string::npos) << args[1];
    }
    EXPECT_FALSE(std::filesystem::exists(dir_.file("peta.txt")));
}

TEST_F(CommandLine, UsageErrors)
{
    const CliRun help = cli({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("Usage: konversi-cli MODE [OPTION...] INPUT..."), std::string::npos);
    EXPECT_NE(help.out.find("man konversi-cli"), std::string::npos);
    EXPECT_EQ(help.err, "");
    const CliRun version = cli({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "konversi-cli " KONVERSI_VERSION "\n");
    EXPECT_EQ(version.err, "");
    for (const auto& args : std::vector<std::vector<std::string>>{
             {}, {"txt2point"}, {"toDxf", "a.txt"}, {"--help", "x"}, {"--version", "x"}}) {
        const CliRun run = cli(args);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err.find("Usage:"), std::string::npos);
    }
}

// Options that would do nothing, or contradict each other, are refused
// before any input is read, each with the line that says why.
TEST_F(CommandLine, SurveyOptionsThatCannotActAreUsageErrors)
{
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"point2txt", "--skip", "1"}, "option '--skip' does not go with point2txt"},
        {{"txt2poly", "--labels", "z"}, "option '--labels' does not go with txt2poly"},
        {{"txt2point", "--columns", "xyzz"}, "option '--columns' cannot take 'xyzz'"},
        {{"txt2point", "--text-height", "0"}, "option '--text-height' cannot take '0'"},
        {{"txt2point", "--decimals", "16"}, "option '--decimals' cannot take '16'"},
        {{"txt2point", "--skip", "1"}, "--delimiter, --skip and --decimal-comma need --columns"},
        {{"txt2point", "--columns", "xyz", "--decimal-comma", "--delimiter", "comma"},
         "--decimal-comma cannot go with --delimiter comma"},
        {{"txt2point", "--columns", "xyzd", "--labels", "p"},
         "--labels p needs a p column in --columns"},
        {{"txt2point", "--columns", "pxyz", "--labels", "zd"},
         "--labels d needs a d column in --columns"},
        {{"txt2point", "--labels", "p", "--columns", "pxy", "--decimals", "2"},
         "--decimals needs the z label"},
        {{"txt2point", "--layer-by-code"},
         "--layer-by-code and --split-by-code need a d column in --columns"},
        {{"txt2poly", "--columns", "xyd", "--layer-by-code"},
         "--layer-by-code needs --split-by-code with txt2poly"},
    };
    writeFile(dir_.file("titik.csv"), "1,2,3\r\n");
    for (auto [args, message] : cases) {
        args.push_back("titik.csv");
        const CliRun run = cli(args);
        EXPECT_EQ(run.status, 2) << message;
        EXPECT_EQ(run.err.substr(0, run.err.find('\n')), "konversi-cli: " + message);
    }
    EXPECT_FALSE(std::filesystem::exists(dir_.file("titik.dxf")));
}

TEST_F(CommandLine, ARecordThatIsNoNumberNamesItsLineAndWritesNothing)
{
    std::string records = "PNT,N,E,Z,DESC\r\n";
    for (int point = 1; point <= 10; ++point)
        records += std::to_string(point) + ",9123456.7,512345.6,12.5,CP\r\n";
    records += "11,9123456.7,5123x5.6,12.5,CP\r\n";
    writeFile(dir_.file("titik.csv"), records);
    writeFile(dir_.file("titik.dxf"), "earlier drawing");
    for (const char* layout : {"minimal", "full"}) {
        const CliRun run =
            cli({"txt2point", "--columns", "pnezd", "--skip", "1", "--dxf", layout, "titik.csv"});
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err, "konversi-cli: titik.csv: error 13: Type mismatch (line 12)\n");
        EXPECT_EQ(readFile(dir_.file("titik.dxf")), "earlier drawing");
    }
}

TEST_F(CommandLine, HelpOrVersionThatCannotBeWrittenFails)
{
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "/dev/full is missing";
    for (const char* option : {"--help", "--version"}) {
        const CliRun run = cli({option}, "/dev/full");
        EXPECT_EQ(run.status, 1) << option;
        EXPECT_NE(run.err, "") << option;
    }
}

}  // namespace
}  // namespace konversi
