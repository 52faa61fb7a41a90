#include "test_support.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

namespace konversi {
namespace {

using test::readFile;
using test::TempDir;
using test::writeFile;

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

class CommandLine : public ::testing::Test {
protected:
    // Runs konversi-cli in the test's folder with the given arguments; its
    // standard output goes to `stdoutPath`, or is captured when that is empty.
    Outcome cli(const std::vector<std::string>& args, const std::string& stdoutPath = {})
    {
        const std::string errFile = dir_.file(".stderr");
        const std::string outFile = stdoutPath.empty() ? dir_.file(".stdout") : stdoutPath;
        const pid_t pid = fork();
        if (pid == 0) {
            if (chdir(dir_.path().c_str()) != 0) _exit(127);
            dup2(open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 1);
            dup2(open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 2);
            std::vector<char*> argv{const_cast<char*>(KONVERSI_CLI)};
            for (const auto& arg : args)
                argv.push_back(const_cast<char*>(arg.c_str()));
            argv.push_back(nullptr);
            execv(KONVERSI_CLI, argv.data());
            _exit(127);
        }
        int status = 0;
        waitpid(pid, &status, 0);
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1,
                stdoutPath.empty() ? readFile(outFile) : std::string(), readFile(errFile)};
    }

    TempDir dir_;
};

TEST_F(CommandLine, ConvertsSilentlyBesideTheInput)
{
    std::filesystem::create_directory(dir_.path() / "survey");
    writeFile(dir_.file("survey/peta.txt"), "100.5,-20,3\r\n");
    const Outcome run = cli({"txt2point", "survey/peta.txt"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(readFile(dir_.file("survey/peta.dxf")), test::readTestData("txt2point/example.dxf"));
}

TEST_F(CommandLine, ReportsEachFailureAndGoesOn)
{
    writeFile(dir_.file("a.txt"), "1,2,3");
    writeFile(dir_.file("c.txt"), "1,2");
    const Outcome run = cli({"txt2point", "missing dir/b.txt", "a.txt", "c.txt"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err,
              "konversi-cli: missing dir/b.txt: error 76: Path not found\n"
              "konversi-cli: c.txt: error 62: Input past end of file\n");
    EXPECT_TRUE(std::filesystem::exists(dir_.file("a.dxf")));
}

TEST_F(CommandLine, EveryModeIsAccepted)
{
    writeFile(dir_.file("peta.txt"), "1,2,3");
    EXPECT_EQ(cli({"txt2poly", "peta.txt"}).status, 0);
    EXPECT_EQ(cli({"point2txt", "peta.dxf"}).status, 0);
    EXPECT_EQ(cli({"poly2txt", "peta.dxf"}).status, 0);
    EXPECT_EQ(readFile(dir_.file("peta.001")), " 1   2   3 \r\n");
}

TEST_F(CommandLine, UsageErrors)
{
    const Outcome help = cli({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("Usage: konversi-cli MODE INPUT..."), std::string::npos);
    EXPECT_NE(help.out.find("man konversi-cli"), std::string::npos);
    EXPECT_EQ(help.err, "");
    const Outcome version = cli({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "konversi-cli " KONVERSI_VERSION "\n");
    EXPECT_EQ(version.err, "");
    for (const auto& args : std::vector<std::vector<std::string>>{
             {}, {"txt2point"}, {"toDxf", "a.txt"}, {"--help", "x"}, {"--version", "x"}}) {
        const Outcome run = cli(args);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err.find("Usage:"), std::string::npos);
    }
}

TEST_F(CommandLine, HelpOrVersionThatCannotBeWrittenFails)
{
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "/dev/full is missing";
    for (const char* option : {"--help", "--version"}) {
        const Outcome run = cli({option}, "/dev/full");
        EXPECT_EQ(run.status, 1) << option;
        EXPECT_NE(run.err, "") << option;
    }
}

}  // namespace
}  // namespace konversi
