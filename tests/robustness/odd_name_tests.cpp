// Names with spaces, several dots, a leading dot, no dot, bytes that are not
// UTF-8, CR or LF, or so long that the output's name is beyond the file
// system's limit: each converts or fails with a clear error, and nothing is
// written outside the input's folder.

#include "cli_run.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <set>
#include <string>

namespace konversi {
namespace {

namespace fs = std::filesystem;
using test::namesIn;

const std::string coordinates = "1,2,3\r\n";
const std::string dxf =
    "0\r\nPOINT\r\n10\r\n1\r\n20\r\n2\r\n30\r\n3\r\n"
    "0\r\nPOLYLINE\r\n0\r\nVERTEX\r\n10\r\n1\r\n20\r\n2\r\n30\r\n3\r\n0\r\nSEQEND\r\n";

struct OddName {
    const char* label;
    const char* mode;
    std::string input;
    std::string output;  // the name written beside the input, or "" when none
    int error;           // the error reported, or 0
};

class OddNames : public ::testing::TestWithParam<OddName> {};

TEST_P(OddNames, ConvertBesideTheInputOrFailClearly)
{
    const OddName& odd = GetParam();
    const test::TempDir root;
    const fs::path folder = root.path() / "in";
    const fs::path work = root.path() / "work";
    fs::create_directories(folder);
    fs::create_directories(work);
    const std::string mode = odd.mode;
    const bool readsText = mode == "txt2point" || mode == "txt2poly";
    const std::string input = (folder / odd.input).string();
    test::writeFile(input, readsText ? coordinates : dxf);

    test::CliRunOptions options;
    options.workingFolder = work.string();
    const test::CliRun run = test::runCli({odd.mode, input}, options);
    ASSERT_TRUE(run.exited) << describe(run);
    if (odd.error == 0) {
        EXPECT_EQ(run.status, 0) << describe(run);
        EXPECT_EQ(namesIn(folder), (std::set<std::string>{odd.input, odd.output}));
        EXPECT_GT(fs::file_size(folder / odd.output), 0u);
    } else {
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err, "konversi-cli: " + input + ": error " + std::to_string(odd.error) +
                               ": Path/File access error\n");
        EXPECT_EQ(namesIn(folder), std::set<std::string>{odd.input});
    }
    EXPECT_EQ(namesIn(root.path()), (std::set<std::string>{"in", "work"}));
    EXPECT_TRUE(fs::is_empty(work));
}

// The longest name the file system takes, NAME_MAX bytes.
std::string longest(std::string_view extension)
{
    return std::string(NAME_MAX - extension.size(), 'a') + std::string(extension);
}

INSTANTIATE_TEST_SUITE_P(
    Names, OddNames,
    ::testing::Values(OddName{"Spaces", "txt2point", "peta baru .txt", "peta baru .dxf", 0},
                      OddName{"SeveralDots", "txt2poly", "peta.baru.txt", "peta.dxf", 0},
                      OddName{"LeadingDot", "txt2point", ".txt", ".dxf", 0},
                      OddName{"LeadingDotPolylines", "poly2txt", ".peta.dxf", ".001", 0},
                      OddName{"NoDot", "point2txt", "peta", "peta.txt", 0},
                      OddName{"TrailingDot", "txt2point", "peta.", "peta.dxf", 0},
                      OddName{"NotUtf8", "point2txt", "p\xe9ta\xff.dxf", "p\xe9ta\xff.txt", 0},
                      OddName{"CarriageReturn", "txt2poly", "pe\rta.txt", "pe\rta.dxf", 0},
                      OddName{"LineFeed", "poly2txt", "pe\nta.dxf", "pe\nta.001", 0},
                      OddName{"OutputNameJustFits", "poly2txt", longest(".dxf"), longest(".001"),
                              0},
                      OddName{"OutputNameTooLong", "txt2point", longest(""), "", 75},
                      OddName{"PolylineFileNameTooLong", "poly2txt", longest(".d"), "", 75},
                      OddName{"TextFileNameTooLong", "point2txt", longest(".x"), "", 75}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(OddNames, BareNameWritesInTheWorkingFolder)
{
    const test::TempDir dir;
    test::writeFile(dir.file("peta.txt"), coordinates);
    test::CliRunOptions options;
    options.workingFolder = dir.path().string();
    const test::CliRun run = test::runCli({"txt2point", "peta.txt"}, options);
    ASSERT_EQ(run.status, 0) << describe(run);
    EXPECT_EQ(namesIn(dir.path()), (std::set<std::string>{"peta.txt", "peta.dxf"}));
}

}  // namespace
}  // namespace konversi
