#include "number/field_value.h"
#include "number/number.h"
#include "number/number_format.h"
#include "read/sequential_reader.h"

#include <benchmark/benchmark.h>

#include <unistd.h>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace {

using konversi::detail::FieldValue;

// Survey-like spellings: 6-digit eastings, 7-digit northings, elevations,
// nearly all with 3 decimals, about one in ten ending in a zero.
std::string withDecimals(long long thousandths)
{
    std::string text = thousandths < 0 ? "-" : "";
    const unsigned long long magnitude = thousandths < 0 ? -thousandths : thousandths;
    const std::string fraction = std::to_string(1000 + magnitude % 1000);
    return text + std::to_string(magnitude / 1000) + "." + fraction.substr(1);
}

std::vector<std::string> surveySpellings(std::size_t count)
{
    std::mt19937 random(3);
    std::vector<std::string> spellings;
    spellings.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const long long r = random();
        switch (i % 3) {
        case 0: spellings.push_back(withDecimals(500'000'000 + r % 400'000'000)); break;
        case 1: spellings.push_back(withDecimals(9'100'000'000 + r % 800'000'000)); break;
        default: spellings.push_back(withDecimals(r % 1'500'000 - 50'000));
        }
    }
    return spellings;
}

std::vector<double> surveyValues(std::size_t count)
{
    std::vector<double> values;
    for (const std::string& spelling : surveySpellings(count)) {
        values.push_back(konversi::detail::classifyUnquoted(spelling).number());
    }
    return values;
}

constexpr std::size_t sampleCount = 4096;  // a power of two, for the index mask

void FormatNumber(benchmark::State& state)
{
    const std::vector<double> values = surveyValues(sampleCount);
    char out[konversi::detail::maxNumberPrintLength];
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            konversi::detail::formatNumber(values[i++ & (sampleCount - 1)], out));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(FormatNumber);

// The writer's print of number fields as read: the spelling copied where it
// already is the print form, the value formatted otherwise.
void FormatNumberField(benchmark::State& state)
{
    const std::vector<std::string> spellings = surveySpellings(sampleCount);
    std::vector<FieldValue> fields;
    for (const std::string& spelling : spellings)
        fields.push_back(konversi::detail::classifyUnquoted(spelling));
    char out[konversi::detail::maxNumberPrintLength];
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            konversi::detail::formatNumberField(fields[i++ & (sampleCount - 1)], out));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(FormatNumberField);

void ClassifyUnquoted(benchmark::State& state)
{
    const std::vector<std::string> spellings = surveySpellings(sampleCount);
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            konversi::detail::classifyUnquoted(spellings[i++ & (sampleCount - 1)]));
    }
}
BENCHMARK(ClassifyUnquoted);

void NumericValue(benchmark::State& state)
{
    const std::vector<std::string> spellings = surveySpellings(sampleCount);
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            konversi::detail::numericValue(spellings[i++ & (sampleCount - 1)]));
    }
}
BENCHMARK(NumericValue);

// A temporary file removed when the benchmark ends.
class TempFile {
public:
    explicit TempFile(const std::string& bytes)
    {
        char name[] = "/tmp/konversi-benchmark.XXXXXX";
        const int fd = ::mkstemp(name);
        if (fd < 0 ||
            ::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
            std::abort();
        }
        ::close(fd);
        path_ = name;
    }
    ~TempFile() { std::remove(path_.c_str()); }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

std::string coordinateText(std::size_t triples)
{
    const std::vector<std::string> spellings = surveySpellings(triples * 3);
    std::string text;
    for (std::size_t i = 0; i < spellings.size(); i += 3) {
        text += spellings[i] + "," + spellings[i + 1] + "," + spellings[i + 2] + "\r\n";
    }
    return text;
}

// One item is one field of a comma-separated coordinate file, read and
// classified.
void ReadFields(benchmark::State& state)
{
    const TempFile file(coordinateText(300'000));
    std::optional<konversi::detail::SequentialReader> reader(file.path());
    FieldValue field;
    for (auto _ : state) {
        if (reader->atEnd()) reader.emplace(file.path());
        reader->readFields({&field, 1});
        benchmark::DoNotOptimize(field);
    }
}
BENCHMARK(ReadFields);

// One item is one line of a DXF file, trimmed, as the DXF readers read them.
void ReadTrimmedLine(benchmark::State& state)
{
    const std::vector<std::string> spellings = surveySpellings(300'000);
    std::string dxf;
    for (std::size_t i = 0; i + 2 < spellings.size(); i += 3) {
        dxf += " 0 \r\nVERTEX\r\n 8 \r\nsurvey\r\n 10 \r\n" + spellings[i] + "\r\n 20 \r\n" +
               spellings[i + 1] + "\r\n 30 \r\n" + spellings[i + 2] + "\r\n";
    }
    const TempFile file(dxf);
    std::optional<konversi::detail::SequentialReader> reader(file.path());
    for (auto _ : state) {
        if (reader->atEnd()) reader.emplace(file.path());
        benchmark::DoNotOptimize(reader->readTrimmedLine(64 * 1024));
    }
}
BENCHMARK(ReadTrimmedLine);

}  // namespace
