// Random bytes read through a random mix of the reader's operations by two
// readers in lockstep: one keeps lines and fields whole, the other reads
// with a small limit. A limited read must give the whole read cut to the
// limit, and both readers must stay at the same position, whatever the bytes
// and wherever the buffer is refilled.

#include "konversi/error.h"
#include "konversi/sequential_reader.h"
#include "konversi/text_helpers.h"
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
#include <string_view>

namespace {

using konversi::FieldValue;
using konversi::SequentialReader;

std::string inputPath;

void check(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "reader fuzzer: %s\n", what);
        std::abort();
    }
}

// What an operation returned, or the number of the error it raised.
template <class T>
struct Outcome {
    T value{};
    int error = 0;
};

template <class T, class Read>
Outcome<T> attempt(Read read)
{
    try {
        return {read(), 0};
    } catch (const konversi::Error& error) {
        check(error.code() == konversi::ErrorCode::InputPastEndOfFile,
              "a read raised an error other than 62");
        return {T{}, error.number()};
    }
}

// True when both readers raised the error; fails when only one did.
template <class A, class B>
bool bothFailed(const Outcome<A>& whole, const Outcome<B>& limited)
{
    check(whole.error == limited.error, "only one reader raised an error");
    return whole.error != 0;
}

void checkLine(std::string_view line)
{
    check(line.find_first_of("\r\n") == std::string_view::npos, "a line holds a line end");
}

// A field read with `limit` against the same field read whole.
void checkField(const FieldValue& whole, const FieldValue& limited, std::size_t limit)
{
    check(limited.text() == whole.text().substr(0, limit), "a limited field is not the cut field");
    if (whole.text().size() <= limit) {
        check(limited.kind() == whole.kind(), "a field short enough changed its kind");
    }
    check(whole.isEmpty() == limited.isEmpty(), "only one reader read an empty field");
    if (whole.isNumber()) {
        check(std::isfinite(whole.number()), "a number field is not finite");
        check(konversi::numericValue(whole.text()) == whole.number(),
              "a number field's value is not the numeric value of its spelling");
    }
}

void writeInput(const std::string& bytes)
{
    std::ofstream out(inputPath, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    check(static_cast<bool>(out), "cannot write the input file");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    inputPath = (konversi::fuzz::makeScratchFolder() / "input").string();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider provider(data, size);
    // Spaces in front, ending just short of 64 KiB, 256 KiB or 512 KiB (the
    // reader's look-ahead, its buffer, twice its buffer), make the tokens of
    // the rest straddle the points where the reader reads more of the file.
    // Reading them is slow, so most inputs go without.
    constexpr std::size_t paddings[] = {64 << 10, 256 << 10, 512 << 10};
    const std::size_t choice = provider.ConsumeIntegralInRange<std::size_t>(0, 15);
    const std::size_t padding = choice >= 16 - std::size(paddings)
                                    ? paddings[choice - (16 - std::size(paddings))] -
                                          provider.ConsumeIntegralInRange<std::size_t>(0, 40)
                                    : 0;
    const std::size_t limit = provider.ConsumeIntegralInRange<std::size_t>(0, 16);
    const std::string operations =
        provider.ConsumeBytesAsString(provider.ConsumeIntegralInRange<std::size_t>(0, 48));
    writeInput(std::string(padding, ' ') + provider.ConsumeRemainingBytesAsString());

    SequentialReader whole(inputPath);
    SequentialReader limited(inputPath);
    std::array<FieldValue, 5> wholeFields, limitedFields;
    for (const char operation : operations) {
        const auto code = static_cast<unsigned char>(operation);
        switch (code % 6) {
        case 0:
            check(whole.atEnd() == limited.atEnd(), "the readers disagree about the end");
            break;
        case 1: {
            const bool blanks = whole.onlyBlanksRemain();
            check(blanks == limited.onlyBlanksRemain(), "the readers disagree about blanks");
            if (whole.atEnd()) check(blanks, "nothing remains but not only blanks");
            break;
        }
        case 2: {
            const auto a = attempt<std::string>([&] { return std::string(whole.readLine()); });
            const auto b = attempt<std::string>([&] { return std::string(limited.readLine()); });
            if (bothFailed(a, b)) break;
            checkLine(a.value);
            check(a.value == b.value, "the same line reads differently");
            break;
        }
        case 3: {
            // The whole reader trims a whole line itself, or lets the reader trim.
            const bool viaReadLine = code & 8;
            const auto a = attempt<std::string>([&] {
                return std::string(viaReadLine
                                       ? konversi::trim(whole.readLine())
                                       : *whole.readTrimmedLine(SequentialReader::unlimited));
            });
            const auto b = attempt<std::optional<std::string>>([&]() -> std::optional<std::string> {
                const auto line = limited.readTrimmedLine(limit);
                if (!line) return std::nullopt;
                return std::string(*line);
            });
            if (bothFailed(a, b)) break;
            const std::string& line = a.value;
            checkLine(line);
            check(konversi::trim(line) == line, "a trimmed line has spaces at an end");
            const auto& cut = b.value;
            check(cut.has_value() == (line.size() <= limit),
                  "a line was dropped at the wrong length");
            if (cut) check(*cut == line, "a short trimmed line reads differently");
            break;
        }
        default: {
            const std::size_t count = 1 + (code >> 4) % wholeFields.size();
            const auto a = attempt<int>([&] {
                whole.readFields({wholeFields.data(), count});
                return 0;
            });
            const auto b = attempt<int>([&] {
                if (count == 1) {
                    limitedFields[0] = limited.readField(limit);
                } else {
                    limited.readFields({limitedFields.data(), count}, limit);
                }
                return 0;
            });
            if (bothFailed(a, b)) break;
            for (std::size_t i = 0; i < count; ++i) {
                checkField(wholeFields[i], limitedFields[i], limit);
            }
            break;
        }
        }
    }
    // Whatever happened, the rest of the file reads the same from both.
    while (!whole.atEnd()) {
        check(!limited.atEnd(), "one reader ended early");
        const std::string line(whole.readLine());
        check(line == limited.readLine(), "the readers ended at different positions");
    }
    check(limited.atEnd(), "one reader ended late");
    return 0;
}
