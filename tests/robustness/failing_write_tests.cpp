// A write that fails (here: /dev/full, a disk that is always full) is error
// 75, never success, whether it fails while printing or only when the last
// bytes go out at close.

#include "cli_run.h"
#include "konversi/error.h"
#include "sequential_writer.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

namespace konversi {
namespace {

namespace fs = std::filesystem;

constexpr const char* fullDisk = "/dev/full";

struct Printing {
    const char* name;
    SequentialWriter::OpenMode mode;
    std::size_t lines;  // of 100 bytes each
};

class WriterOnFullDisk : public ::testing::TestWithParam<Printing> {
protected:
    void SetUp() override
    {
        if (!fs::exists(fullDisk)) GTEST_SKIP() << fullDisk << " is missing";
    }
};

TEST_P(WriterOnFullDisk, RaisesError75)
{
    const Printing& printing = GetParam();
    const std::string line(98, 'x');
    try {
        SequentialWriter writer(fullDisk, printing.mode, std::nullopt);
        for (std::size_t i = 0; i < printing.lines; ++i)
            writer.printLine(line);
        writer.pair(0, "EOF");
        writer.close();
        ADD_FAILURE() << "a write to a full disk succeeded";
    } catch (const Error& error) {
        EXPECT_EQ(error.code(), ErrorCode::PathFileAccess);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Writes, WriterOnFullDisk,
    ::testing::Values(Printing{"FailingAtClose", SequentialWriter::OpenMode::Write, 1},
                      Printing{"FailingWhilePrinting", SequentialWriter::OpenMode::Write, 100000},
                      Printing{"AppendingFailingAtClose", SequentialWriter::OpenMode::Append, 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WriterOnFullDisk, AbandonedWriterDoesNotThrow)
{
    if (!fs::exists(fullDisk)) GTEST_SKIP() << fullDisk << " is missing";
    // An error already travelling must not meet a second one from the
    // writer's clean-up, which would end the program.
    // Also when full buffers have been going out, and failing, on the
    // writer's own thread.
    for (const std::size_t lines : {1, 100000}) {
        EXPECT_NO_THROW({
            SequentialWriter writer(fullDisk, SequentialWriter::OpenMode::Write, std::nullopt);
            try {
                for (std::size_t i = 0; i < lines; ++i)
                    writer.printLine("lost");
            } catch (const Error&) {
                // The failure found while printing; the writer is abandoned.
            }
        });
    }
}

struct ConversionToFullDisk {
    const char* mode;
    const char* input;
    std::string bytes;
    const char* output;  // the name that links to the full disk
};

class CommandLineOnFullDisk : public ::testing::TestWithParam<ConversionToFullDisk> {};

TEST_P(CommandLineOnFullDisk, ExitsOneAndNamesError75)
{
    if (!fs::exists(fullDisk)) GTEST_SKIP() << fullDisk << " is missing";
    const ConversionToFullDisk& conversion = GetParam();
    const test::TempDir dir;
    const std::string input = dir.file(conversion.input);
    test::writeFile(input, conversion.bytes);
    fs::create_symlink(fullDisk, dir.path() / conversion.output);

    const test::CliRun run = test::runCli({conversion.mode, input});
    ASSERT_TRUE(run.exited) << describe(run);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "konversi-cli: " + input + ": error 75: Path/File access error\n");
    EXPECT_EQ(test::readFile(input), conversion.bytes);
}

const std::string dxf =
    "0\r\nPOINT\r\n10\r\n1\r\n20\r\n2\r\n30\r\n3\r\n"
    "0\r\nPOLYLINE\r\n0\r\nVERTEX\r\n10\r\n1\r\n20\r\n2\r\n30\r\n3\r\n0\r\nSEQEND\r\n";

INSTANTIATE_TEST_SUITE_P(
    Modes, CommandLineOnFullDisk,
    ::testing::Values(ConversionToFullDisk{"txt2point", "peta.txt", "1,2,3\r\n", "peta.dxf"},
                      ConversionToFullDisk{"txt2poly", "peta.txt", "1,2,3\r\n", "peta.dxf"},
                      ConversionToFullDisk{"point2txt", "peta.dxf", dxf, "peta.txt"},
                      ConversionToFullDisk{"poly2txt", "peta.dxf", dxf, "peta.001"}),
    [](const auto& info) { return std::string(info.param.mode); });

}  // namespace
}  // namespace konversi
