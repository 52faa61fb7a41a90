// Random bytes read through a random mix of the reader's operations by two
// readers in lockstep: one with the usual buffer, the other with a buffer of
// a few bytes, so that its buffer ends fall inside tokens, delimiters and
// runs of spaces. Both must give the same results and stay at the same
// position, whatever the bytes.

#include "dxf/line_scans.h"
#include "dxf/pairs.h"
#include "konversi/error.h"
#include "read/sequential_reader.h"
#include "scratch_folder.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>

namespace {

using konversi::detail::FieldValue;
using konversi::detail::SequentialReader;

std::string inputPath;

void check(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "reader fuzzer: %s\n", what);
        std::abort();
    }
}

// A read's result as text, or the number of the error it raised.
template <class Read>
std::string attempt(Read read)
{
    try {
        return read();
    } catch (const konversi::Error& error) {
        check(error.code() == konversi::ErrorCode::InputPastEndOfFile ||
                  error.code() == konversi::ErrorCode::OutOfStringSpace ||
                  error.code() == konversi::ErrorCode::Overflow,
              "a read raised an unexpected error");
        return "error " + std::to_string(error.number());
    }
}

std::string render(const FieldValue& field)
{
    switch (field.kind()) {
    case FieldValue::Kind::Empty: return "E";
    case FieldValue::Kind::Number:
        check(std::isfinite(field.number()), "a number is not finite");
        return "N" + std::to_string(field.number()) + ":" + std::string(field.text());
    case FieldValue::Kind::Text: return "T:" + std::string(field.text());
    }
    return "?";
}

template <std::size_t N>
std::string renderAll(const std::array<FieldValue, N>& fields, std::size_t count)
{
    std::string all;
    for (std::size_t i = 0; i < count; ++i)
        all += render(fields[i]) + "|";
    return all;
}

// One operation, chosen by `op`, on one reader.
std::string operate(SequentialReader& reader, int op, std::size_t count, std::size_t limit)
{
    switch (op) {
    case 0: return reader.atEnd() ? "end" : "more";
    case 1: return reader.onlyBlanksRemain() ? "blanks" : "more";
    case 2:
        return attempt([&] {
            const auto line = reader.readTrimmedLine(limit);
            return line ? "L:" + std::string(*line) : std::string("long");
        });
    case 3:
        return attempt([&] {
            std::array<FieldValue, SequentialReader::maxTokens> fields;
            reader.readFields({fields.data(), count});
            return renderAll(fields, count);
        });
    case 4:
        return attempt([&] {
            std::array<FieldValue, 3> numbers;
            const std::size_t n = 1 + count % numbers.size();
            reader.readAlternateNumbers({numbers.data(), n});
            return renderAll(numbers, n);
        });
    case 5:
        return attempt([&] {
            reader.skipLine();
            return std::string("skipped");
        });
    case 6:
        return attempt([&] {
            constexpr std::string_view markers[] = {"10", "VERTEX"};
            return std::to_string(konversi::detail::readLineAmong(reader, markers));
        });
    case 7:
        return attempt([&] {
            // The pass over an entity's pairs up to the next group code 0,
            // which stops at whatever buffer end it meets.
            konversi::detail::DxfPairs pairs(reader);
            try {
                return std::string(pairs.skipTo(0) ? "code 0" : "end");
            } catch (const konversi::Error& error) {
                // A code line that is no integer, or a binary DXF's first line.
                if (error.code() != konversi::ErrorCode::TypeMismatch &&
                    error.code() != konversi::ErrorCode::BadFileMode)
                    throw;
                return "error " + std::to_string(error.number());
            }
        });
    case 8:
        return attempt([&] {
            // Jumps between candidate lines where the buffer holds them, and
            // reads line by line across a small buffer's ends.
            constexpr std::string_view markers[] = {"10", "VERTEX"};
            return std::to_string(konversi::detail::skipToLineAmong(reader, markers));
        });
    default: return reader.skipToField("POINT") ? "marker" : "none";
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (inputPath.empty()) inputPath = (konversi::fuzz::makeScratchFolder() / "input.txt").string();
    FuzzedDataProvider provider(data, size);
    const std::size_t smallBuffer = provider.ConsumeIntegralInRange<std::size_t>(1, 16);
    const std::size_t opCount = provider.ConsumeIntegralInRange<std::size_t>(1, 64);
    std::array<std::uint8_t, 64 * 3> ops{};
    const std::size_t taken = provider.ConsumeData(ops.data(), opCount * 3);
    const std::string bytes = provider.ConsumeRemainingBytesAsString();
    std::ofstream(inputPath, std::ios::binary | std::ios::trunc) << bytes;

    SequentialReader usual(inputPath);
    SequentialReader small(inputPath, smallBuffer);
    for (std::size_t i = 0; i + 3 <= taken; i += 3) {
        const int op = ops[i] % 10;
        const std::size_t count = 1 + ops[i + 1] % SequentialReader::maxTokens;
        const std::size_t limit = ops[i + 2] % 24;
        check(operate(usual, op, count, limit) == operate(small, op, count, limit),
              "a small buffer changed what was read");
    }
    return 0;
}
