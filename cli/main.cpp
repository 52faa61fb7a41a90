#include "konversi/conversion_job.h"
#include "konversi/converters.h"
#include "konversi/error.h"
#include "options.h"

#include <unistd.h>
#include <csignal>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

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

// The input's name after its last "/", as a file chooser would report it.
std::string titleOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool convertOne(const std::string& input, const konversi::cli::Conversions& conversions,
                konversi::WrittenOutputs& written)
{
    const konversi::ConversionMode mode = conversions.mode;
    konversi::ConversionJob job;
    job.fill(input, titleOf(input), mode);
    job.options = conversions.options;
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

std::string_view stopMessage(int signal)
{
    switch (signal) {
    case SIGINT: return "konversi-cli: stopped by SIGINT\n";
    case SIGTERM: return "konversi-cli: stopped by SIGTERM\n";
    default: return "konversi-cli: stopped by SIGHUP\n";
    }
}

// A stop leaves the conversion in progress as if it had failed: its
// temporaries go, no file is changed. Only async-signal-safe calls here.
extern "C" void stopConverting(int signal)
{
    konversi::removeTemporaryOutputs();
    const std::string_view message = stopMessage(signal);
    [[maybe_unused]] const ssize_t ignored = ::write(STDERR_FILENO, message.data(), message.size());
    ::_exit(128 + signal);
}

// A write to a closed pipe or past the file size limit must fail as a write
// (error 75), not end the program without a word. While one stop is handled
// the others wait.
void handleSignals()
{
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);
    constexpr int stops[] = {SIGINT, SIGTERM, SIGHUP};
    struct sigaction stop {};
    stop.sa_handler = stopConverting;
    ::sigemptyset(&stop.sa_mask);
    for (const int signal : stops)
        ::sigaddset(&stop.sa_mask, signal);
    for (const int signal : stops)
        ::sigaction(signal, &stop, nullptr);
}

}  // namespace

int main(int argc, char** argv)
{
    handleSignals();
    const std::string_view only = argc == 2 ? argv[1] : "";
    if (only == "--help" || only == "--version") {
        writeTo(stdout, only == "--help" ? usage : version);
        // A text that could not be written is a failure like any other.
        if (std::fflush(stdout) != 0) {
            std::fprintf(stderr, "konversi-cli: cannot write to standard output\n");
            return 1;
        }
        return 0;
    }
    const auto parsed = konversi::cli::parseConversions({argv + 1, argv + argc});
    if (const auto* error = std::get_if<konversi::cli::UsageError>(&parsed)) {
        if (argc >= 2) std::fprintf(stderr, "konversi-cli: %s\n", error->message.c_str());
        writeTo(stderr, usage);
        return 2;
    }
    const auto& conversions = std::get<konversi::cli::Conversions>(parsed);
    konversi::WrittenOutputs written;
    bool allConverted = true;
    for (const std::string& input : conversions.inputs)
        allConverted = convertOne(input, conversions, written) && allConverted;
    return allConverted ? 0 : 1;
}
