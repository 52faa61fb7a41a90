// Hostile files of 300 MB: the DXF readers must not hold a long line or
// field, and the text readers, which must keep a field to write it back, must
// end with a result or a clear error however large it is.

#include "cli_run.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

namespace konversi {
namespace {

using test::CliRunOptions;
using test::runCli;
using test::TempDir;

constexpr std::size_t hostileSize = 300u << 20;
constexpr long dxfReaderPeakKiB = 16 << 10;

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

// The size of the output when the first field of "x,1,2" is `fieldSize` bytes long.
std::uintmax_t outputSizeFor(const std::string& mode, std::size_t fieldSize, const TempDir& dir)
{
    // The same name, as txt2poly writes it into the DXF as the layer.
    std::filesystem::create_directory(dir.path() / "small");
    const std::string input = dir.file("small/peta.txt");
    test::writeFile(input, "x,1,2\r\n");
    const test::CliRun run = runCli({mode, input});
    EXPECT_EQ(run.status, 0) << describe(run);
    // txt2point writes x twice, in its POINT and in its TEXT.
    const std::size_t copies = mode == "txt2point" ? 2 : 1;
    return std::filesystem::file_size(dir.file("small/peta.dxf")) + copies * (fieldSize - 1);
}

TEST(GiantField, ConvertsWhenMemoryAllows)
{
    const TempDir dir;
    const std::string input = dir.file("peta.txt");
    writeLargeFile(input, "", 'x', hostileSize, ",1,2\r\n");
    CliRunOptions options;
    options.timeout = std::chrono::seconds(180);
    for (const std::string mode : {"txt2point", "txt2poly"}) {
        SCOPED_TRACE(mode);
        const test::CliRun run = runCli({mode, input}, options);
        ASSERT_TRUE(run.exited) << describe(run);
        EXPECT_EQ(run.status, 0) << describe(run);
        EXPECT_EQ(std::filesystem::file_size(dir.file("peta.dxf")),
                  outputSizeFor(mode, hostileSize, dir));
        std::filesystem::remove(dir.file("peta.dxf"));
    }
}

TEST(GiantField, FailsWithAClearErrorWhenMemoryRunsOut)
{
    if (test::underAddressSanitizer()) GTEST_SKIP() << "address-space limits break the sanitizer";
    const TempDir dir;
    const std::string input = dir.file("peta.txt");
    writeLargeFile(input, "", 'x', hostileSize, ",1,2\r\n");
    CliRunOptions options;
    options.addressSpaceLimit = 160ull << 20;
    for (const std::string mode : {"txt2point", "txt2poly"}) {
        SCOPED_TRACE(mode);
        const test::CliRun run = runCli({mode, input}, options);
        ASSERT_TRUE(run.exited) << describe(run);
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err, "konversi-cli: " + input + ": error 7: Out of memory\n");
        EXPECT_FALSE(std::filesystem::exists(dir.file("peta.dxf")));
    }
}

}  // namespace
}  // namespace konversi
