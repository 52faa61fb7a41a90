#include "konversi/field_value.h"
#include "konversi/number_format.h"
#include "konversi/sequential_reader.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace konversi {
namespace {

using test::TempDir;

// What a reader gave for one field, in a form that tells every difference:
// kind, text, value bits and print form.
std::string describe(const FieldValue& field)
{
    switch (field.kind()) {
    case FieldValue::Kind::Empty: return "empty";
    case FieldValue::Kind::Text: return "text [" + std::string(field.text()) + "]";
    case FieldValue::Kind::Number: break;
    }
    char printed[maxNumberPrintLength];
    return "number [" + std::string(field.text()) + "] " +
           std::to_string(std::bit_cast<std::uint64_t>(field.number())) + " copied " +
           std::to_string(field.spellingIsPrintForm()) + " [" +
           std::string(printed, formatNumberField(field, printed)) + "]";
}

// Field by field, every field but the last is read in the buffer. In one
// batch of all of them, the last field, which ends at the end of the file,
// sends the whole batch to the plain reader. Both must see the same fields.
void expectSameFields(const TempDir& dir, const std::string& bytes)
{
    const std::string path = dir.file("points.txt");
    test::writeFile(path, bytes);
    std::vector<std::string> oneByOne;
    SequentialReader single(path);
    while (!single.atEnd())
        oneByOne.push_back(describe(single.readField()));

    std::vector<FieldValue> batch(oneByOne.size());
    SequentialReader whole(path);
    whole.readFields(batch);
    EXPECT_TRUE(whole.atEnd());
    std::vector<std::string> together;
    for (const FieldValue& field : batch)
        together.push_back(describe(field));
    EXPECT_EQ(oneByOne, together) << "input: " << bytes;

    // Every other field, in batches of every size: those that end before the
    // last field are read in the buffer, the one that takes it by the plain
    // reader. The fields passed over must not change what follows.
    for (std::size_t kept = 1; 2 * kept - 1 <= oneByOne.size(); ++kept) {
        std::vector<FieldValue> alternate(kept);
        SequentialReader reader(path);
        reader.readAlternateFields(alternate);
        std::vector<std::string> expected;
        std::vector<std::string> got;
        for (std::size_t i = 0; i < kept; ++i) {
            expected.push_back(oneByOne[2 * i]);
            got.push_back(describe(alternate[i]));
        }
        expected.insert(expected.end(), oneByOne.begin() + 2 * kept - 1, oneByOne.end());
        while (!reader.atEnd())
            got.push_back(describe(reader.readField()));
        EXPECT_EQ(expected, got) << "input: " << bytes << ", " << kept << " kept";
    }
}

// Fields that start like a number but may not be one, and the bytes that
// can end them.
constexpr std::string_view numberLike[] = {"1",
                                           "-1",
                                           "+1",
                                           "0",
                                           "-0",
                                           "00",
                                           "0.",
                                           ".5",
                                           "-.5",
                                           "+.5",
                                           ".",
                                           "-",
                                           "+",
                                           "-.",
                                           "5.",
                                           "1.50",
                                           "0.0010",
                                           "0.0009",
                                           "-0.001",
                                           "1e5",
                                           "1E+5",
                                           "1e-5",
                                           "1e",
                                           "1e+",
                                           "1E-",
                                           "1.5e",
                                           "1e5x",
                                           "12a",
                                           "1.2.3",
                                           "1-2",
                                           "--1",
                                           "1e5.5",
                                           "7\t",
                                           "1e999",
                                           "-1e-999",
                                           "581364.781",
                                           "9403160.908",
                                           "-28.846",
                                           "1450",
                                           "999999999999999",
                                           "1000000000000000",
                                           "123456789012345.6",
                                           "0.000999",
                                           "1.7976931348623158e308"};
constexpr std::string_view endings[] = {",", "\r\n", "\r", "\n", " ", "  ,", " \r\n", " x"};

TEST(FieldScan, InBufferReadingMatchesThePlainReaderForNumberLikeFields)
{
    const TempDir dir;
    for (std::string_view field : numberLike) {
        for (std::string_view ending : endings) {
            std::string bytes(field);
            bytes.append(ending).append(field).append(ending).append("end");
            expectSameFields(dir, bytes);
            expectSameFields(dir, std::string("  ").append(bytes));
        }
    }
}

// Files of random pieces: numbers, texts, quotes, spaces and every
// delimiter, each ending in a field without a delimiter.
TEST(FieldScan, InBufferReadingMatchesThePlainReaderOnRandomFiles)
{
    static constexpr std::string_view others[] = {",",  ",",    "\r\n", "\r\n",    "\r",  "\n",
                                                  " ",  "  ",   "\"",   "\"q,r\"", "abc", "N 12",
                                                  "\t", "x\"y", "\"\"", "\x1a"};
    const TempDir dir;
    std::mt19937 random(5);
    for (int file = 0; file < 1000; ++file) {
        std::string bytes;
        const std::size_t count = 1 + random() % 40;
        for (std::size_t i = 0; i < count; ++i) {
            if (random() % 2 == 0) {
                bytes += numberLike[random() % std::size(numberLike)];
            } else {
                bytes += others[random() % std::size(others)];
            }
        }
        expectSameFields(dir, bytes + "end");
        if (HasFailure()) return;
    }
}

}  // namespace
}  // namespace konversi
