#include "conversion_fixture.h"
#include "konversi/converters.h"
#include "konversi/error.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace konversi {
namespace {

namespace fs = std::filesystem;

std::string withLineEnds(std::string_view crlfText, std::string_view lineEnd)
{
    std::string out;
    for (std::size_t i = 0; i < crlfText.size(); ++i) {
        if (crlfText.compare(i, 2, "\r\n") == 0) {
            out += lineEnd;
            ++i;
        } else {
            out += crlfText[i];
        }
    }
    return out;
}

// Golden files: an input under tests/data and the exact bytes of every file
// the conversion must leave beside it, and no other file.

struct GoldenCase {
    const char* name;
    ConversionMode mode;
    std::string folder;
    std::string input;
    std::vector<std::string> outputs;
};

void PrintTo(const GoldenCase& c, std::ostream* os)
{
    *os << c.name;
}

const GoldenCase txt2pointExample{
    "txt2point_example", ConversionMode::TextToPoint, "txt2point", "example.txt", {"example.dxf"}};
const GoldenCase txt2pointEmpty{
    "txt2point_empty_input", ConversionMode::TextToPoint, "txt2point", "empty.txt", {"empty.dxf"}};
const GoldenCase txt2pointSurvey{
    "txt2point_survey", ConversionMode::TextToPoint, "txt2point", "survey.txt", {"survey.dxf"}};
const GoldenCase txt2polyPeta{
    "txt2poly_peta", ConversionMode::TextToPolyline, "txt2poly", "peta.txt", {"peta.dxf"}};
const GoldenCase txt2polyEmpty{"txt2poly_empty_input",
                               ConversionMode::TextToPolyline,
                               "txt2poly",
                               "kosong.txt",
                               {"kosong.dxf"}};
const GoldenCase point2txtTitik{
    "point2txt_titik", ConversionMode::PointToText, "point2txt", "titik.dxf", {"titik.txt"}};
const GoldenCase poly2txtJalan{"poly2txt_three_polylines",
                               ConversionMode::PolylineToText,
                               "poly2txt",
                               "jalan.dxf",
                               {"jalan.001", "jalan.002", "jalan.003"}};

class Golden : public Conversion, public ::testing::WithParamInterface<GoldenCase> {
protected:
    Files expectedFiles() const
    {
        Files files;
        for (const auto& name : GetParam().outputs) {
            files[name] = test::readTestData(GetParam().folder + "/" + name);
        }
        return files;
    }
};

TEST_P(Golden, WritesTheExpectedBytes)
{
    const GoldenCase& c = GetParam();
    put(c.input, test::readTestData(c.folder + "/" + c.input));
    run(c.input, c.mode);
    EXPECT_EQ(filesBeside(c.input), expectedFiles());
}

INSTANTIATE_TEST_SUITE_P(Files, Golden,
                         ::testing::Values(txt2pointExample, txt2pointEmpty, txt2pointSurvey,
                                           txt2polyPeta, txt2polyEmpty, point2txtTitik,
                                           poly2txtJalan),
                         [](const auto& info) { return std::string(info.param.name); });

class GoldenDxfInput : public Golden {};

// Line ends of a DXF written on Linux or old Mac OS must not change what the
// readers find.
TEST_P(GoldenDxfInput, LfOnlyAndCrOnlyInputsConvertLikeCrLf)
{
    const GoldenCase& c = GetParam();
    for (const char* lineEnd : {"\n", "\r"}) {
        SCOPED_TRACE(lineEnd[0] == '\n' ? "LF" : "CR");
        put(c.input, withLineEnds(test::readTestData(c.folder + "/" + c.input), lineEnd));
        run(c.input, c.mode);
        EXPECT_EQ(filesBeside(c.input), expectedFiles());
    }
}

// A CR LF after LF lines in the same buffer: each line's end is found where
// it stands, not guessed from the first line of the file or of the buffer.
TEST_P(GoldenDxfInput, MixedLineEndsInOneBuffer)
{
    const GoldenCase& c = GetParam();
    const std::string lf = withLineEnds(test::readTestData(c.folder + "/" + c.input), "\n");
    const std::size_t first = lf.find('\n');
    for (std::size_t at = lf.find('\n', first + 1); at != std::string::npos;
         at = lf.find('\n', at + 1)) {
        put(c.input, lf.substr(0, at) + "\r" + lf.substr(at));
        run(c.input, c.mode);
        ASSERT_EQ(filesBeside(c.input), expectedFiles()) << "CR LF at byte " << at;
    }
}

INSTANTIATE_TEST_SUITE_P(Files, GoldenDxfInput, ::testing::Values(point2txtTitik, poly2txtJalan),
                         [](const auto& info) { return std::string(info.param.name); });

// txt2poly names the layer after the input file. Checked against the golden
// drawing of an empty input, whose only variable part is the layer name.

struct LayerCase {
    const char* name;
    std::string inputName;
    std::string layer;
};

void PrintTo(const LayerCase& c, std::ostream* os)
{
    *os << c.name;
}

class PolylineLayer : public Conversion, public ::testing::WithParamInterface<LayerCase> {};

TEST_P(PolylineLayer, IsTheBaseNameWithControlBytesReplaced)
{
    const LayerCase& c = GetParam();
    put(c.inputName, "");
    run(c.inputName, ConversionMode::TextToPolyline);
    std::string expected = test::readTestData("txt2poly/kosong.dxf");
    for (std::size_t at; (at = expected.find("\r\nkosong\r\n")) != std::string::npos;) {
        expected.replace(at, 10, "\r\n" + c.layer + "\r\n");
    }
    const std::string output = c.inputName.substr(0, c.inputName.find('.')) + ".dxf";
    EXPECT_EQ(test::readFile(path(output)), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Names, PolylineLayer,
    ::testing::Values(
        LayerCase{"first_dot_ends_it", "peta.baru.txt", "peta"},
        LayerCase{"no_dot", "peta", "peta"},
        LayerCase{"empty_when_the_name_starts_with_a_dot", ".txt", ""},
        LayerCase{"cr_lf_and_unit_separator_become_underscores", "a\rb\nc\x1f.txt", "a_b_c_"},
        LayerCase{"tab_becomes_an_underscore", "jalan\tdesa.txt", "jalan_desa"},
        LayerCase{"space_del_and_utf8_stay", "jl \x7f\xc3\xa9.txt", "jl \x7f\xc3\xa9"}),
    [](const auto& info) { return std::string(info.param.name); });

// Triples may be laid out in any way and followed by blank lines, spaces,
// tabs and an end-of-file byte: each input of a group gives the same drawing.
TEST_F(Conversion, TextLayoutDoesNotChangeTheDrawing)
{
    const std::vector<std::vector<std::string>> groups = {
        {"1,2,3,4,5,6", "1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n", "1,2,3\n4,5,6\n", "1 2 3\r4 5 6"},
        {"1,2,3", "1,2,3\r\n\r\n  \t \r\n\x1a", "1,2,3\n\n\n", "1,2,3\r\n\r\n  \t \n\x1a"}};
    for (const ConversionMode mode :
         {ConversionMode::TextToPoint, ConversionMode::TextToPolyline}) {
        for (const auto& group : groups) {
            put("peta.txt", group.front());
            run("peta.txt", mode);
            const std::string expected = test::readFile(path("peta.dxf"));
            for (const std::string& text : group) {
                put("peta.txt", text);
                run("peta.txt", mode);
                EXPECT_EQ(test::readFile(path("peta.dxf")), expected) << text;
            }
        }
    }
}

// What the DXF writers produce, the DXF readers read back as the input's
// coordinates in the number print form.

struct RoundTripCase {
    const char* name;
    std::string text;
    std::string coordinates;
};

void PrintTo(const RoundTripCase& c, std::ostream* os)
{
    *os << c.name;
}

class RoundTrip : public Conversion, public ::testing::WithParamInterface<RoundTripCase> {};

TEST_P(RoundTrip, PointsReadBackAsTheInputCoordinates)
{
    put("peta.txt", GetParam().text);
    run("peta.txt", ConversionMode::TextToPoint);
    run("peta.dxf", ConversionMode::PointToText);  // writes peta.txt anew
    EXPECT_EQ(test::readFile(path("peta.txt")), GetParam().coordinates);
}

TEST_P(RoundTrip, PolylineReadsBackAsTheInputCoordinates)
{
    put("peta.txt", GetParam().text);
    run("peta.txt", ConversionMode::TextToPolyline);
    run("peta.dxf", ConversionMode::PolylineToText);
    EXPECT_EQ(test::readFile(path("peta.001")), GetParam().coordinates);
    EXPECT_FALSE(fs::exists(path("peta.002")));
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, RoundTrip,
    ::testing::Values(RoundTripCase{"empty", "", ""},
                      RoundTripCase{"one_triple", "100.5,-20,3\r\n", " 100.5  -20   3 \r\n"},
                      RoundTripCase{
                          "print_forms", "1.50,-0,0.00012345\n1e20 -0.5 123456789012345678\n\n",
                          " 1.5   0   1.2345E-04 \r\n 1E+20  -0.5   1.23456789012346E+17 \r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

// Behaviour of the marker scan that holds for drawings written by others.

struct ExtractionCase {
    const char* name;
    std::string dxf;
    Files expected;  // by output suffix
};

void PrintTo(const ExtractionCase& c, std::ostream* os)
{
    *os << c.name;
}

class PointExtraction : public Conversion, public ::testing::WithParamInterface<ExtractionCase> {};

TEST_P(PointExtraction, WritesOneLinePerPointMarker)
{
    put("titik.dxf", GetParam().dxf);
    run("titik.dxf", ConversionMode::PointToText);
    Files expected;
    for (const auto& [suffix, bytes] : GetParam().expected)
        expected["titik" + suffix] = bytes;
    EXPECT_EQ(filesBeside("titik.dxf"), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Drawings, PointExtraction,
    ::testing::Values(
        ExtractionCase{"no_point_gives_an_empty_file",
                       "0\nSECTION\n2\nENTITIES\n0\nLINE\n10\n1\n20\n2\n30\n3\n0\nENDSEC\n0\nEOF\n",
                       {{".txt", ""}}},
        // Values too long to hold are read exactly as they stream past: one
        // between 16 and 64 KiB long, one far beyond, one whose exponent
        // undoes 70,000 zeros.
        ExtractionCase{"long_coordinates_are_exact",
                       "0\nPOINT\n10\n" + std::string(20'000, '0') + "123.5\n20\n-" +
                           std::string(100'000, '0') + "7.25\n30\n0." + std::string(70'000, '0') +
                           "25e70001\n0\nEOF\n",
                       {{".txt", " 123.5  -7.25   2.5 \r\n"}}},
        ExtractionCase{"layer_named_point_starts_a_point",
                       "0\nLINE\n8\nPOINT\n10\n1\n20\n2\n30\n3\n11\n4\n0\nEOF\n",
                       {{".txt", " 1   2   3 \r\n"}}},
        // The text's own 10 comes before its value; the search for "10" then
        // reads the next entity's type line as an ordinary line.
        ExtractionCase{"text_value_point_uses_up_the_next_marker",
                       "0\nTEXT\n10\n9\n20\n9\n30\n0\n1\nPOINT\n0\nPOINT\n10\n4\n20\n5\n30\n6\n"
                       "0\nEOF\n",
                       {{".txt", " 4   5   6 \r\n"}}},
        ExtractionCase{"point_inside_a_block_counts",
                       "0\nSECTION\n2\nBLOCKS\n0\nBLOCK\n2\nB\n0\nPOINT\n10\n1\n20\n1\n30\n1\n"
                       "0\nENDBLK\n0\nENDSEC\n0\nEOF\n",
                       {{".txt", " 1   1   1 \r\n"}}},
        ExtractionCase{
            "marker_is_case_sensitive", "0\npoint\n10\n1\n20\n2\n30\n3\n", {{".txt", ""}}},
        ExtractionCase{"marker_field_may_carry_spaces",
                       "0\n  POINT  \n10\n1\n20\n2\n30\n3\n",
                       {{".txt", " 1   2   3 \r\n"}}},
        ExtractionCase{"group_code_10_is_trimmed_of_spaces_not_tabs",
                       "0\nPOINT\n\t10\n7\n  10  \n1\n20\n2\n30\n3\n",
                       {{".txt", " 1   2   3 \r\n"}}},
        // Only the next field is z: the next entity's type line.
        ExtractionCase{"point_without_30_uses_up_the_next_marker",
                       "0\nPOINT\n10\n1\n20\n2\n0\nPOINT\n10\n7\n20\n8\n30\n9\n0\nEOF\n",
                       {{".txt", " 1   2   0 \r\n"}}},
        ExtractionCase{"comma_in_a_value_shifts_the_values",
                       "0\nPOINT\n10\n1,5\n20\n2\n30\n3\n0\nEOF\n",
                       {{".txt", " 1   20   30 \r\n"}}},
        ExtractionCase{"coordinates_are_numeric_values_of_text",
                       "0\nPOINT\n10\n12abc\n20\n&H1F\n30\n  -4.5e1xyz\n",
                       {{".txt", " 12   31  -45 \r\n"}}},
        // An overflowing value where the group codes 20 and 30 stand is
        // never evaluated.
        ExtractionCase{
            "group_code_places_are_not_evaluated",
            "0\nPOINT\n10\n1\n1e999\n2\n&HFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF"
            "FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF"
            "FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF"
            "FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF\n"
            "3\n",
            {{".txt", " 1   2   3 \r\n"}}},
        ExtractionCase{"byte_order_mark_before_the_first_marker",
                       "\xEF\xBB\xBFPOINT\n10\n1\n20\n2\n30\n3\n",
                       {{".txt", " 1   2   3 \r\n"}}}),
    [](const auto& info) { return std::string(info.param.name); });

class PolylineSplitting : public Conversion,
                          public ::testing::WithParamInterface<ExtractionCase> {};

TEST_P(PolylineSplitting, WritesOneFilePerPolylineMarker)
{
    put("jalan.dxf", GetParam().dxf);
    run("jalan.dxf", ConversionMode::PolylineToText);
    Files expected;
    for (const auto& [suffix, bytes] : GetParam().expected)
        expected["jalan" + suffix] = bytes;
    EXPECT_EQ(filesBeside("jalan.dxf"), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Drawings, PolylineSplitting,
    ::testing::Values(
        ExtractionCase{
            "no_polyline_creates_no_file",
            "0\nSECTION\n2\nENTITIES\n0\nPOINT\n10\n1\n20\n2\n30\n3\n0\nENDSEC\n0\nEOF\n",
            {}},
        ExtractionCase{"polyline_without_vertices_makes_an_empty_file",
                       "0\nPOLYLINE\n8\n0\n66\n1\n10\n0\n20\n0\n30\n0\n0\nSEQEND\n0\nEOF\n",
                       {{".001", ""}}},
        ExtractionCase{
            "lwpolyline_is_ignored",
            "0\nLWPOLYLINE\n90\n1\n10\n5\n20\n6\n0\nPOLYLINE\n0\nVERTEX\n10\n1\n20\n2\n30\n"
            "3\n0\nSEQEND\n0\nLWPOLYLINE\n90\n1\n10\n7\n20\n8\n0\nEOF\n",
            {{".001", " 1   2   3 \r\n"}}},
        ExtractionCase{
            "seqend_met_while_searching_for_10_does_not_end_the_polyline",
            "0\nPOLYLINE\n0\nVERTEX\n8\nSEQEND\n10\n1\n20\n2\n30\n3\n0\nVERTEX\n10\n4\n20\n"
            "5\n30\n6\n0\nSEQEND\n0\nEOF\n",
            {{".001", " 1   2   3 \r\n 4   5   6 \r\n"}}},
        ExtractionCase{
            "seqend_as_layer_ends_the_polyline",
            "0\nPOLYLINE\n8\nSEQEND\n0\nVERTEX\n10\n1\n20\n2\n30\n3\n0\nSEQEND\n0\nEOF\n",
            {{".001", ""}}},
        // The polyline's own 10 is taken as that of a vertex.
        ExtractionCase{
            "layer_named_vertex_adds_the_polyline_point",
            "0\nPOLYLINE\n8\nVERTEX\n66\n1\n10\n0\n20\n0\n30\n5\n0\nVERTEX\n10\n1\n20\n2\n"
            "30\n3\n0\nSEQEND\n0\nEOF\n",
            {{".001", " 0   0   5 \r\n 1   2   3 \r\n"}}},
        // The polyline started by the text runs to the next SEQEND and so
        // takes in the real polyline, whose POLYLINE line is then an
        // ordinary line.
        ExtractionCase{
            "text_value_polyline_swallows_the_next_polyline",
            "0\nTEXT\n1\nPOLYLINE\n0\nPOLYLINE\n0\nVERTEX\n10\n1\n20\n2\n30\n3\n0\nSEQEND\n"
            "0\nEOF\n",
            {{".001", " 1   2   3 \r\n"}}},
        ExtractionCase{
            "markers_are_trimmed_of_spaces_not_tabs",
            "0\n\tPOLYLINE\n0\nVERTEX\n10\n9\n20\n9\n30\n9\n0\nSEQEND\n"
            "0\n  POLYLINE \n0\n VERTEX  \n\t10\n8\n  10  \n1\n20\n2\n30\n3\n0\n SEQEND\n"
            "0\npolyline\n0\nEOF\n",
            {{".001", " 1   2   3 \r\n"}}},
        ExtractionCase{
            "polylines_are_numbered_in_file_order",
            "0\nPOLYLINE\n0\nVERTEX\n10\n1\n20\n1\n30\n1\n0\nSEQEND\n"
            "0\nPOLYLINE\n0\nSEQEND\n"
            "0\nPOLYLINE\n0\nVERTEX\n10\n3\n20\n3\n30\n3\n0\nVERTEX\n10\n3.5\n20\n3.5\n30\n"
            "3.5\n0\nSEQEND\n0\nEOF\n",
            {{".001", " 1   1   1 \r\n"},
             {".002", ""},
             {".003", " 3   3   3 \r\n 3.5   3.5   3.5 \r\n"}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Conversion, PolylineFilesTakeTheNameUpToTheFirstDot)
{
    put("jalan.v2.dxf", "0\nPOLYLINE\n0\nVERTEX\n10\n1\n20\n2\n30\n3\n0\nSEQEND\n");
    run("jalan.v2.dxf", ConversionMode::PolylineToText);
    EXPECT_EQ(filesBeside("jalan.v2.dxf"), (Files{{"jalan.001", " 1   2   3 \r\n"}}));
}

// From the 1000th polyline on, all polylines share the file ending ".nnn".
// The 1000th empties it, so that converting a drawing again gives the same
// files instead of doubling that one.

std::string manyPolylines(int count, std::string_view tail = "0\nENDSEC\n0\nEOF\n")
{
    std::string dxf = "0\nSECTION\n2\nENTITIES\n";
    for (int i = 1; i <= count; ++i) {
        const std::string n = std::to_string(i);
        dxf += "0\nPOLYLINE\n8\n0\n66\n1\n10\n0\n20\n0\n30\n0\n";
        dxf += "0\nVERTEX\n8\n0\n10\n" + n + "\n20\n-" + n + "\n30\n" + n + ".5\n";
        if (i % 2 == 0) dxf += "0\nVERTEX\n8\n0\n10\n" + n + "\n20\n0\n30\n0\n";
        dxf += "0\nSEQEND\n";
    }
    return dxf += tail;
}

// The lines poly2txt writes for polyline i of manyPolylines.
std::string polylineLines(int i)
{
    const std::string n = std::to_string(i);
    std::string lines = " " + n + "  -" + n + "   " + n + ".5 \r\n";
    if (i % 2 == 0) lines += " " + n + "   0   0 \r\n";
    return lines;
}

class SharedOverflowFile : public Conversion, public ::testing::WithParamInterface<int> {};

TEST_P(SharedOverflowFile, HoldsPolylines1000OnAndIsRewrittenByEachRun)
{
    const int count = GetParam();
    put("peta.dxf", manyPolylines(count));
    const std::string stale = "left from an earlier run\r\n";
    put("peta.nnn", stale);

    run("peta.dxf", ConversionMode::PolylineToText);
    const Files first = filesBeside("peta.dxf");
    ASSERT_EQ(first.size(), 1000u) << "999 numbered files and the shared one";
    for (int i : {1, 9, 10, 99, 100, 999}) {
        char suffix[8];
        std::snprintf(suffix, sizeof suffix, ".%03d", i);
        EXPECT_EQ(first.at(std::string("peta") + suffix), polylineLines(i)) << i;
    }
    std::string shared;
    for (int i = 1000; i <= count; ++i)
        shared += polylineLines(i);
    EXPECT_EQ(first.at("peta.nnn"), count < 1000 ? stale : shared);

    run("peta.dxf", ConversionMode::PolylineToText);
    EXPECT_EQ(filesBeside("peta.dxf"), first);
}

INSTANTIATE_TEST_SUITE_P(Counts, SharedOverflowFile, ::testing::Values(999, 1000, 1001));

// Every failure of every converter: the error number, and the folder exactly
// as it was, so the input's bytes and every earlier output are unchanged and
// no file appeared, not even an output's hidden temporary.

using Arrange = std::function<void(const fs::path& dir, ConversionJob& job)>;

struct FailureCase {
    const char* name;
    ConversionMode mode;
    std::string input;                 // relative to the test's folder
    std::optional<std::string> bytes;  // no input file when empty
    int error;
    Arrange arrange = {};  // prepares the failure; may change the job's output name
};

void PrintTo(const FailureCase& c, std::ostream* os)
{
    *os << c.name;
}

Arrange symlink(const char* name, const char* target)
{
    return [=](const fs::path& dir, ConversionJob&) { fs::create_symlink(target, dir / name); };
}

Arrange hardLink(const char* name, const char* target)
{
    return [=](const fs::path& dir, ConversionJob&) {
        fs::create_hard_link(dir / target, dir / name);
    };
}

Arrange folder(const char* name)
{
    return [=](const fs::path& dir, ConversionJob&) { fs::create_directory(dir / name); };
}

Arrange earlierResults(std::vector<std::string> names)
{
    return [=](const fs::path& dir, ConversionJob&) {
        for (const auto& name : names)
            test::writeFile((dir / name).string(), "earlier result");
    };
}

// The output's name spelled through a sibling folder and "..", relative to
// the working folder where it can be (on Windows the temporary folder may be
// on another drive).
void throughDotDot(const fs::path& dir, ConversionJob& job)
{
    fs::create_directory(dir / "sub");
    fs::path relative = fs::relative(dir, fs::current_path());
    if (relative.empty()) relative = dir;
    job.outPath = (relative / "sub" / ".." / fs::path(job.inPath).filename()).string();
}

void throughLinkToTheFolder(const fs::path& dir, ConversionJob& job)
{
    fs::create_directory_symlink(dir, dir / "here");
    job.outPath = (dir / "here" / fs::path(job.inPath).filename()).string();
}

void outputFolderMissing(const fs::path& dir, ConversionJob& job)
{
    job.outPath = (dir / "missing" / "peta.dxf").string();
}

// Every entry of the folder, hidden ones too: a file's time of last change
// and bytes, a link's target, or that it is a folder.
Files folderState(const fs::path& dir)
{
    Files state;
    for (const auto& entry : fs::directory_iterator(dir)) {
        std::string& what = state[entry.path().filename().string()];
        if (entry.is_symlink()) {
            what = "link to " + fs::read_symlink(entry.path()).string();
        } else if (entry.is_regular_file()) {
            what = std::to_string(entry.last_write_time().time_since_epoch().count()) + " " +
                   test::readFile(entry.path().string());
        } else {
            what = "folder";
        }
    }
    return state;
}

std::string triples(int count)
{
    std::string text;
    for (int i = 0; i < count; ++i)
        text += std::to_string(i) + ".5,2," + std::to_string(-i) + "\r\n";
    return text;
}

const std::string point = "0\nPOINT\n10\n1\n20\n2\n30\n3\n";
const std::string polyline = "0\nPOLYLINE\n0\nVERTEX\n10\n1\n20\n2\n30\n3\n0\nSEQEND\n";
// The start of a binary DXF: its sentinel, then codes as bytes and values
// ending in a zero byte.
const std::string binaryDxf("AutoCAD Binary DXF\r\n\x1a\0\0SECTION\0\2ENTITIES\0\0POINT\0", 48);

class Failure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(Failure, RaisesTheErrorAndChangesNoFile)
{
    const FailureCase& c = GetParam();
    const test::TempDir dir;
    if (c.bytes) test::writeFile(dir.file(c.input), *c.bytes);
    ConversionJob job;
    job.fill(dir.file(c.input), fs::path(c.input).filename().string(), c.mode);
    if (c.arrange) c.arrange(dir.path(), job);
    const Files before = folderState(dir.path());
    try {
        convert(job, c.mode);
        ADD_FAILURE() << "the conversion succeeded";
    } catch (const Error& error) {
        EXPECT_EQ(error.number(), c.error) << error.what();
    }
    EXPECT_EQ(folderState(dir.path()), before);
}

constexpr auto txt2point = ConversionMode::TextToPoint;
constexpr auto txt2poly = ConversionMode::TextToPolyline;
constexpr auto point2txt = ConversionMode::PointToText;
constexpr auto poly2txt = ConversionMode::PolylineToText;

INSTANTIATE_TEST_SUITE_P(
    Inputs, Failure,
    ::testing::Values(
        FailureCase{"txt2point_missing_input", txt2point, "peta.txt", std::nullopt, 53},
        FailureCase{"txt2point_input_folder_missing", txt2point, "missing/peta.txt", std::nullopt,
                    76},
        FailureCase{"txt2point_output_is_the_input", txt2point, "peta.dxf", "1,2,3\r\n", 55},
        FailureCase{"txt2point_output_through_a_link_to_the_folder", txt2point, "peta.txt",
                    "1,2,3\r\n", 55, throughLinkToTheFolder},
        // One triple stays in the first buffer; 40,000 fill several buffers
        // that are written while the next ones fill.
        FailureCase{"txt2point_cut_triple", txt2point, "peta.txt", "1,2,3\r\n4,5", 62,
                    earlierResults({"peta.dxf"})},
        FailureCase{"txt2point_cut_triple_after_many_buffers", txt2point, "peta.txt",
                    triples(40000) + "4,5", 62, earlierResults({"peta.dxf"})},
        FailureCase{"txt2point_trailing_comma_leaves_a_field_past_the_end", txt2point, "peta.txt",
                    "1,2,", 62},
        FailureCase{"txt2point_output_is_a_folder", txt2point, "peta.txt", "1,2,3", 75,
                    folder("peta.dxf")},
        FailureCase{"txt2point_output_folder_missing", txt2point, "peta.txt", "1,2,3\r\n", 76,
                    outputFolderMissing},
        FailureCase{"txt2poly_missing_input", txt2poly, "peta.txt", std::nullopt, 53},
        FailureCase{"txt2poly_input_folder_missing", txt2poly, "missing/peta.txt", std::nullopt,
                    76},
        FailureCase{"txt2poly_output_is_the_input", txt2poly, "peta.dxf", "1,2,3\r\n", 55},
        FailureCase{"txt2poly_output_is_a_symbolic_link_to_the_input", txt2poly, "jalan.txt",
                    "1,2,3\r\n", 55, symlink("jalan.dxf", "jalan.txt")},
        FailureCase{"txt2poly_cut_triple", txt2poly, "peta.txt", "1,2,3\r\n4,5\r\n", 62},
        FailureCase{"txt2poly_output_is_a_folder", txt2poly, "peta.txt", "1,2,3", 75,
                    folder("peta.dxf")},
        FailureCase{"point2txt_missing_input", point2txt, "peta.dxf", std::nullopt, 53},
        FailureCase{"point2txt_input_folder_missing", point2txt, "missing/peta.dxf", std::nullopt,
                    76},
        FailureCase{"point2txt_output_is_the_input", point2txt, "peta.txt", point, 55},
        FailureCase{"point2txt_output_is_a_hard_link_to_the_input", point2txt, "titik.dxf", point,
                    55, hardLink("titik.txt", "titik.dxf")},
        FailureCase{"point2txt_output_through_dot_dot", point2txt, "titik.txt", point, 55,
                    throughDotDot},
        FailureCase{"point2txt_point_without_10", point2txt, "titik.dxf",
                    point + "0\nPOINT\n8\n0\n0\nEOF\n", 62},
        FailureCase{"point2txt_cut_point", point2txt, "titik.dxf",
                    point + "0\nPOINT\n10\n4\n20\n5\n30", 62},
        FailureCase{"point2txt_overflowing_z", point2txt, "titik.dxf",
                    point + "0\nPOINT\n10\n4\n20\n5\n30\n1e999\n", 6},
        FailureCase{"point2txt_output_is_a_folder", point2txt, "titik.dxf", point, 75,
                    folder("titik.txt")},
        // Read as text a binary DXF holds no line to find: it is refused, not
        // converted to nothing.
        FailureCase{"point2txt_binary_dxf", point2txt, "titik.dxf", binaryDxf, 54,
                    earlierResults({"titik.txt"})},
        FailureCase{"poly2txt_missing_input", poly2txt, "peta.dxf", std::nullopt, 53},
        FailureCase{"poly2txt_input_folder_missing", poly2txt, "missing/peta.dxf", std::nullopt,
                    76},
        FailureCase{"poly2txt_output_is_the_input", poly2txt, "peta.001", polyline, 55},
        FailureCase{"poly2txt_later_output_links_to_the_input", poly2txt, "peta.dxf",
                    manyPolylines(3), 55, symlink("peta.003", "peta.dxf")},
        FailureCase{"poly2txt_shared_output_is_the_input", poly2txt, "peta.nnn",
                    manyPolylines(1000), 55},
        FailureCase{"poly2txt_cut_second_polyline", poly2txt, "jalan.dxf",
                    polyline + "0\nPOLYLINE\n0\nVERTEX\n10\n7\n20\n8\n30\n9\n0\nVERTEX\n10\n10\n20",
                    62},
        FailureCase{"poly2txt_polyline_without_seqend", poly2txt, "jalan.dxf",
                    "0\nPOLYLINE\n0\nVERTEX\n10\n1\n20\n2\n30\n3\n0\nEOF\n", 62},
        FailureCase{"poly2txt_vertex_without_10", poly2txt, "jalan.dxf",
                    "0\nPOLYLINE\n0\nVERTEX\n10\n1\n20\n2\n30\n3\n0\nVERTEX\n8\n0\n0\nSEQEND\n",
                    62},
        // Without a 30 group the SEQEND line is read as z, so the polyline
        // never ends.
        FailureCase{"poly2txt_vertex_without_30_uses_up_seqend", poly2txt, "jalan.dxf",
                    "0\nPOLYLINE\n0\nVERTEX\n10\n1\n20\n2\n0\nSEQEND\n0\nEOF\n", 62},
        // The 1001 polylines fill .001 to .999 and start .nnn before the cut.
        FailureCase{"poly2txt_cut_after_the_shared_output_started", poly2txt, "jalan.dxf",
                    manyPolylines(1001, "0\nPOLYLINE\n0\nVERTEX\n10\n1\n"), 62,
                    earlierResults({"jalan.001", "jalan.002", "jalan.nnn"})},
        FailureCase{"poly2txt_overflowing_z", poly2txt, "jalan.dxf",
                    "0\nPOLYLINE\n0\nVERTEX\n10\n1\n20\n2\n30\n3\n0\nVERTEX\n10\n4\n20\n5\n30\n"
                    "&H1" +
                        std::string(300, '0') + "\n0\nSEQEND\n",
                    6},
        FailureCase{"poly2txt_output_is_a_folder", poly2txt, "jalan.dxf", polyline, 75,
                    folder("jalan.001")},
        FailureCase{"poly2txt_binary_dxf", poly2txt, "jalan.dxf", binaryDxf, 54,
                    earlierResults({"jalan.001"})}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace konversi
