#include "console.h"
#include "konversi/conversion_job.h"
#include "konversi/converters.h"
#include "konversi/error.h"
#include "options.h"

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace {

constexpr std::string_view usage =
    "Usage: konversi-cli MODE [OPTION...] INPUT...\n"
    "       konversi-cli --help | --version\n"
    "Converts each INPUT and writes the result beside it.\n"
    "\n"
    "Modes:\n"
    "  txt2point   x,y,z text to DXF POINT and TEXT entities (INPUT.dxf)\n"
    "  txt2poly    x,y,z text to one DXF POLYLINE (INPUT.dxf)\n"
    "  point2txt   DXF POINT entities to x y z text (INPUT.txt)\n"
    "  poly2txt    DXF POLYLINE entities to x y z text, one file each\n"
    "              (INPUT.001, INPUT.002, ..., from the 1000th on INPUT.nnn)\n"
    "\n"
    "Options of txt2point and txt2poly (without them, the usual output):\n"
    "  --columns ROLES     read one point a line, a letter per column: p name,\n"
    "                      x or e easting, y or n northing, z elevation,\n"
    "                      d code, - skipped (such as pnezd, xyz, yxz)\n"
    "  --delimiter NAME    comma, semicolon, tab or space (default: as the first\n"
    "                      record shows)\n"
    "  --skip N            skip the first N lines (a header)\n"
    "  --decimal-comma     numbers use ',' as the decimal mark\n"
    "  --layer-by-code     each point on a layer named after its code\n"
    "  --dxf full|minimal  a complete R12 drawing, or the entities alone (default)\n"
    "Of txt2point:\n"
    "  --labels LETTERS    the labels, from p, z, d (default z)\n"
    "  --text-height H     the labels' height (default 1)\n"
    "  --decimals N        the z label with exactly N decimals\n"
    "Of txt2poly:\n"
    "  --split-by-code     a new polyline wherever the code changes\n"
    "\n"
    "Options of point2txt and poly2txt:\n"
    "  --strict         read the DXF by its group codes: the ENTITIES section's\n"
    "                   POINT (point2txt), POLYLINE and LWPOLYLINE (poly2txt)\n"
    "  --layer NAME     with --strict: only entities on layer NAME (repeatable;\n"
    "                   letter case does not matter)\n"
    "  --close          with --strict, poly2txt: a closed polyline's first vertex\n"
    "                   again at its end\n"
    "  --columns ROLES  with --strict: the fields of each line, from p (running\n"
    "                   number), x or e, y or n, z, d (layer), - (empty)\n"
    "  --delimiter NAME with --columns: comma (default), semicolon, tab or space\n"
    "\n"
    "The output takes the input's name up to its first dot. Nothing is printed\n"
    "on success; each failure is reported on stderr and the exit status is 1.\n"
    "\n"
    "The manual, with the error numbers and examples: man konversi-cli\n";

constexpr std::string_view version = "konversi-cli " KONVERSI_VERSION "\n";

void writeTo(std::FILE* stream, std::string_view text)
{
    std::fwrite(text.data(), 1, text.size(), stream);
}

bool convertOne(const std::string& input, const konversi::cli::Batch& batch,
                konversi::WrittenOutputs& written)
{
    const konversi::ConversionMode mode = batch.mode;
    konversi::ConversionJob job;
    job.fill(input, konversi::fileNameOf(input), mode);
    job.options = batch.options;
    try {
        konversi::convertInBatch(job, mode, written);
        return true;
    } catch (const konversi::Error& error) {
        writeTo(stderr, "konversi-cli: ");
        writeTo(stderr, input);
        std::fprintf(stderr, ": error %d: %s", error.number(), error.what());
        if (const auto line = error.line()) {
            std::fprintf(stderr, " (line %llu)", static_cast<unsigned long long>(*line));
        }
        writeTo(stderr, "\n");
        return false;
    }
}

std::string_view stopMessage(konversi::cli::Stop stop)
{
    switch (stop) {
    case konversi::cli::Stop::Interrupt: return "konversi-cli: stopped by SIGINT\n";
    case konversi::cli::Stop::Terminate: return "konversi-cli: stopped by SIGTERM\n";
    case konversi::cli::Stop::Hangup: break;
    }
    return "konversi-cli: stopped by SIGHUP\n";
}

// A stop leaves the conversion in progress as if it had failed: its
// temporaries go, no file is changed. Only async-signal-safe calls here.
void stopConverting(konversi::cli::Stop stop)
{
    konversi::removeTemporaryOutputs();
    konversi::cli::endAtOnce(stopMessage(stop), 128 + static_cast<int>(stop));
}

}  // namespace

int main(int argc, char** argv)
{
    konversi::cli::prepareConsole(stopConverting);
    const std::vector<std::string> args = konversi::cli::argumentsOf(argc, argv);
    // A view of args[0] itself, not of a temporary copy that would end here.
    const std::string_view only = args.size() == 1 ? std::string_view(args[0]) : "";
    if (only == "--help" || only == "--version") {
        writeTo(stdout, only == "--help" ? usage : version);
        // A text that could not be written is a failure like any other.
        if (std::fflush(stdout) != 0) {
            std::fprintf(stderr, "konversi-cli: cannot write to standard output\n");
            return 1;
        }
        return 0;
    }
    const auto parsed = konversi::cli::parseBatch(args);
    if (const auto* error = std::get_if<konversi::cli::UsageError>(&parsed)) {
        if (!args.empty()) std::fprintf(stderr, "konversi-cli: %s\n", error->message.c_str());
        writeTo(stderr, usage);
        return 2;
    }
    const auto& batch = std::get<konversi::cli::Batch>(parsed);
    konversi::WrittenOutputs written;
    bool allConverted = true;
    for (const std::string& input : batch.inputs)
        allConverted = convertOne(input, batch, written) && allConverted;
    return allConverted ? 0 : 1;
}
