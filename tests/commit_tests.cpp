// How the outputs of a conversion replace their names, on every platform.

#include "konversi/error.h"
#include "test_support.h"
#include "write/output_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

namespace konversi::detail {
namespace {

namespace fs = std::filesystem;
using test::namesIn;

// A commit puts all outputs in place or none: when a folder takes the name
// of a later output while converting, those put in place before it go back,
// an earlier file to its name and a new one away.
TEST(AtomicOutput, FailedCommitPutsEveryEarlierOutputBack)
{
    const test::TempDir dir;
    test::writeFile(dir.file("peta.001"), "earlier 1");
    WrittenOutputs written;
    {
        detail::OutputFiles outputs(written);
        for (const char* name : {"peta.001", "peta.002", "peta.003"}) {
            const auto file = outputs.start(dir.file(name), FileIdentity{});
            ASSERT_TRUE(detail::platform::writeAll(file, "new", 3));
            ASSERT_TRUE(detail::platform::close(file));
        }
        fs::create_directory(dir.path() / "peta.003");
        try {
            outputs.commit();
            ADD_FAILURE() << "the commit succeeded";
        } catch (const Error& error) {
            EXPECT_EQ(error.code(), ErrorCode::PathFileAccess);
        }
    }
    EXPECT_EQ(namesIn(dir.path()), (std::set<std::string>{"peta.001", "peta.003"}));
    EXPECT_EQ(test::readFile(dir.file("peta.001")), "earlier 1");
    EXPECT_TRUE(fs::is_directory(dir.path() / "peta.003"));
}

}  // namespace
}  // namespace konversi::detail
