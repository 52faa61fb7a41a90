// A write that fails (here: past a file size limit, which fails a write as a
// full disk does, and whose SIGXFSZ must not end the program) is error 75,
// never success, whether it fails when the last bytes go out at close or on
// the thread writing behind, and also when the input then turns out cut
// short. The conversion changes no file.

#include "cli_run.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace konversi {
namespace {

// Room for the one line of stderr, not for any output below.
constexpr unsigned long long diskSize = 1024;

std::string triples(int count)
{
    std::string text;
    for (int i = 0; i < count; ++i)
        text += std::to_string(i) + ".5,2," + std::to_string(-i) + "\r\n";
    return text;
}

std::string pointDxf(int points)
{
    std::string dxf;
    for (int i = 0; i < points; ++i)
        dxf += "0\r\nPOINT\r\n10\r\n" + std::to_string(i) + "\r\n20\r\n2\r\n30\r\n3\r\n";
    return dxf;
}

std::string polylineDxf(int vertices)
{
    std::string dxf = "0\r\nPOLYLINE\r\n";
    for (int i = 0; i < vertices; ++i)
        dxf += "0\r\nVERTEX\r\n10\r\n" + std::to_string(i) + "\r\n20\r\n2\r\n30\r\n3\r\n";
    return dxf + "0\r\nSEQEND\r\n";
}

struct ConversionToFullDisk {
    const char* name;
    const char* mode;
    const char* input;
    std::string bytes;
    const char* output;  // holds an earlier result that must stay
};

void PrintTo(const ConversionToFullDisk& conversion, std::ostream* os)
{
    *os << conversion.name;
}

class FullDisk : public ::testing::TestWithParam<ConversionToFullDisk> {};

TEST_P(FullDisk, IsError75AndChangesNoFile)
{
    const ConversionToFullDisk& conversion = GetParam();
    const test::TempDir dir;
    const std::string input = dir.file(conversion.input);
    test::writeFile(input, conversion.bytes);
    test::writeFile(dir.file(conversion.output), "earlier result");

    test::CliRunOptions options;
    options.fileSizeLimit = diskSize;
    const test::CliRun run = test::runCli({conversion.mode, input}, options);
    ASSERT_TRUE(run.exited) << describe(run);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "konversi-cli: " + input + ": error 75: Path/File access error\n");
    EXPECT_EQ(test::readFile(dir.file(conversion.output)), "earlier result");
    EXPECT_EQ(test::namesIn(dir.path()),
              (std::set<std::string>{conversion.input, conversion.output}));
}

// 8,000 triples print 1.5 MiB: the first buffer goes to the thread behind.
INSTANTIATE_TEST_SUITE_P(
    Conversions, FullDisk,
    ::testing::Values(
        ConversionToFullDisk{"FailingAtClose", "txt2point", "peta.txt", triples(20), "peta.dxf"},
        ConversionToFullDisk{"FailingBehind", "txt2point", "peta.txt", triples(8000), "peta.dxf"},
        ConversionToFullDisk{"FailingBeforeACutTriple", "txt2point", "peta.txt",
                             triples(8000) + "4,5", "peta.dxf"},
        ConversionToFullDisk{"Polyline", "txt2poly", "peta.txt", triples(40), "peta.dxf"},
        ConversionToFullDisk{"Points", "point2txt", "peta.dxf", pointDxf(200), "peta.txt"},
        ConversionToFullDisk{"Polylines", "poly2txt", "peta.dxf", polylineDxf(200), "peta.001"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace konversi
