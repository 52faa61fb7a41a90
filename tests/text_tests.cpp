#include "konversi/error.h"
#include "number/field_value.h"
#include "number/number.h"
#include "number/number_format.h"
#include "read/field_rule.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <clocale>
#include <random>
#include <string>
#include <vector>

namespace konversi::detail {
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
        PrintCase{-0.5, "-0.5 "}, PrintCase{0.1 + 0.2, " 0.3 "}, PrintCase{0.1 + 0.7, " 0.8 "},
        PrintCase{581364.781 + 0.125, " 581364.906 "}, PrintCase{-0.00123, "-0.00123 "},
        PrintCase{1234567.891, " 1234567.891 "}, PrintCase{581000, " 581000 "},
        PrintCase{12345670000, " 12345670000 "}, PrintCase{1234567.8, " 1234567.8 "},
        PrintCase{0.0125, " 0.0125 "}, PrintCase{1e14, " 100000000000000 "},
        PrintCase{999999999999999, " 999999999999999 "}, PrintCase{1e15, " 1E+15 "},
        // The choice of form is made after rounding to 15 digits, ties to even.
        PrintCase{1000000000000005, " 1E+15 "}, PrintCase{999999999999999.9, " 1E+15 "},
        PrintCase{0.001, " 0.001 "}, PrintCase{0.0009999999999999999, " 0.001 "},
        PrintCase{0.00099999999999999, " 9.9999999999999E-04 "}, PrintCase{0.00015, " 1.5E-04 "},
        PrintCase{1e-5, " 1E-05 "}, PrintCase{1e-10, " 1E-10 "}, PrintCase{-2.5e300, "-2.5E+300 "},
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
        EXPECT_EQ(detail::numericValue("1,5"), 1.0);
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
    EXPECT_EQ(detail::numericValue(GetParam().text), GetParam().expected);
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
            detail::numericValue(text);
            FAIL() << text << " gave a number";
        } catch (const Error& error) {
            EXPECT_EQ(error.number(), 6) << text;
            EXPECT_STREQ(error.what(), "Overflow");
        }
    }
}

// A value of any length is exact: leading zeros are passed over and digits
// past the 800th significant one still round the last kept digit.
TEST(NumericValue, LongSpellingsAreExact)
{
    const std::string zeros(70'000, '0');
    const std::string nines(900, '9');
    const std::string tail(1000, '0');
    EXPECT_EQ(detail::numericValue(zeros + "123.5"), 123.5);
    EXPECT_EQ(detail::numericValue("-" + zeros + "1" + zeros + "e-70000"), -1.0);
    EXPECT_EQ(detail::numericValue("0." + zeros + "25e70001"), 2.5);
    EXPECT_EQ(detail::numericValue("1." + nines), 2.0);
    // Halfway between 1 and the next double, then a 1 far past the kept digits.
    EXPECT_EQ(detail::numericValue("1.00000000000000011102230246251565404236316680908203125"), 1.0);
    EXPECT_EQ(detail::numericValue("1.00000000000000011102230246251565404236316680908203125" +
                                   tail + "1"),
              1.0000000000000002);
    // Halfway between 10 and the next double, a 1 past the 800th digit and a
    // 0 after it: the 1 decides.
    EXPECT_EQ(detail::numericValue("10.00000000000000088817841970012523233890533447265625" +
                                   std::string(800, '0') + "10"),
              10.000000000000002);
    EXPECT_EQ(detail::numericValue("&H" + zeros + "FF"), 255.0);
    // A field's spelling past the 19 digits of the fast conversion: 30 digits,
    // a halfway case that ties to even, and 800 digits.
    EXPECT_EQ(classifyUnquoted("123456789012345678901234567890").number(),
              123456789012345678901234567890.0);
    EXPECT_EQ(classifyUnquoted("9007199254740993").number(), 9007199254740992.0);
    EXPECT_EQ(classifyUnquoted("0." + std::string(798, '3')).number(), 1.0 / 3.0);
}

// The print form of a number field is copied from its spelling when that
// already is the print form; the copy must give exactly the bytes that
// formatting the value gives.
void expectCopyMatchesFormat(const std::string& spelling)
{
    const FieldValue field = classifyUnquoted(spelling);
    ASSERT_TRUE(field.isNumber()) << spelling;
    std::string_view digits = spelling;
    if (digits.front() == '+') digits.remove_prefix(1);
    double value = 0.0;
    std::from_chars(digits.data(), digits.data() + digits.size(), value);
    EXPECT_EQ(field.number(), value) << spelling;
    char viaField[maxNumberPrintLength];
    char viaValue[maxNumberPrintLength];
    ASSERT_EQ(std::string(viaField, formatNumberField(field, viaField)),
              std::string(viaValue, formatNumber(value, viaValue)))
        << spelling;
}

TEST(PrintFormCopy, EdgeSpellings)
{
    for (const char* spelling :
         {// the 0.001 limit of plain form
          "0.001", "0.0010", "0.0009", "0.00099999999999999", "0.0009999999999999999", "-0.001",
          "0.012345678901234", "0.0012345678901234", "0.00123456789012345",
          // the 1e15 limit
          "999999999999999", "999999999999999.5", "1000000000000000", "1000000000000005",
          "99999999999999.99", "9999999999999995", "1234567890123456", "1.23456789012345678",
          // zeros, signs, points
          "0", "-0", "+0", "00", "0.", "-0.", ".0", ".5", "-.5", "+.5", "5.", "0.50", "007", "10.0",
          "+12.5", "1e0", "1E+15", "1.5e-4", "000.000",
          // exponents at both ends of the range
          "1.7976931348623157e308", "4.9e-324", "1e-320", "-1e-999"})
        expectCopyMatchesFormat(spelling);
}

TEST(PrintFormCopy, EveryDigitCountWithEveryPointPlace)
{
    for (int digits = 1; digits <= 17; ++digits) {
        for (char fill : {'1', '9', '0'}) {
            std::string body(digits, fill);
            body.front() = fill == '0' ? '1' : fill;
            for (int point = 0; point <= digits; ++point) {
                std::string text = body;
                text.insert(text.begin() + point, '.');
                expectCopyMatchesFormat(text);
                expectCopyMatchesFormat("-" + text);
                if (point > 0) expectCopyMatchesFormat("0." + std::string(point - 1, '0') + body);
            }
        }
    }
}

TEST(PrintFormCopy, SurveyCoordinates)
{
    // Eastings, northings and elevations with 0 to 4 decimals, as exported.
    std::mt19937 random(7);
    for (int decimals = 0; decimals <= 4; ++decimals) {
        for (int i = 0; i < 20'000; ++i) {
            std::string text = std::to_string(random() % 1'000'000'000'000ULL);
            if (decimals > 0) {
                text.insert(0, decimals + 1 > static_cast<int>(text.size()) ? decimals : 0, '0');
                text.insert(text.end() - decimals, '.');
            }
            expectCopyMatchesFormat(i % 2 == 0 ? text : "-" + text);
            if (HasFatalFailure()) return;
        }
    }
}

// The digit-map scan of the common spelling must agree with the walk of
// the grammar on every text, with room behind it as in a reader's buffer;
// the longer tails reach the map's end, where the digit limits are told.
TEST(NumberScan, EveryShortTextScansAsTheGrammarWalks)
{
    constexpr std::string_view bytes = "-+0159.eE ,x";
    std::string text;
    const auto expectSameScan = [&](const std::string& spelling) {
        const std::string room = spelling + std::string(24, 'x');
        const char* const begin = room.data();
        const char* const end = begin + room.size();
        for (const char mark : {'.', ','}) {
            const NumberScan walked = scanNumberByWalk(begin, end, mark);
            const NumberScan scanned = scanNumber(begin, end, mark);
            ASSERT_EQ(scanned.stop - begin, walked.stop - begin) << spelling << ' ' << mark;
            ASSERT_EQ(scanned.isNumber, walked.isNumber) << spelling;
            ASSERT_EQ(scanned.printLength, walked.printLength) << spelling << ' ' << mark;
        }
    };
    for (std::size_t length = 0, count = 1; length <= 5; ++length, count *= bytes.size()) {
        for (std::size_t n = 0; n < count; ++n) {
            text.clear();
            for (std::size_t i = 0, rest = n; i < length; ++i, rest /= bytes.size())
                text += bytes[rest % bytes.size()];
            for (const char* tail :
                 {"", "0", "00", "12345678", "5", ".5", "e1", "0000000", "1234567.123456789",
                  "12345678.12345678", "12345678901234567", "1.123456789012345"}) {
                expectSameScan(text + tail);
                if (HasFatalFailure()) return;
            }
        }
    }
}

TEST(NumberScan, EveryShortCodeLineSplitsAsTheWalkSplitsIt)
{
    constexpr std::string_view bytes = " 019-+\t\r\nx";
    std::string text;
    for (std::size_t length = 0, count = 1; length <= 6; ++length, count *= bytes.size()) {
        for (std::size_t n = 0; n < count; ++n) {
            text.clear();
            for (std::size_t i = 0, rest = n; i < length; ++i, rest /= bytes.size())
                text += bytes[rest % bytes.size()];
            for (const char* tail : {"\n", "\r\n", "\r", "  \n", "12\n", "", "123456789"}) {
                const std::string line = text + tail + std::string(16, 'x');
                const char* const end = line.data() + line.size();
                int walked = -1;
                int split = -1;
                const char* const walkedNext =
                    splitSmallWholeNumberLineByWalk(line.data(), end, false, walked);
                const char* const next = splitSmallWholeNumberLine(line.data(), end, false, split);
                ASSERT_EQ(next, walkedNext) << text << tail;
                ASSERT_EQ(split, walked) << text << tail;
            }
        }
    }
}

// A block scan must stop where a byte loop stops, for every length and
// place of the wanted byte, among bytes one above and below it (a word's
// borrow marks the byte above a match) and bytes above 127 (a vector
// compares them signed): on the words every machine has, and on the
// vectors of this one.
template <class Block>
const char* firstLineEndByBlocks(const char* p, const char* end)
{
    const auto lineEnds = [](const auto& block) { return block.equal('\r') | block.equal('\n'); };
    if (findInBlocks<Block>(p, end, lineEnds)) return p;
    while (p != end && !is(*p, LineEnd))
        ++p;
    return p;
}

TEST(ByteScan, BlocksFindWhatAByteLoopFinds)
{
    constexpr std::string_view decoys = "\x0c\x0e\x09\x0b\x8d\xff,a";
    for (std::size_t length = 0; length <= 40; ++length) {
        for (std::size_t at = 0; at <= length; ++at) {
            std::string bytes(length, ' ');
            for (std::size_t i = 0; i < length; ++i)
                bytes[i] = decoys[(i * 5 + at) % decoys.size()];
            if (at < length) bytes[at] = at % 2 == 0 ? '\r' : '\n';
            const char* const begin = bytes.data();
            const char* const end = begin + length;
            ASSERT_EQ(firstLineEndByBlocks<WordBlock>(begin, end) - begin, at) << length;
            ASSERT_EQ(firstLineEndByBlocks<WideBlock>(begin, end) - begin, at) << length;
            ASSERT_EQ(passToStop<lineStop>(begin, end) - begin, at) << length;
            const auto highByte = std::min(bytes.find('\x8d'), at);
            ASSERT_EQ(findByte<true>(begin, end, '\x8d') - begin, std::min(highByte, length))
                << length;
        }
    }
}

// Each kind of token stops at every byte of its class and at no other, in
// the first block, a later one and the tail.
TEST(ByteScan, EveryStopClassStopsAtItsBytesOnly)
{
    for (const unsigned char stop : {lineStop, quotedStop, numberStop, fieldStop}) {
        for (int byte = 0; byte < 256; ++byte) {
            for (const std::size_t at : {0, 7, 15, 16, 23, 31, 39}) {
                std::string bytes(40, 'x');
                bytes[at] = static_cast<char>(byte);
                const std::size_t expected = is(bytes[at], stop) ? at : bytes.size();
                const char* const begin = bytes.data();
                ASSERT_EQ(passToStop(begin, begin + bytes.size(), stop) - begin, expected)
                    << int{stop} << ' ' << byte << ' ' << at;
            }
        }
    }
}

// The maps mark each class's bytes and no other, wherever in the block they
// stand: high bytes too, which a signed compare could take for digits. The
// vector way and the portable way agree.
TEST(ByteScan, MapsMarkTheirBytesOnly)
{
    for (int byte = 0; byte < 256; ++byte) {
        for (const unsigned at : {0u, 7u, 8u, 15u, 16u, 63u}) {
            std::string bytes(LineMaps::size, 'x');
            bytes[at] = static_cast<char>(byte);
            const auto bit = [at](bool marked) { return marked ? std::uint64_t{1} << at : 0; };
            const bool digit = byte >= '0' && byte <= '9';
            for (const LineMaps& maps :
                 {LineMaps::load(bytes.data()), LineMaps::loadByteByByte(bytes.data())}) {
                ASSERT_EQ(maps.lineFeeds, bit(byte == '\n')) << byte << ' ' << at;
                ASSERT_EQ(maps.returns, bit(byte == '\r')) << byte << ' ' << at;
                ASSERT_EQ(maps.spaces, bit(byte == ' ')) << byte << ' ' << at;
                ASSERT_EQ(maps.digits, bit(digit)) << byte << ' ' << at;
            }
            if (at >= DigitMap::size) continue;
            for (const DigitMap& map :
                 {DigitMap::load(bytes.data()), DigitMap::loadByteByByte(bytes.data())}) {
                ASSERT_EQ(map.digits, bit(digit)) << byte << ' ' << at;
                ASSERT_EQ(map.zeros, bit(byte == '0')) << byte << ' ' << at;
            }
        }
    }
}

}  // namespace
}  // namespace konversi::detail
