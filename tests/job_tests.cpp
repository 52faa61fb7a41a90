#include "konversi/conversion_job.h"

#include <gtest/gtest.h>

namespace konversi {
namespace {

struct FillCase {
    const char* path;
    const char* title;
    ConversionMode mode;
    const char* inDir;
    const char* baseName;
    const char* outPath;
};

class Fill : public ::testing::TestWithParam<FillCase> {};

TEST_P(Fill, DerivesEveryName)
{
    const FillCase& c = GetParam();
    ConversionJob job;
    job.fill(c.path, c.title, c.mode);
    EXPECT_EQ(job.inPath, c.path);
    EXPECT_EQ(job.inTitle, c.title);
    EXPECT_EQ(job.inDir, c.inDir);
    EXPECT_EQ(job.baseName, c.baseName);
    EXPECT_EQ(job.outPath, c.outPath);
}

constexpr auto toPoint = ConversionMode::TextToPoint;
constexpr auto toText = ConversionMode::PointToText;

INSTANTIATE_TEST_SUITE_P(
    Table, Fill,
    ::testing::Values(
        FillCase{"/data/peta.txt", "peta.txt", toPoint, "/data/", "peta", "/data/peta.dxf"},
        FillCase{"C:\\data\\peta.txt", "peta.txt", toPoint, "C:\\data\\", "peta",
                 "C:\\data\\peta.dxf"},
        FillCase{"/data/peta.baru.txt", "peta.baru.txt", toPoint, "/data/", "peta",
                 "/data/peta.dxf"},
        FillCase{"/data/README", "README", toPoint, "/data/", "README", "/data/README.dxf"},
        FillCase{"/data/.hidden", ".hidden", toPoint, "/data/", "", "/data/.dxf"},
        FillCase{"peta.dxf", "peta.dxf", toPoint, "", "peta", "peta.dxf"},
        FillCase{"/data/peta.dxf", "peta.dxf", toText, "/data/", "peta", "/data/peta.txt"},
        FillCase{"/data/peta.dxf", "peta.dxf", ConversionMode::PolylineToText, "/data/", "peta",
                 "/data/peta.txt"},
        FillCase{"/data/peta.txt", "peta.txt", ConversionMode::TextToPolyline, "/data/", "peta",
                 "/data/peta.dxf"}));

TEST(Fill, RefillReplacesEveryName)
{
    ConversionJob job;
    job.fill("/a/b.c.txt", "b.c.txt", toText);
    job.fill("/x/y", "y", toPoint);
    EXPECT_EQ(job.inDir, "/x/");
    EXPECT_EQ(job.baseName, "y");
    EXPECT_EQ(job.outPath, "/x/y.dxf");
}

}  // namespace
}  // namespace konversi
