#include "konversi/field_value.h"
#include "konversi/number_format.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace konversi {
namespace {

// The print form the slow way: the value read with from_chars, then
// formatted. A field whose spelling is copied must give exactly these bytes.
std::string printedFromValue(std::string_view spelling)
{
    if (!spelling.empty() && spelling.front() == '+') spelling.remove_prefix(1);
    double value = 0.0;
    std::from_chars(spelling.data(), spelling.data() + spelling.size(), value);
    char out[maxNumberPrintLength];
    return std::string(out, formatNumber(value, out));
}

struct Tally {
    std::uint64_t copied = 0;
    std::uint64_t formatted = 0;
};

// Checks one spelling through the field reader's classification and the
// writer's print path; counts which way it went.
void expectSameBytes(const std::string& spelling, Tally& tally)
{
    const FieldValue field = classifyUnquoted(spelling);
    ASSERT_TRUE(field.isNumber()) << spelling;
    char out[maxNumberPrintLength];
    const std::string printed(out, formatNumberField(field, out));
    ASSERT_EQ(printed, printedFromValue(spelling)) << spelling;
    char spelled[maxNumberPrintLength];
    const std::size_t spelledLength =
        spelling.size() <= maxNumberPrintLength - 2 ? formatSpelledNumber(spelling, spelled) : 0;
    ASSERT_EQ(spelledLength != 0, field.spellingIsPrintForm()) << spelling;
    if (field.spellingIsPrintForm()) {
        ASSERT_EQ(std::string(spelled, spelledLength), printed) << spelling;
        ++tally.copied;
    } else {
        ++tally.formatted;
    }
}

// Spellings built from parts: every sign, 1 to 17 digits (with leading and
// trailing zeros as drawn), a point at every place or none, and sometimes an
// exponent.
class SpellingMaker {
public:
    explicit SpellingMaker(std::uint32_t seed) : random_(seed) {}

    std::string next()
    {
        static constexpr std::string_view signs[] = {"", "-", "+"};
        std::string text(signs[pick(3)]);
        const int digits = 1 + static_cast<int>(pick(17));
        std::string body;
        for (int i = 0; i < digits; ++i)
            body += digit(i, digits);
        const std::size_t point = pick(digits + 2);  // past the end: no point
        if (point <= body.size())
            body.insert(body.begin() + static_cast<std::ptrdiff_t>(point), '.');
        if (body == ".") body = "0.";
        text += body;
        if (pick(8) == 0) {
            text += pick(2) ? 'e' : 'E';
            text += signs[pick(3)];
            text += std::to_string(pick(25));
        }
        return text;
    }

private:
    std::size_t pick(std::size_t n)
    {
        return std::uniform_int_distribution<std::size_t>(0, n - 1)(random_);
    }

    // Zeros are drawn more often at both ends, where the print form drops or
    // keeps them.
    char digit(int index, int count)
    {
        const bool end = index < 2 || index >= count - 2;
        if (pick(end ? 3 : 10) == 0) return '0';
        return static_cast<char>('0' + pick(10));
    }

    std::mt19937 random_;
};

TEST(NumberPrintIdentity, CopiedSpellingsMatchTheFormattedValueOverMillionsOfRandomNumbers)
{
    SpellingMaker maker(20240601);
    Tally tally;
    for (int i = 0; i < 3'000'000; ++i) {
        expectSameBytes(maker.next(), tally);
        if (HasFatalFailure()) return;
    }
    // Both paths must really have been taken for the comparison to mean anything.
    EXPECT_GT(tally.copied, 500'000u);
    EXPECT_GT(tally.formatted, 500'000u);
}

TEST(NumberPrintIdentity, SurveyCoordinatesOfEveryShape)
{
    // Eastings, northings and elevations with 0 to 4 decimals, as exported.
    std::mt19937 random(7);
    Tally tally;
    for (int decimals = 0; decimals <= 4; ++decimals) {
        for (int i = 0; i < 200'000; ++i) {
            const long long thousandths =
                static_cast<long long>(random() % 2'000'000'000'000ULL) - 1'000'000'000'000LL;
            std::string text = std::to_string(thousandths);
            if (decimals > 0) {
                const bool negative = text.front() == '-';
                std::string digits = negative ? text.substr(1) : text;
                if (digits.size() <= static_cast<std::size_t>(decimals)) {
                    digits.insert(0, decimals + 1 - digits.size(), '0');
                }
                digits.insert(digits.end() - decimals, '.');
                text = negative ? std::string("-").append(digits) : digits;
            }
            expectSameBytes(text, tally);
            if (HasFatalFailure()) return;
        }
    }
    EXPECT_GT(tally.copied, tally.formatted);
}

TEST(NumberPrintIdentity, EdgeSpellings)
{
    const std::vector<std::string> spellings = {
        // the 0.001 limit of plain form
        "0.001", "0.0010", "0.00100", "0.0009", "0.00099999999999999", "0.000999999999999999",
        "0.0009999999999999999", "-0.001", "0.01", "0.1", "0.012345678901234", "0.0012345678901234",
        "0.00123456789012345", "0.001234567890123456",
        // the 1e15 limit
        "999999999999999", "999999999999999.4", "999999999999999.5", "999999999999999.9",
        "1000000000000000", "1000000000000005", "100000000000000", "99999999999999.99",
        "-999999999999999", "9999999999999995", "123456789012345", "1234567890123456",
        "12345678901234.5", "1234567890123.45", "1.23456789012345", "1.234567890123456",
        "1.23456789012345678",
        // zeros, signs, points
        "0", "-0", "+0", "00", "0.", "-0.", ".0", ".5", "-.5", "+.5", "5.", "-5.", "0.5", "-0.5",
        "0.50", "007", "-007", "10", "100", "10.0", "10.01", "+12.5", "1e0", "1E+15", "1.5e-4",
        "0.0", "-0.0", "000.000",
        // exponents at both ends of the range
        "1e308", "1.7976931348623157e308", "-1.7976931348623157e308", "4.9e-324", "1e-320",
        "1e-999", "-1e-999", "2.2250738585072014e-308"};
    Tally tally;
    for (const std::string& spelling : spellings)
        expectSameBytes(spelling, tally);
}

TEST(NumberPrintIdentity, EveryDigitCountWithEveryPointPlace)
{
    Tally tally;
    for (int digits = 1; digits <= 17; ++digits) {
        for (char fill : {'1', '9', '0'}) {
            std::string body(digits, fill);
            body.front() = fill == '0' ? '1' : fill;
            for (int point = 0; point <= digits; ++point) {
                std::string text = body;
                text.insert(text.begin() + point, '.');
                if (text == ".") continue;
                expectSameBytes(text, tally);
                expectSameBytes(std::string("-").append(text), tally);
                if (point > 0) {
                    expectSameBytes(std::string("0.").append(point - 1, '0').append(body), tally);
                }
            }
            expectSameBytes(body, tally);
        }
    }
}

}  // namespace
}  // namespace konversi
