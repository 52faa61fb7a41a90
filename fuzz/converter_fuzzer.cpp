// One converter (KONVERSI_FUZZ_MODE, reading by group codes when
// KONVERSI_FUZZ_STRICT is set) on a random input file. Whatever the
// bytes, the conversion ends with a result or a konversi::Error, leaves its
// input as it was, and writes only well-formed lines: DXF of the fixed layout,
// or text lines of three numbers in the print form.

#include "konversi/conversion_job.h"
#include "konversi/converters.h"
#include "konversi/error.h"
#include "number/number.h"
#include "number/number_format.h"
#include "scratch_folder.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

namespace {

namespace fs = std::filesystem;

konversi::ConversionMode mode;
fs::path folder;

void check(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "converter fuzzer (%s): %s\n", KONVERSI_FUZZ_MODE, what);
        std::abort();
    }
}

std::string readAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    check(static_cast<bool>(in), "cannot read a file back");
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Every CR is followed by LF and every LF follows a CR; returns the number
// of lines.
std::size_t countCrLfLines(std::string_view bytes)
{
    std::size_t lines = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r') {
            check(i + 1 < bytes.size() && bytes[i + 1] == '\n', "a lone CR in the output");
            ++lines;
            ++i;
        } else {
            check(bytes[i] != '\n', "a lone LF in the output");
        }
    }
    check(bytes.empty() || bytes.ends_with("\r\n"), "the output ends inside a line");
    return lines;
}

// Reads one number print form from the front of `line` and checks that it is
// exactly what printing its own value gives.
void takePrintForm(std::string_view& line)
{
    check(line.size() >= 3 && (line[0] == ' ' || line[0] == '-'), "no sign place");
    const std::size_t space = line.find(' ', 1);
    check(space != std::string_view::npos, "no space after a number");
    const std::string_view printed = line.substr(0, space + 1);
    char again[konversi::detail::maxNumberPrintLength];
    const std::size_t length =
        konversi::detail::formatNumber(konversi::detail::numericValue(printed), again);
    check(std::string_view(again, length) == printed, "a number not in the print form");
    line.remove_prefix(printed.size());
}

// "x y z" lines: three print forms joined by single spaces.
void checkCoordinateText(std::string_view bytes)
{
    countCrLfLines(bytes);
    while (!bytes.empty()) {
        const std::size_t end = bytes.find("\r\n");
        std::string_view line = bytes.substr(0, end);
        bytes.remove_prefix(end + 2);
        for (int i = 0; i < 3; ++i) {
            takePrintForm(line);
            if (i < 2) {
                check(!line.empty() && line.front() == ' ', "no space between numbers");
                line.remove_prefix(1);
            }
        }
        check(line.empty(), "more than three numbers on a line");
    }
}

// The DXF of txt2point or txt2poly: the fixed header, then whole entities of
// a fixed number of lines each (also when the input ended inside a triple),
// and on success the closing pairs.
void checkDxf(std::string_view bytes, bool converted)
{
    const std::size_t lines = countCrLfLines(bytes);
    const bool points = mode == konversi::ConversionMode::TextToPoint;
    const std::string_view start = points
                                       ? " 0 \r\nSECTION\r\n 2 \r\nENTITIES\r\n"
                                       : " 0 \r\nSECTION\r\n 2 \r\nENTITIES\r\n 0 \r\nPOLYLINE\r\n";
    check(bytes.starts_with(start), "the DXF does not start with its header");
    const std::size_t headerLines = points ? 4 : 16;
    const std::size_t closingLines = points ? 4 : 6;
    const std::size_t linesPerTriple = points ? 26 : 10;
    const std::size_t fixedLines = headerLines + (converted ? closingLines : 0);
    check(lines >= fixedLines && (lines - fixedLines) % linesPerTriple == 0,
          "a field broke the DXF's line structure");
    if (converted) {
        check(bytes.ends_with(" 0 \r\nENDSEC\r\n 0 \r\nEOF\r\n"), "a converted DXF lacks its end");
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    const auto chosen = konversi::modeFromName(KONVERSI_FUZZ_MODE);
    check(chosen.has_value(), "unknown mode");
    mode = *chosen;
    folder = konversi::fuzz::makeScratchFolder();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const bool readsText = mode == konversi::ConversionMode::TextToPoint ||
                           mode == konversi::ConversionMode::TextToPolyline;
    const std::string title = readsText ? "peta.txt" : "peta.dxf";
    const fs::path input = folder / title;
    {
        std::ofstream out(input, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        check(static_cast<bool>(out), "cannot write the input file");
    }

    konversi::ConversionJob job;
    job.fill(input.string(), title, mode);
#ifdef KONVERSI_FUZZ_STRICT
    job.options.strict = true;
#endif
    bool converted = true;
    try {
        konversi::convert(job, mode);
    } catch (const konversi::Error&) {
        converted = false;
    }

    check(readAll(input) == bytes, "the conversion changed its input");
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path() == input) continue;
        const std::string output = readAll(entry.path());
        if (readsText) {
            check(entry.path() == job.outPath, "an output under an unexpected name");
            checkDxf(output, converted);
        } else {
            checkCoordinateText(output);
        }
        fs::remove(entry.path());
    }
    return 0;
}
