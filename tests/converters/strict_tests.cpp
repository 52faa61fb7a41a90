// point2txt and poly2txt with --strict: the DXF read by its group codes.

#include "conversion_fixture.h"
#include "konversi/error.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>

namespace konversi {
namespace {

ConversionOptions strict(ConversionOptions options = {})
{
    options.strict = true;
    return options;
}

ConversionOptions onLayers(std::vector<std::string> layers)
{
    ConversionOptions options = strict();
    options.layers = std::move(layers);
    return options;
}

ConversionOptions inColumns(std::string_view letters, Delimiter delimiter, bool close = false)
{
    ConversionOptions options = strict();
    options.columns = *parseColumns(letters);
    options.delimiter = delimiter;
    options.close = close;
    return options;
}

struct StrictCase {
    const char* name;
    ConversionMode mode;
    ConversionOptions options;
    std::string dxf;
    Files expected;  // by output suffix
};

void PrintTo(const StrictCase& c, std::ostream* os)
{
    *os << c.name;
}

class Strict : public Conversion, public ::testing::WithParamInterface<StrictCase> {};

TEST_P(Strict, WritesWhatTheGroupCodesSay)
{
    const StrictCase& c = GetParam();
    put("peta.dxf", c.dxf);
    run("peta.dxf", c.mode, c.options);
    Files expected;
    for (const auto& [suffix, bytes] : c.expected)
        expected["peta" + suffix] = bytes;
    EXPECT_EQ(filesBeside("peta.dxf"), expected);
}

constexpr auto points = ConversionMode::PointToText;
constexpr auto polylines = ConversionMode::PolylineToText;

INSTANTIATE_TEST_SUITE_P(
    Drawings, Strict,
    ::testing::Values(
        // Colour 10, a layer named 10 or POINT, a TEXT reading POINT: only
        // the POINT entities' own 10, 20 and 30 count; 30 absent is 0.
        StrictCase{"point_groups_whatever_the_other_values",
                   points,
                   strict(),
                   "0\nPOINT\n8\n10\n62\n10\n10\n1.5\n20\n2.5\n30\n3.5\n"
                   "0\nPOINT\n8\nPOINT\n10\n4\n20\n5\n"
                   "0\nTEXT\n1\nPOINT\n10\n9\n20\n9\n30\n9\n0\nEOF\n",
                   {{".txt", " 1.5   2.5   3.5 \r\n 4   5   0 \r\n"}}},
        StrictCase{"only_the_entities_section_counts",
                   points,
                   strict(),
                   "0\nSECTION\n2\nHEADER\n9\n$INSBASE\n10\n7\n20\n7\n30\n7\n0\nENDSEC\n"
                   "0\nSECTION\n2\nBLOCKS\n0\nBLOCK\n2\nB\n0\nPOINT\n10\n8\n20\n8\n30\n8\n"
                   "0\nENDBLK\n0\nENDSEC\n"
                   "0\nSECTION\n2\nENTITIES\n0\nPOINT\n10\n1\n20\n2\n30\n3\n"
                   "0\nINSERT\n2\nB\n10\n5\n20\n5\n30\n0\n0\nENDSEC\n"
                   "0\nSECTION\n2\nOBJECTS\n0\nPOINT\n10\n9\n20\n9\n0\nENDSEC\n0\nEOF\n",
                   {{".txt", " 1   2   3 \r\n"}}},
        StrictCase{"nothing_after_eof_is_read",
                   points,
                   strict(),
                   "0\nPOINT\n10\n1\n20\n2\n30\n3\n0\nEOF\n\nnot a pair\n",
                   {{".txt", " 1   2   3 \r\n"}}},
        StrictCase{"byte_order_mark_mixed_line_ends_and_spaced_codes",
                   points,
                   strict(),
                   "\xEF\xBB\xBF  0\r\nPOINT\r 10 \n1\r\n20\r2\n30\n3\r\n0\nEOF",
                   {{".txt", " 1   2   3 \r\n"}}},
        StrictCase{"layers_compared_without_letter_case",
                   points,
                   onLayers({"jalan", "SUNGAI"}),
                   "0\nPOINT\n8\nJALAN\n10\n1\n20\n1\n0\nPOINT\n8\nJalan2\n10\n2\n20\n2\n"
                   "0\nPOINT\n10\n3\n20\n3\n0\nPOINT\n8\nSungai\n10\n4\n20\n4\n0\nEOF\n",
                   {{".txt", " 1   1   0 \r\n 4   4   0 \r\n"}}},
        StrictCase{"columns_joined_by_the_delimiter_without_sign_place",
                   points,
                   inColumns("pnez-d", Delimiter::Semicolon),
                   "0\nPOINT\n8\nTITIK\n10\n-594018.1440\n20\n9218479.287\n30\n1e-5\n"
                   "0\nPOINT\n10\n1\n20\n2\n0\nEOF\n",
                   {{".txt", "1;9218479.287;-594018.144;1E-05;;TITIK\r\n2;2;1;0;;0\r\n"}}},
        // A written field that would not read back as it stands is quoted.
        StrictCase{"layer_holding_the_delimiter_or_quotes_is_quoted",
                   points,
                   inColumns("xyzd", Delimiter::Comma),
                   "0\nPOINT\n8\nRoad, main\n10\n1\n20\n1\n0\nPOINT\n8\nsay \"hi\"\n10\n2\n20\n2\n"
                   "0\nEOF\n",
                   {{".txt", "1,1,0,\"Road, main\"\r\n2,2,0,\"say \"\"hi\"\"\"\r\n"}}},
        StrictCase{"columns_joined_by_tabs",
                   points,
                   inColumns("pxyz", Delimiter::Tab),
                   "0\nPOINT\n10\n1.5\n20\n-2\n30\n3\n0\nEOF\n",
                   {{".txt", "1\t1.5\t-2\t3\r\n"}}},
        StrictCase{"columns_joined_by_spaces_with_a_spaced_layer_quoted",
                   points,
                   inColumns("pxyzd", Delimiter::Space),
                   "0\nPOINT\n8\nRoad main\n10\n1.5\n20\n-2\n30\n3\n0\nPOINT\n8\nA\n10\n1\n20\n1\n"
                   "0\nEOF\n",
                   {{".txt", "1 1.5 -2 3 \"Road main\"\r\n2 1 1 0 A\r\n"}}},
        // Paper space (67 = 1) holds title blocks and viewport frames, not
        // the drawing: R12 puts 67 after the type, R2000 after AcDbEntity.
        StrictCase{"paper_space_points_are_passed_over",
                   points,
                   strict(),
                   "0\nPOINT\n67\n1\n8\nTITLE\n10\n9\n20\n9\n0\nPOINT\n67\n0\n10\n1\n20\n2\n"
                   "0\nPOINT\n5\n2F\n330\n1B\n100\nAcDbEntity\n67\n1\n8\n0\n100\nAcDbPoint\n"
                   "10\n8\n20\n8\n30\n8\n0\nPOINT\n10\n3\n20\n4\n0\nEOF\n",
                   {{".txt", " 1   2   0 \r\n 3   4   0 \r\n"}}},
        StrictCase{"paper_space_polylines_are_passed_over",
                   polylines,
                   strict(),
                   "0\nPOLYLINE\n67\n1\n70\n8\n0\nVERTEX\n67\n1\n10\n9\n20\n9\n30\n9\n"
                   "0\nSEQEND\n67\n1\n"
                   "0\nLWPOLYLINE\n5\n30\n330\n1B\n100\nAcDbEntity\n67\n1\n8\nFRAME\n"
                   "100\nAcDbPolyline\n90\n1\n10\n8\n20\n8\n"
                   "0\nLWPOLYLINE\n100\nAcDbEntity\n67\n1\n100\nAcDbPolyline\n90\n0\n"
                   "0\nPOLYLINE\n0\nVERTEX\n10\n1\n20\n2\n0\nSEQEND\n"
                   "0\nLWPOLYLINE\n100\nAcDbEntity\n8\n0\n10\n3\n20\n4\n0\nEOF\n",
                   {{".001", " 1   2   0 \r\n"}, {".002", " 3   4   0 \r\n"}}},
        // ezdxf reads a code or number with tabs around it.
        StrictCase{"tabs_around_codes_and_numbers",
                   polylines,
                   strict(),
                   "0\nPOLYLINE\n\t70\n\t8 \n0\nVERTEX\n 10\t\n\t1.5\t\n20\n2\n\t30\t\n 3\t\n"
                   "0\nSEQEND\n0\nEOF\n",
                   {{".001", " 1.5   2   3 \r\n"}}},
        StrictCase{"nine_digit_flags_are_read",
                   polylines,
                   strict(),
                   "0\nPOLYLINE\n30\n5\n70\n000000008\n0\nVERTEX\n10\n1\n20\n2\n30\n3\n"
                   "0\nSEQEND\n0\nEOF\n",
                   {{".001", " 1   2   3 \r\n"}}},
        StrictCase{"polyline_2d_vertices_take_its_elevation",
                   polylines,
                   strict(),
                   "0\nPOLYLINE\n66\n1\n10\n0\n20\n0\n30\n12.5\n0\nVERTEX\n10\n1\n20\n2\n"
                   "0\nVERTEX\n10\n3\n20\n4\n30\n99\n0\nSEQEND\n0\nEOF\n",
                   {{".001", " 1   2   12.5 \r\n 3   4   12.5 \r\n"}}},
        StrictCase{"polyline_3d_and_mesh_vertices_keep_their_own_z",
                   polylines,
                   strict(),
                   "0\nPOLYLINE\n30\n5\n70\n8\n0\nVERTEX\n10\n1\n20\n2\n30\n3\n"
                   "0\nVERTEX\n10\n4\n20\n5\n0\nSEQEND\n"
                   "0\nPOLYLINE\n30\n5\n70\n16\n0\nVERTEX\n10\n6\n20\n7\n30\n8\n0\nSEQEND\n"
                   "0\nEOF\n",
                   {{".001", " 1   2   3 \r\n 4   5   0 \r\n"}, {".002", " 6   7   8 \r\n"}}},
        StrictCase{"polyface_face_records_are_skipped",
                   polylines,
                   strict(),
                   "0\nPOLYLINE\n70\n64\n0\nVERTEX\n10\n1\n20\n2\n30\n3\n70\n192\n"
                   "0\nVERTEX\n10\n0\n20\n0\n30\n0\n70\n128\n71\n1\n0\nSEQEND\n0\nEOF\n",
                   {{".001", " 1   2   3 \r\n"}}},
        StrictCase{"lwpolyline_z_is_its_elevation_or_0",
                   polylines,
                   strict(),
                   "0\nLWPOLYLINE\n90\n2\n70\n1\n38\n7.25\n10\n1\n20\n2\n40\n0\n10\n3\n20\n4\n"
                   "0\nLWPOLYLINE\n10\n5\n20\n6\n0\nEOF\n",
                   {{".001", " 1   2   7.25 \r\n 3   4   7.25 \r\n"}, {".002", " 5   6   0 \r\n"}}},
        StrictCase{"close_repeats_the_first_vertex_of_closed_ones",
                   polylines,
                   inColumns("pxyzd", Delimiter::Comma, true),
                   "0\nPOLYLINE\n8\nA\n70\n1\n0\nVERTEX\n10\n1\n20\n1\n0\nVERTEX\n10\n2\n20\n2\n"
                   "0\nSEQEND\n0\nLWPOLYLINE\n8\nB\n70\n1\n10\n3\n20\n3\n10\n4\n20\n4\n"
                   "0\nLWPOLYLINE\n8\nC\n70\n0\n10\n5\n20\n5\n10\n6\n20\n6\n"
                   "0\nLWPOLYLINE\n8\nD\n70\n1\n0\nEOF\n",
                   {{".001", "1,1,1,0,A\r\n2,2,2,0,A\r\n1,1,1,0,A\r\n"},
                    {".002", "1,3,3,0,B\r\n2,4,4,0,B\r\n1,3,3,0,B\r\n"},
                    {".003", "1,5,5,0,C\r\n2,6,6,0,C\r\n"},
                    {".004", ""}}},
        // A polyline cut short of its SEQEND still ends at the next entity,
        // which is read in turn.
        StrictCase{"both_kinds_numbered_in_file_order_on_the_chosen_layers",
                   polylines,
                   onLayers({"a"}),
                   "0\nPOLYLINE\n8\nA\n0\nVERTEX\n10\n1\n20\n1\n"
                   "0\nLWPOLYLINE\n8\na\n10\n2\n20\n2\n"
                   "0\nPOLYLINE\n8\nB\n0\nVERTEX\n10\n3\n20\n3\n0\nSEQEND\n"
                   "0\nLWPOLYLINE\n8\nA\n0\nEOF\n",
                   {{".001", " 1   1   0 \r\n"}, {".002", " 2   2   0 \r\n"}, {".003", ""}}}),
    [](const auto& info) { return std::string(info.param.name); });

struct StrictFailureCase {
    const char* name;
    ConversionMode mode;
    std::string dxf;
    ErrorCode code;
    std::optional<std::uint64_t> line;
};

void PrintTo(const StrictFailureCase& c, std::ostream* os)
{
    *os << c.name;
}

class StrictFailure : public Conversion, public ::testing::WithParamInterface<StrictFailureCase> {};

TEST_P(StrictFailure, RaisesTheErrorAtItsLineAndWritesNothing)
{
    const StrictFailureCase& c = GetParam();
    put("peta.dxf", c.dxf);
    try {
        run("peta.dxf", c.mode, strict());
        FAIL() << "no error";
    } catch (const Error& error) {
        EXPECT_EQ(error.code(), c.code);
        EXPECT_EQ(error.line(), c.line);
    }
    EXPECT_EQ(filesBeside("peta.dxf"), Files{});
}

INSTANTIATE_TEST_SUITE_P(
    Drawings, StrictFailure,
    ::testing::Values(
        StrictFailureCase{"code_line_no_integer", points, "0\nPOINT\n10.0\n1\n",
                          ErrorCode::TypeMismatch, 3},
        StrictFailureCase{"code_of_ten_digits", points, "0\nPOINT\n0000000010\n1\n",
                          ErrorCode::TypeMismatch, 3},
        StrictFailureCase{"code_then_a_letter", points, "0\nPOINT\n 10x \r\n1\n",
                          ErrorCode::TypeMismatch, 3},
        StrictFailureCase{"coordinate_then_a_word", points, "0\nPOINT\n10\n 1.5 x\n",
                          ErrorCode::TypeMismatch, 4},
        StrictFailureCase{"blank_code_line", polylines, "0\nPOLYLINE\n\n1\n",
                          ErrorCode::TypeMismatch, 3},
        StrictFailureCase{"coordinate_no_number", points, "0\nPOINT\n10\n12abc\n",
                          ErrorCode::TypeMismatch, 4},
        StrictFailureCase{"flags_no_integer", polylines, "0\nPOLYLINE\n70\n1.5\n",
                          ErrorCode::TypeMismatch, 4},
        StrictFailureCase{"flags_of_ten_digits", polylines, "0\nPOLYLINE\n70\n0000000008\n",
                          ErrorCode::TypeMismatch, 4},
        StrictFailureCase{"after_skipped_groups", points, "0\nPOINT\n5\nABC\n62\n7\n999\n\n10\nx\n",
                          ErrorCode::TypeMismatch, 10},
        StrictFailureCase{"after_a_passed_entity", points,
                          "0\nTEXT\n1\nhi\n7\nSTANDARD\n0\nPOINT\n10\nx\n", ErrorCode::TypeMismatch,
                          10},
        // Entities read in one pass count their lines; one with a bad value
        // after good groups is read again group by group.
        StrictFailureCase{"after_points_read_whole", points,
                          "0\nPOINT\n8\nA\n10\n1\n20\n2\n30\n3\n"
                          "0\nPOINT\n8\nA\n10\n1\n20\n2\n30\n3\n"
                          "0\nPOINT\n10\n1\n20\nx\n0\nEOF\n",
                          ErrorCode::TypeMismatch, 26},
        StrictFailureCase{"after_vertices_read_whole", polylines,
                          "0\nPOLYLINE\n8\nA\n66\n1\n70\n8\n"
                          "0\nVERTEX\n10\n1\n20\n2\n30\n3\n70\n32\n"
                          "0\nVERTEX\n10\n1\n70\n1.5\n0\nSEQEND\n0\nEOF\n",
                          ErrorCode::TypeMismatch, 24},
        StrictFailureCase{"coordinate_beyond_a_double", points, "0\nPOINT\n10\n1e999\n",
                          ErrorCode::Overflow, 4},
        StrictFailureCase{"cut_inside_a_pair", polylines, "0\nLWPOLYLINE\n10\n",
                          ErrorCode::InputPastEndOfFile, std::nullopt},
        StrictFailureCase{"cut_inside_a_passed_entity", points, "0\nTEXT\n8\nA\n10\n",
                          ErrorCode::InputPastEndOfFile, std::nullopt},
        StrictFailureCase{"cut_after_a_tabbed_code_in_a_passed_entity", points,
                          "0\nTEXT\n8\nA\n\t10\n", ErrorCode::InputPastEndOfFile, std::nullopt},
        StrictFailureCase{"binary_dxf", points,
                          std::string("AutoCAD Binary DXF\r\n\x1a\0\0\0SECTION\0", 29),
                          ErrorCode::BadFileMode, std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace konversi
