// Every way a conversion can fail leaves its input exactly as it was: an
// output that resolves to the input, however it is reached, is refused before
// a byte of it is written, and a failure while reading changes nothing.

#include "konversi/converters.h"
#include "konversi/error.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

namespace konversi {
namespace {

namespace fs = std::filesystem;

const std::string pointDxf =
    " 0 \r\nSECTION\r\n 2 \r\nENTITIES\r\n 0 \r\nPOINT\r\n 8 \r\nTITIK\r\n 10 \r\n 1 \r\n"
    " 20 \r\n 2 \r\n 30 \r\n 3 \r\n 0 \r\nENDSEC\r\n 0 \r\nEOF\r\n";

std::string polylineDxf(int polylines)
{
    std::string dxf = " 0 \r\nSECTION\r\n 2 \r\nENTITIES\r\n";
    for (int i = 0; i < polylines; ++i) {
        dxf +=
            " 0 \r\nPOLYLINE\r\n 8 \r\nA\r\n 66 \r\n1\r\n 0 \r\nVERTEX\r\n 8 \r\nA\r\n"
            " 10 \r\n 1 \r\n 20 \r\n 2 \r\n 30 \r\n 3 \r\n 0 \r\nSEQEND\r\n";
    }
    return dxf + " 0 \r\nENDSEC\r\n 0 \r\nEOF\r\n";
}

struct FailingCase {
    const char* name;
    ConversionMode mode;
    const char* input;  // file name in the test's folder
    std::string bytes;
    // Makes the output name reach the input, or otherwise prepares the
    // failure, in `dir`; may change the job's names.
    std::function<void(const fs::path& dir, ConversionJob& job)> arrange;
    ErrorCode expected;
};

void nothing(const fs::path&, ConversionJob&) {}

class InputUnchanged : public ::testing::TestWithParam<FailingCase> {};

TEST_P(InputUnchanged, OnEveryFailure)
{
    const FailingCase& failing = GetParam();
    const test::TempDir dir;
    const std::string input = dir.file(failing.input);
    test::writeFile(input, failing.bytes);
    ConversionJob job;
    job.fill(input, failing.input, failing.mode);
    failing.arrange(dir.path(), job);
    const auto before = fs::last_write_time(input);

    try {
        convert(job, failing.mode);
        ADD_FAILURE() << "the conversion succeeded";
    } catch (const Error& error) {
        EXPECT_EQ(error.code(), failing.expected) << error.what();
    }
    EXPECT_EQ(test::readFile(input), failing.bytes);
    EXPECT_EQ(fs::last_write_time(input), before);
}

// The output's name spelled through a sibling folder and "..", relative to
// the working folder.
void throughDotDot(const fs::path& dir, ConversionJob& job)
{
    fs::create_directory(dir / "sub");
    const fs::path relative = fs::relative(dir, fs::current_path());
    job.outPath = (relative / "sub" / ".." / fs::path(job.inPath).filename()).string();
}

void symlinkTo(const fs::path& dir, const char* link, const char* target)
{
    fs::create_symlink(target, dir / link);
}

INSTANTIATE_TEST_SUITE_P(
    Failures, InputUnchanged,
    ::testing::Values(
        FailingCase{"SameName", ConversionMode::TextToPoint, "peta.dxf", "1,2,3\r\n", nothing,
                    ErrorCode::FileAlreadyOpen},
        FailingCase{"RelativePathWithDotDot", ConversionMode::PointToText, "titik.txt", pointDxf,
                    throughDotDot, ErrorCode::FileAlreadyOpen},
        FailingCase{
            "SymbolicLink", ConversionMode::TextToPolyline, "jalan.txt", "1,2,3\r\n",
            [](const fs::path& dir, ConversionJob&) { symlinkTo(dir, "jalan.dxf", "jalan.txt"); },
            ErrorCode::FileAlreadyOpen},
        FailingCase{"SymbolicLinkToAFolderHoldingTheInput", ConversionMode::TextToPoint, "peta.txt",
                    "1,2,3\r\n",
                    [](const fs::path& dir, ConversionJob& job) {
                        fs::create_directory_symlink(dir, dir / "here");
                        job.outPath = (dir / "here" / "peta.txt").string();
                    },
                    ErrorCode::FileAlreadyOpen},
        FailingCase{"HardLink", ConversionMode::PointToText, "titik.dxf", pointDxf,
                    [](const fs::path& dir, ConversionJob&) {
                        fs::create_hard_link(dir / "titik.dxf", dir / "titik.txt");
                    },
                    ErrorCode::FileAlreadyOpen},
        FailingCase{"NumberedPolylineFileIsTheInput", ConversionMode::PolylineToText, "peta.001",
                    polylineDxf(1), nothing, ErrorCode::FileAlreadyOpen},
        FailingCase{
            "LaterPolylineFileLinksToTheInput", ConversionMode::PolylineToText, "peta.dxf",
            polylineDxf(3),
            [](const fs::path& dir, ConversionJob&) { symlinkTo(dir, "peta.003", "peta.dxf"); },
            ErrorCode::FileAlreadyOpen},
        FailingCase{"SharedPolylineFileIsTheInput", ConversionMode::PolylineToText, "peta.nnn",
                    polylineDxf(1000), nothing, ErrorCode::FileAlreadyOpen},
        FailingCase{"IncompleteTriple", ConversionMode::TextToPoint, "peta.txt", "1,2,3\r\n4,5",
                    nothing, ErrorCode::InputPastEndOfFile},
        FailingCase{"PolylineWithoutSeqend", ConversionMode::PolylineToText, "peta.dxf",
                    " 0 \r\nPOLYLINE\r\n 0 \r\nVERTEX\r\n 10 \r\n 1 \r\n", nothing,
                    ErrorCode::InputPastEndOfFile},
        FailingCase{"CoordinateOverflows", ConversionMode::PointToText, "titik.dxf",
                    "POINT\r\n10\r\n1e999\r\n20\r\n2\r\n30\r\n3\r\n", nothing, ErrorCode::Overflow},
        FailingCase{
            "OutputIsAFolder", ConversionMode::TextToPolyline, "peta.txt", "1,2,3\r\n",
            [](const fs::path& dir, ConversionJob&) { fs::create_directory(dir / "peta.dxf"); },
            ErrorCode::PathFileAccess},
        FailingCase{"OutputFolderMissing", ConversionMode::TextToPoint, "peta.txt", "1,2,3\r\n",
                    [](const fs::path& dir, ConversionJob& job) {
                        job.outPath = (dir / "missing" / "peta.dxf").string();
                    },
                    ErrorCode::PathNotFound}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MissingInput, CreatesNothing)
{
    const test::TempDir dir;
    for (const ConversionMode mode :
         {ConversionMode::TextToPoint, ConversionMode::TextToPolyline, ConversionMode::PointToText,
          ConversionMode::PolylineToText}) {
        ConversionJob job;
        job.fill(dir.file("peta.dat"), "peta.dat", mode);
        try {
            convert(job, mode);
            ADD_FAILURE() << "converted a missing file";
        } catch (const Error& error) {
            EXPECT_EQ(error.code(), ErrorCode::FileNotFound);
        }
        EXPECT_TRUE(fs::is_empty(dir.path()));
    }
}

}  // namespace
}  // namespace konversi
