#include "konversi/sequential_reader.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace konversi {
namespace {

using test::TempDir;

// What a reader sees after each POINT marker: the rest of that line, read as
// a line. Field by field with readField is the plain way; skipToField must
// stop at the very same places.
std::vector<std::string> linesAfterMarkers(const std::string& path, bool scan)
{
    SequentialReader reader(path);
    std::vector<std::string> seen;
    for (;;) {
        if (scan) {
            if (!reader.skipToField("POINT")) break;
        } else {
            if (reader.atEnd()) break;
            if (!reader.readField(64 * 1024).isText("POINT")) continue;
        }
        seen.emplace_back(reader.atEnd() ? "<end>" : reader.readLine());
    }
    EXPECT_TRUE(reader.atEnd());
    return seen;
}

void expectSameStops(const std::string& bytes)
{
    TempDir dir;
    const std::string path = dir.file("drawing.dxf");
    test::writeFile(path, bytes);
    const std::vector<std::string> plain = linesAfterMarkers(path, false);
    EXPECT_EQ(linesAfterMarkers(path, true), plain) << "input: " << bytes.substr(0, 200);
}

TEST(MarkerScan, StopsWhereTheFieldReaderStopsOnEdgeCases)
{
    const std::vector<std::string> inputs = {
        "",
        "POINT",
        "POINT\r\n 10 \r\n1\r\n",
        "  POINT  \r\nnext",
        "\"POINT\"\r\nquoted",
        "\"POINT\r\nunclosed quote",
        "\"POINT\" dropped,after",
        "\"x,POINT\"\r\ninside quotes",
        "POINTS\r\nPOINT\r\nsecond",
        "POINT X\r\nPOINT,rest of line",
        "1 POINT\r\nafter a number",
        "-1.5   POINT ,x",
        "abc POINT\r\none text field",
        "x,POINT,y\r\nz",
        "x,,POINT\ny",
        "POINT\rlone cr",
        "POINT\nlone lf",
        "\n\rPOINT\r\n",
        "PPPP,POINT\r\nPOINT",
        "P",
        "PO",
        "POIN",
        "POINT   ",
        "a\"POINT\r\n",
        "\"\"POINT\r\n",
        "1e5 POINT\r\n",
        "\xEF\xBB\xBFPOINT\r\nafter a byte-order mark",
    };
    for (const std::string& input : inputs)
        expectSameStops(input);
}

// Files of random pieces that put the marker in every kind of place, some
// long enough to cross the reader's buffer many times.
TEST(MarkerScan, StopsWhereTheFieldReaderStopsOnRandomFiles)
{
    static constexpr std::string_view pieces[] = {
        "POINT", "POINT", " POINT", "POINT ", "\"POINT\"", "\"POINT", "POINTS", "P",    "PO",
        ",",     ",",     "\r\n",   "\r\n",   "\r\n",      "\r",      "\n",     " ",    "  ",
        "\"",    "10",    " 10 ",   "-2.5",   "abc",       "TEXT",    "1 ",     "x\"y", "\t"};
    std::mt19937 random(11);
    for (int file = 0; file < 400; ++file) {
        const std::size_t count = file % 40 == 0 ? 200'000 : 1 + random() % 60;
        std::string bytes;
        for (std::size_t i = 0; i < count; ++i) {
            bytes += pieces[random() % std::size(pieces)];
        }
        expectSameStops(bytes);
        if (HasFailure()) return;
    }
}

TEST(MarkerScan, LongLinesAndBufferEdges)
{
    // A marker right at, before and after the point where the reader's
    // buffer is refilled, and lines longer than the buffer.
    for (std::size_t offset : {262'140u, 262'141u, 262'142u, 262'143u, 262'144u, 262'145u}) {
        for (std::string_view end : {"\r\n", "\r", "\n", ","}) {
            std::string bytes(offset, 'x');
            bytes += end;
            bytes += "POINT";
            bytes += end;
            bytes += "after";
            expectSameStops(bytes);
            expectSameStops(std::string(offset, ' ') + "POINT\r\nafter spaces");
        }
    }
    expectSameStops(std::string(600'000, 'x') + ",POINT\r\nafter a long line");
    expectSameStops(std::string(600'000, 'P') + "\r\nPOINT\r\nafter a long run of P");
    expectSameStops("POINT" + std::string(600'000, ' ') + "\r\nafter long trailing spaces");
}

}  // namespace
}  // namespace konversi
