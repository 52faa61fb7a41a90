// Hostile files of 300 MB: the DXF readers must not hold a long line or
// field, and the text readers, which must keep a field to write it back,
// hold at most a mebibyte of one.

#include "cli_run.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace konversi {
namespace {

using test::CliRunOptions;
using test::runCli;
using test::TempDir;

constexpr std::size_t hostileSize = 300u << 20;
constexpr long dxfReaderPeakKiB = 16 << 10;
constexpr long textReaderPeakKiB = 8 << 10;

// `prefix`, then `fill` up to `size` bytes, then `suffix`; written through
// a small buffer so that neither the test nor the file system holds it whole
// in any other form.
void writeLargeFile(const std::string& path, const std::string& prefix, char fill, std::size_t size,
                    const std::string& suffix = "")
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    const std::string chunk(1 << 20, fill);
    std::size_t left = size - prefix.size();
    bool written = ::write(fd, prefix.data(), prefix.size()) == static_cast<ssize_t>(prefix.size());
    while (written && left > 0) {
        const std::size_t count = std::min(left, chunk.size());
        written = ::write(fd, chunk.data(), count) == static_cast<ssize_t>(count);
        left -= count;
    }
    written =
        written && ::write(fd, suffix.data(), suffix.size()) == static_cast<ssize_t>(suffix.size());
    ::close(fd);
    ASSERT_TRUE(written) << "cannot write " << path;
}

struct HostileDxf {
    const char* name;
    std::string prefix;
    char fill;
    const char* error;  // what both converters report, "" when they succeed
};

class DxfReaderMemory : public ::testing::TestWithParam<HostileDxf> {};

TEST_P(DxfReaderMemory, StaysBoundedOnAFileWithoutLineEndOrComma)
{
    const HostileDxf& hostile = GetParam();
    const TempDir dir;
    const std::string input = dir.file("peta.dxf");
    writeLargeFile(input, hostile.prefix, hostile.fill, hostileSize);
    CliRunOptions options;
    options.timeout = std::chrono::seconds(120);
    for (const char* mode : {"point2txt", "poly2txt"}) {
        SCOPED_TRACE(mode);
        const test::CliRun run = runCli({mode, input}, options);
        ASSERT_TRUE(run.exited) << describe(run);
        if (*hostile.error == '\0') {
            EXPECT_EQ(run.status, 0) << describe(run);
        } else {
            EXPECT_EQ(run.status, 1) << describe(run);
            EXPECT_NE(run.err.find(hostile.error), std::string::npos) << describe(run);
        }
        // The sanitizers' runtime holds memory of its own.
        if (!test::underAddressSanitizer()) {
            EXPECT_LE(run.maxRssKiB, dxfReaderPeakKiB) << describe(run);
        }
    }
    std::filesystem::remove(input);
}

INSTANTIATE_TEST_SUITE_P(Hostile, DxfReaderMemory,
                         ::testing::Values(HostileDxf{"Letters", "", 'x', ""},
                                           HostileDxf{"Digits", "", '7', ""},
                                           HostileDxf{"OpenQuote", "\"", 'x', ""},
                                           HostileDxf{"CoordinateAfterMarkers",
                                                      "POINT\r\nPOLYLINE\r\nVERTEX\r\n10\r\n", '7',
                                                      "error 62: Input past end of file"}),
                         [](const auto& info) { return std::string(info.param.name); });

struct HostileStrictDxf {
    const char* name;
    const char* mode;
    std::string prefix;
    char fill;
    std::string suffix;
    const char* error;  // "" when it succeeds
};

class StrictDxfReaderMemory : public ::testing::TestWithParam<HostileStrictDxf> {};

// Reading by group codes holds a value only when it needs it, and then at
// most 1 MiB of it: the whole conversion stays under 8 MiB.
TEST_P(StrictDxfReaderMemory, StaysUnder8MiBOnAGiantValue)
{
    const HostileStrictDxf& hostile = GetParam();
    const TempDir dir;
    const std::string input = dir.file("peta.dxf");
    writeLargeFile(input, hostile.prefix, hostile.fill, 64u << 20, hostile.suffix);
    const test::CliRun run = runCli({hostile.mode, "--strict", input});
    ASSERT_TRUE(run.exited) << describe(run);
    EXPECT_EQ(run.status, *hostile.error == '\0' ? 0 : 1) << describe(run);
    EXPECT_NE(run.err.find(hostile.error), std::string::npos) << describe(run);
    if (!test::underAddressSanitizer()) {
        EXPECT_LE(run.maxRssKiB, 8 << 10) << describe(run);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Hostile, StrictDxfReaderMemory,
    ::testing::Values(
        HostileStrictDxf{"ValuePassedOver", "point2txt", "0\nPOINT\n999\n", 'x', "\n0\nEOF\n", ""},
        HostileStrictDxf{"LayerName", "point2txt", "0\nPOINT\n8\n", 'x', "",
                         "error 14: Out of string space (line 4)"},
        HostileStrictDxf{"Coordinate", "poly2txt", "0\nLWPOLYLINE\n10\n", '7', "",
                         "error 14: Out of string space (line 4)"},
        HostileStrictDxf{"CodeLine", "poly2txt", "", '7', "", "error 13: Type mismatch (line 1)"}),
    [](const auto& info) { return std::string(info.param.name); });

// A field held to be written back is bounded: a longer one, a quoted label
// of 300 MB or the endless bytes of /dev/zero, is refused at once without
// being held.
TEST(GiantField, IsRefusedWithoutBeingHeld)
{
    const TempDir dir;
    const std::string label = dir.file("label.txt");
    writeLargeFile(label, "\"", 'x', hostileSize, "\",1,2\r\n");
    const std::string endless = dir.file("nol.txt");
    std::filesystem::create_symlink("/dev/zero", endless);
    for (const std::string& input : {label, endless}) {
        for (const std::string mode : {"txt2point", "txt2poly"}) {
            SCOPED_TRACE(mode + " " + input);
            const test::CliRun run = runCli({mode, input});
            ASSERT_TRUE(run.exited) << describe(run);
            EXPECT_EQ(run.status, 1);
            EXPECT_EQ(run.err, "konversi-cli: " + input + ": error 14: Out of string space\n");
            EXPECT_FALSE(std::filesystem::exists(dir.file("label.dxf")));
            EXPECT_FALSE(std::filesystem::exists(dir.file("nol.dxf")));
            if (!test::underAddressSanitizer()) {
                EXPECT_LE(run.maxRssKiB, textReaderPeakKiB);
            }
        }
    }
}

// The full layout reads its input twice instead of holding it, and keeps
// only the layer table, which is capped: a survey with the most layers stays
// within 16 MiB, one more layer is refused.
TEST(SurveyLayers, StayBoundedAndAreCapped)
{
    constexpr long surveyPeakKiB = 16 << 10;
    constexpr int records = 300000;
    for (const int codes : {10000 - 1, 10000}) {  // and layer 0
        SCOPED_TRACE(codes);
        const TempDir dir;
        // Written line by line: a copy held here would count as the run's own memory.
        std::ofstream file(dir.file("titik.csv"), std::ios::binary);
        for (int i = 0; i < records; ++i)
            file << i << ",9123456.789,512345.678,12.5,CODE" << i % codes << " remark\r\n";
        file.close();
        const test::CliRun run =
            runCli({"txt2point", "--columns", "pnezd", "--labels", "pzd", "--layer-by-code",
                    "--dxf", "full", dir.file("titik.csv")});
        ASSERT_TRUE(run.exited) << describe(run);
        if (codes < 10000) {
            EXPECT_EQ(run.status, 0) << describe(run);
        } else {
            EXPECT_EQ(run.err,
                      "konversi-cli: " + dir.file("titik.csv") + ": error 9: Too many layers\n");
            EXPECT_FALSE(std::filesystem::exists(dir.file("titik.dxf")));
        }
        if (!test::underAddressSanitizer()) {
            EXPECT_LE(run.maxRssKiB, surveyPeakKiB) << describe(run);
        }
    }
}

}  // namespace
}  // namespace konversi
