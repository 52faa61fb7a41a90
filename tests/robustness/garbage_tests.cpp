// Random bytes, and random mixes of the pieces the readers react to (DXF
// markers, commas, quotes, line ends, numbers), fed to every mode: each run
// ends by itself, quickly, with status 0 or with 1 and one error line.

#include "cli_run.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <random>
#include <string>
#include <string_view>

namespace konversi {
namespace {

constexpr int filesPerKind = 12;
constexpr std::size_t maxPieces = 4000;

std::string randomBytes(std::mt19937& random)
{
    std::string bytes(std::uniform_int_distribution<std::size_t>(0, 4 * maxPieces)(random), '\0');
    for (char& c : bytes)
        c = static_cast<char>(random());
    return bytes;
}

std::string randomPieces(std::mt19937& random)
{
    static constexpr std::array<std::string_view, 34> pieces = {
        "POINT", "POLYLINE", "VERTEX", "SEQEND", "10",           " 10 ", "20",   "30",  "0",
        " 0 ",   ",",        ",",      "\"",     "\"",           "\r\n", "\r\n", "\r",  "\n",
        "\n\r",  " ",        "  ",     "\t",     "\x1a",         "-",    ".",    "1.5", "-2",
        "1e999", "1E+",      "&H",     "&o17",   "\xef\xbb\xbf", "x",    "\xff"};
    std::string bytes;
    const std::size_t count = std::uniform_int_distribution<std::size_t>(0, maxPieces)(random);
    std::uniform_int_distribution<std::size_t> pick(0, pieces.size() - 1);
    for (std::size_t i = 0; i < count; ++i)
        bytes += pieces[pick(random)];
    return bytes;
}

class Garbage : public ::testing::TestWithParam<const char*> {};

TEST_P(Garbage, EndsQuicklyWithStatusZeroOrOne)
{
    const std::string mode = GetParam();
    const test::TempDir dir;
    std::mt19937 random(20240611);  // fixed: a failure must be repeatable
    test::CliRunOptions options;
    options.timeout = std::chrono::seconds(20);
    for (int i = 0; i < 2 * filesPerKind; ++i) {
        const bool pieces = i % 2 == 0;
        const std::string bytes = pieces ? randomPieces(random) : randomBytes(random);
        const std::string input = dir.file(std::to_string(i) + ".dat");
        test::writeFile(input, bytes);
        SCOPED_TRACE(input + (pieces ? " (pieces)" : " (random bytes)"));

        const test::CliRun run = test::runCli({mode, input}, options);
        ASSERT_FALSE(run.timedOut) << describe(run);
        ASSERT_TRUE(run.exited) << describe(run);
        if (run.status == 0) {
            EXPECT_EQ(run.err, "");
        } else {
            EXPECT_EQ(run.status, 1) << describe(run);
            const std::string prefix = "konversi-cli: " + input + ": error ";
            EXPECT_EQ(run.err.rfind(prefix, 0), 0u) << describe(run);
            EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << describe(run);
        }
        EXPECT_EQ(test::readFile(input), bytes);
        std::filesystem::remove_all(dir.path());
        std::filesystem::create_directory(dir.path());
    }
}

INSTANTIATE_TEST_SUITE_P(Modes, Garbage,
                         ::testing::Values("txt2point", "txt2poly", "point2txt", "poly2txt"),
                         [](const auto& info) { return std::string(info.param); });

}  // namespace
}  // namespace konversi
