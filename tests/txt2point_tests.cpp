#include "konversi/converters.h"
#include "test_support.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace konversi
