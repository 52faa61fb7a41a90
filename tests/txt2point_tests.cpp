#include "konversi/converters.h"
#include "konversi/error.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace konversi {
namespace {

using test::readFile;
using test::readTestData;
using test::TempDir;
using test::writeFile;

class TextToPoint : public ::testing::Test {
protected:
    // Converts `bytes` saved as `name` and returns the DXF written beside it.
    std::string convert(std::string_view bytes, const std::string& name = "peta.txt")
    {
        writeFile(dir_.file(name), bytes);
        run(name);
        return readFile(job_.outPath);
    }

    void run(const std::string& name)
    {
        job_.fill(dir_.file(name), name, ConversionMode::TextToPoint);
        konversi::convert(job_, ConversionMode::TextToPoint);
    }

    int failure(const std::string& name)
    {
        try {
            run(name);
        } catch (const Error& error) {
            return error.number();
        }
        return 0;
    }

    TempDir dir_;
    ConversionJob job_;
};

class Golden : public TextToPoint, public ::testing::WithParamInterface<const char*> {};

TEST_P(Golden, WritesTheExpectedBytes)
{
    const std::string name = GetParam();
    EXPECT_EQ(convert(readTestData("txt2point/" + name + ".txt")),
              readTestData("txt2point/" + name + ".dxf"));
}

INSTANTIATE_TEST_SUITE_P(Files, Golden, ::testing::Values("example", "empty", "survey"));

TEST_F(TextToPoint, LayoutOfTheTriplesDoesNotMatter)
{
    const std::string oneLine = convert("1,2,3,4,5,6");
    EXPECT_EQ(convert("1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n"), oneLine);
    EXPECT_EQ(convert("1,2,3\n4,5,6\n"), oneLine);
    EXPECT_EQ(convert("1 2 3\r4 5 6"), oneLine);
}

TEST_F(TextToPoint, TrailingBlanksEndTheFile)
{
    const std::string expected = convert("1,2,3\r\n");
    EXPECT_EQ(convert("1,2,3\r\n\r\n  \t \r\n\x1a"), expected);
    EXPECT_EQ(convert("1,2,3\n\n\n"), expected);
}

TEST_F(TextToPoint, IncompleteLastTripleFailsAndChangesNoFile)
{
    // One triple stays in the first buffer; 40,000 fill several buffers that
    // are written while the next ones fill.
    for (const int triples : {1, 40000}) {
        std::string complete;
        for (int i = 0; i < triples; ++i)
            complete += std::to_string(i) + ".5,2," + std::to_string(-i) + "\r\n";
        writeFile(dir_.file("peta.txt"), complete + "4,5");
        writeFile(dir_.file("peta.dxf"), "earlier result");
        EXPECT_EQ(failure("peta.txt"), 62);
        EXPECT_EQ(readFile(dir_.file("peta.dxf")), "earlier result") << triples;
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.path()), {}), 2);
    }
}

TEST_F(TextToPoint, TrailingCommaLeavesAFieldPastTheEnd)
{
    writeFile(dir_.file("peta.txt"), "1,2,");
    EXPECT_EQ(failure("peta.txt"), 62);
}

TEST_F(TextToPoint, MissingInputWritesNothing)
{
    EXPECT_EQ(failure("missing.txt"), 53);
    EXPECT_FALSE(std::filesystem::exists(dir_.file("missing.dxf")));
    job_.fill(dir_.file("nofolder/peta.txt"), "peta.txt", ConversionMode::TextToPoint);
    try {
        konversi::convert(job_, ConversionMode::TextToPoint);
        FAIL();
    } catch (const Error& error) {
        EXPECT_EQ(error.number(), 76);
    }
}

// The output name may reach the input however it is spelled; the input must
// survive untouched.
TEST_F(TextToPoint, OutputThatIsTheInputIsRefused)
{
    const std::string original = "1,2,3\r\n";
    const auto check = [&](const std::string& name, const std::string& inputFile) {
        EXPECT_EQ(failure(name), 55) << name;
        EXPECT_EQ(readFile(dir_.file(inputFile)), original) << name;
    };

    writeFile(dir_.file("same.dxf"), original);
    check("same.dxf", "same.dxf");

    writeFile(dir_.file("linked.txt"), original);
    std::filesystem::create_symlink("linked.txt", dir_.path() / "linked.dxf");
    check("linked.txt", "linked.txt");

    writeFile(dir_.file("hard.txt"), original);
    std::filesystem::create_hard_link(dir_.path() / "hard.txt", dir_.path() / "hard.dxf");
    check("hard.txt", "hard.txt");

    std::filesystem::create_directory(dir_.path() / "sub");
    job_.fill(dir_.file("sub/../same.dxf"), "same.dxf", ConversionMode::TextToPoint);
    EXPECT_THROW(konversi::convert(job_, ConversionMode::TextToPoint), Error);
    EXPECT_EQ(readFile(dir_.file("same.dxf")), original);
}

TEST_F(TextToPoint, OutputThatIsAFolderFails)
{
    writeFile(dir_.file("peta.txt"), "1,2,3");
    std::filesystem::create_directory(dir_.path() / "peta.dxf");
    EXPECT_EQ(failure("peta.txt"), 75);
}

}  // namespace
}  // namespace konversi
