#include "konversi/error.h"
#include "konversi/number_format.h"
#include "konversi/text_helpers.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <clocale>
#include <string>

namespace konversi {
namespace {

std::string printed(double value)
{
    char out[maxNumberPrintLength];
    return std::string(out, formatNumber(value, out));
}

struct PrintCase {
    double value;
    const char* expected;
};

class PrintForm : public ::testing::TestWithParam<PrintCase> {};

TEST_P(PrintForm, SignPlaceFifteenDigitsTrailingSpace)
{
    EXPECT_EQ(printed(GetParam().value), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, PrintForm,
    ::testing::Values(
        PrintCase{0.0, " 0 "}, PrintCase{-0.0, " 0 "}, PrintCase{66, " 66 "},
        PrintCase{100.5, " 100.5 "}, PrintCase{-20, "-20 "}, PrintCase{123.450, " 123.45 "},
        PrintCase{1.23456789012345678, " 1.23456789012346 "}, PrintCase{0.5, " 0.5 "},
        PrintCase{-0.5, "-0.5 "}, PrintCase{0.1 + 0.2, " 0.3 "},
        PrintCase{1234567.891, " 1234567.891 "}, PrintCase{1e14, " 100000000000000 "},
        PrintCase{999999999999999, " 999999999999999 "}, PrintCase{1e15, " 1E+15 "},
        // The choice of form is made after rounding to 15 digits, ties to even.
        PrintCase{1000000000000005, " 1E+15 "}, PrintCase{999999999999999.9, " 1E+15 "},
        PrintCase{0.001, " 0.001 "}, PrintCase{0.0009999999999999999, " 0.001 "},
        PrintCase{0.00099999999999999, " 9.9999999999999E-04 "}, PrintCase{0.00015, " 1.5E-04 "},
        PrintCase{1e-5, " 1E-05 "}, PrintCase{-2.5e300, "-2.5E+300 "},
        PrintCase{123456789012345680.0, " 1.23456789012346E+17 "},
        PrintCase{DBL_MAX, " 1.79769313486232E+308 "},
        PrintCase{-DBL_MAX, "-1.79769313486232E+308 "},
        PrintCase{4.9406564584124654e-324, " 4.94065645841247E-324 "}));

TEST(PrintForm, IgnoresTheUserLocale)
{
    const char* commaLocales[] = {"de_DE.UTF-8", "id_ID.UTF-8", "fr_FR.UTF-8"};
    for (const char* name : commaLocales) {
        if (std::setlocale(LC_ALL, name) == nullptr) continue;
        EXPECT_EQ(printed(100.5), " 100.5 ");
        EXPECT_EQ(numericValue("1,5"), 1.0);
        std::setlocale(LC_ALL, "C");
        return;
    }
    GTEST_SKIP() << "no comma-decimal locale installed";
}

struct ValueCase {
    const char* text;
    double expected;
};

class NumericValue : public ::testing::TestWithParam<ValueCase> {};

TEST_P(NumericValue, ReadsTheNumberTheTextBeginsWith)
{
    EXPECT_EQ(numericValue(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, NumericValue,
    ::testing::Values(
        ValueCase{"12.5abc", 12.5}, ValueCase{" 1 2", 12}, ValueCase{"abc", 0}, ValueCase{"1,5", 1},
        ValueCase{"", 0}, ValueCase{"\t-\n3", -3}, ValueCase{"12 345.6 7", 12345.67},
        // Only spaces, tabs and line feeds are removed: a CR ends the number.
        ValueCase{"1\r2", 1}, ValueCase{"5.", 5}, ValueCase{"1.e5", 1e5}, ValueCase{".5", 0.5},
        ValueCase{"+.5e1", 5}, ValueCase{"1e+", 1}, ValueCase{"1e5x", 1e5}, ValueCase{"1E-2", 0.01},
        ValueCase{"1e-999", 0}, ValueCase{"1.7976931348623158e308", DBL_MAX},
        ValueCase{"&HFF", 255}, ValueCase{"&hff", 255}, ValueCase{"& H 1 0", 16},
        ValueCase{"&O17", 15}, ValueCase{"&o777", 511}, ValueCase{"&O78", 7}, ValueCase{"&H", 0},
        ValueCase{"-&H10", 0}, ValueCase{"&Q1", 0},
        // Whole numbers beyond 15 bits do not wrap.
        ValueCase{"&HFFFF", 65535}, ValueCase{"&HFFFFFFFFFFFFFFFF", 18446744073709551615.0},
        ValueCase{"&O1777777777777777777777", 18446744073709551615.0}));

TEST(NumericValue, NumbersBeyondADoubleOverflow)
{
    for (std::string text :
         {std::string("1e999"), std::string("-1e999"), std::string("1.7976931348623159e308"),
          "&H" + std::string(300, 'F'), "&O1" + std::string(400, '0')}) {
        try {
            numericValue(text);
            FAIL() << text << " gave a number";
        } catch (const Error& error) {
            EXPECT_EQ(error.number(), 6) << text;
            EXPECT_STREQ(error.what(), "Overflow");
        }
    }
}

TEST(TextHelpers, TrimRemovesSpacesOnly)
{
    EXPECT_EQ(trim("  a b  "), "a b");
    EXPECT_EQ(trim("\ta "), "\ta");
    EXPECT_EQ(trim("   "), "");
    EXPECT_EQ(trim("  10\r"), "10\r");
}

TEST(TextHelpers, DecimalDigits)
{
    EXPECT_EQ(decimalDigits(0), "0");
    EXPECT_EQ(decimalDigits(1), "1");
    EXPECT_EQ(decimalDigits(1000), "1000");
}

}  // namespace
}  // namespace konversi
