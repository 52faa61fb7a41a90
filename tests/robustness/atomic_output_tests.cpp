// Outputs are saved whole or not at all: a conversion writes temporaries
// beside its outputs and renames them over their names only when it has
// succeeded. A refused or stopped conversion changes no file (a failed one:
// the failure table of the converter tests); a name is replaced, never
// written through; a batch never replaces its own earlier result.

#include "cli_run.h"
#include "konversi/converters.h"
#include "konversi/error.h"
#include "test_support.h"
#include "write/output_files.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#include <csignal>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <thread>

namespace konversi {
namespace {

namespace fs = std::filesystem;
using test::namesIn;

void convertIn(const test::TempDir& dir, const std::string& name, ConversionMode mode)
{
    ConversionJob job;
    job.fill(dir.file(name), name, mode);
    convert(job, mode);
}

TEST(AtomicOutput, SymbolicLinkIsReplacedNotWrittenThrough)
{
    const test::TempDir dir;
    test::writeFile(dir.file("elsewhere.txt"), "not an output");
    fs::create_symlink(dir.path() / "elsewhere.txt", dir.path() / "peta.dxf");
    fs::create_symlink(dir.path() / "missing", dir.path() / "jalan.dxf");
    for (const char* input : {"peta.txt", "jalan.txt"}) {
        test::writeFile(dir.file(input), "1,2,3\r\n");
        convertIn(dir, input, ConversionMode::TextToPoint);
    }
    EXPECT_FALSE(fs::is_symlink(dir.path() / "peta.dxf"));
    EXPECT_FALSE(fs::is_symlink(dir.path() / "jalan.dxf"));
    EXPECT_EQ(test::readFile(dir.file("peta.dxf")), test::readFile(dir.file("jalan.dxf")));
    EXPECT_EQ(test::readFile(dir.file("elsewhere.txt")), "not an output");
    EXPECT_FALSE(fs::exists(dir.path() / "missing"));
}

TEST(AtomicOutput, ReplacedFileKeepsItsPermissionBits)
{
    const test::TempDir dir;
    test::writeFile(dir.file("peta.txt"), "1,2,3\r\n");
    test::writeFile(dir.file("peta.dxf"), "earlier result");
    ::chmod(dir.file("peta.dxf").c_str(), 0604);
    convertIn(dir, "peta.txt", ConversionMode::TextToPoint);
    struct stat info {};
    ASSERT_EQ(::stat(dir.file("peta.dxf").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0604u);
}

// A FIFO would block the program for ever and a device is no file to save:
// both are refused before anything is opened for writing.
struct SpecialFile {
    const char* name;
    mode_t kind;
    dev_t device;
};

void PrintTo(const SpecialFile& file, std::ostream* os)
{
    *os << file.name;
}

class SpecialFileAsOutput : public ::testing::TestWithParam<SpecialFile> {};

TEST_P(SpecialFileAsOutput, IsRefusedWith75)
{
    const test::TempDir dir;
    test::writeFile(dir.file("peta.txt"), "1,2,3\r\n");
    if (::mknod(dir.file("peta.dxf").c_str(), GetParam().kind | 0666, GetParam().device) != 0)
        GTEST_SKIP() << "cannot make a " << GetParam().name << " here";
    test::CliRunOptions options;
    options.timeout = std::chrono::seconds(10);
    const test::CliRun run = test::runCli({"txt2point", dir.file("peta.txt")}, options);
    ASSERT_TRUE(run.exited) << describe(run);
    EXPECT_EQ(run.err,
              "konversi-cli: " + dir.file("peta.txt") + ": error 75: Path/File access error\n");
}

INSTANTIATE_TEST_SUITE_P(Kinds, SpecialFileAsOutput,
                         ::testing::Values(SpecialFile{"Fifo", S_IFIFO, 0},
                                           SpecialFile{"NullDevice", S_IFCHR, makedev(1, 3)}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(AtomicOutput, BatchNeverReplacesItsOwnEarlierResult)
{
    const test::TempDir dir;
    test::writeFile(dir.file("a.txt"), "1,2,3\r\n");
    test::writeFile(dir.file("a.csv"), "4,5,6\r\n");
    test::writeFile(dir.file("b.txt"), "7,8,9\r\n");
    const test::CliRun run =
        test::runCli({"txt2point", dir.file("a.txt"), dir.file("a.csv"), dir.file("b.txt")});
    ASSERT_TRUE(run.exited) << describe(run);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "konversi-cli: " + dir.file("a.csv") + ": error 58: File already exists\n");
    const std::string first = test::readFile(dir.file("a.dxf"));
    convertIn(dir, "a.txt", ConversionMode::TextToPoint);
    EXPECT_EQ(first, test::readFile(dir.file("a.dxf")));
    EXPECT_TRUE(fs::exists(dir.path() / "b.dxf"));
}

// What a user without privilege may not write, the tests running as root
// (whom no permission stops) run konversi-cli as nobody.
struct ReadOnly {
    const char* name;
    fs::perms folder;
    std::optional<fs::perms> earlierOutput;  // none: no output yet
};

void PrintTo(const ReadOnly& r, std::ostream* os)
{
    *os << r.name;
}

class ReadOnlyPlace : public ::testing::TestWithParam<ReadOnly> {};

TEST_P(ReadOnlyPlace, IsError75AndChangesNothing)
{
    const test::TempDir dir;
    const fs::path folder = dir.path() / "place";
    fs::create_directory(folder);
    test::writeFile((folder / "peta.txt").string(), "1,2,3\r\n");
    if (GetParam().earlierOutput) {
        test::writeFile((folder / "peta.dxf").string(), "earlier result");
        fs::permissions(folder / "peta.dxf", *GetParam().earlierOutput);
    }
    fs::permissions(dir.path(), fs::perms::others_exec, fs::perm_options::add);
    fs::permissions(folder, GetParam().folder);
    test::CliRunOptions options;
    options.unprivileged = true;
    const test::CliRun run = test::runCli({"txt2point", (folder / "peta.txt").string()}, options);
    fs::permissions(folder, fs::perms::owner_all, fs::perm_options::add);
    ASSERT_TRUE(run.exited) << describe(run);
    if (run.status == 127 && run.err.empty()) GTEST_SKIP() << "nobody may not run konversi-cli";
    EXPECT_EQ(run.err, "konversi-cli: " + (folder / "peta.txt").string() +
                           ": error 75: Path/File access error\n");
    if (GetParam().earlierOutput) {
        EXPECT_EQ(test::readFile((folder / "peta.dxf").string()), "earlier result");
        EXPECT_EQ(namesIn(folder), (std::set<std::string>{"peta.txt", "peta.dxf"}));
    }
}

INSTANTIATE_TEST_SUITE_P(Places, ReadOnlyPlace,
                         ::testing::Values(ReadOnly{"Folder", fs::perms(0555), std::nullopt},
                                           ReadOnly{"OutputInAWritableFolder", fs::perms(0777),
                                                    fs::perms(0444)}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(AtomicOutput, WritesOnTheCallingThreadWhenNoThreadCanStart)
{
    if (test::underAddressSanitizer()) GTEST_SKIP() << "address-space limits break the sanitizer";
    // 12,000 KiB of address space holds the program and its buffers but not
    // a thread's stack; the output outgrows its first buffer.
    const test::TempDir dir;
    std::string text;
    for (int i = 0; i < 20000; ++i)
        text += std::to_string(i) + ".5,2,1\r\n";
    test::writeFile(dir.file("peta.txt"), text);
    test::CliRunOptions options;
    options.addressSpaceLimit = 12000 << 10;
    const test::CliRun run = test::runCli({"txt2point", dir.file("peta.txt")}, options);
    ASSERT_TRUE(run.exited) << describe(run);
    EXPECT_EQ(run.status, 0) << describe(run);
    const std::string limited = test::readFile(dir.file("peta.dxf"));
    convertIn(dir, "peta.txt", ConversionMode::TextToPoint);
    EXPECT_EQ(limited, test::readFile(dir.file("peta.dxf")));
}

// A stop while converting: poly2txt has started peta.001 and is reading
// through a terabyte-long line (a sparse file, which takes no disk).
class StoppedConversion : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::writeFile(input_, "0\nPOLYLINE\n");
        fs::resize_file(input_, 1ull << 40);
        test::writeFile(dir_.file("peta.001"), "earlier result");
    }

    // Starts the conversion and returns once its temporary exists.
    void startConverting()
    {
        process_.emplace(std::vector<std::string>{"poly2txt", input_});
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (namesIn(dir_.path()).size() < 3 && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        EXPECT_EQ(namesIn(dir_.path()).size(), 3u) << "no temporary appeared";
    }

    test::TempDir dir_;
    const std::string input_ = dir_.file("peta.dxf");
    std::optional<test::CliProcess> process_;
};

struct Stop {
    const char* name;
    int signal;
    int status;
    const char* line;
};

void PrintTo(const Stop& stop, std::ostream* os)
{
    *os << stop.name;
}

class StopSignal : public StoppedConversion, public ::testing::WithParamInterface<Stop> {};

TEST_P(StopSignal, RemovesTheTemporaryAndSaysSo)
{
    const Stop& stop = GetParam();
    startConverting();
    ::kill(process_->pid(), stop.signal);
    const test::CliRun run = process_->wait();
    ASSERT_TRUE(run.exited) << describe(run);
    EXPECT_EQ(run.status, stop.status);
    EXPECT_EQ(run.err, stop.line);
    EXPECT_EQ(namesIn(dir_.path()), (std::set<std::string>{"peta.dxf", "peta.001"}));
    EXPECT_EQ(test::readFile(dir_.file("peta.001")), "earlier result");
}

INSTANTIATE_TEST_SUITE_P(
    Signals, StopSignal,
    ::testing::Values(Stop{"Sigint", SIGINT, 130, "konversi-cli: stopped by SIGINT\n"},
                      Stop{"Sigterm", SIGTERM, 143, "konversi-cli: stopped by SIGTERM\n"},
                      Stop{"Sighup", SIGHUP, 129, "konversi-cli: stopped by SIGHUP\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(StoppedConversion, KillLeavesTheEarlierResult)
{
    startConverting();
    ::kill(process_->pid(), SIGKILL);
    process_->wait();
    EXPECT_EQ(test::readFile(dir_.file("peta.001")), "earlier result");
}

}  // namespace
}  // namespace konversi
