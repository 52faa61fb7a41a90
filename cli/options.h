#pragma once

#include "konversi/conversion_mode.h"
#include "konversi/conversion_options.h"

#include <string>
#include <variant>
#include <vector>

namespace konversi::cli {

// A konversi-cli call to convert: the mode, its options and the inputs.
struct Batch {
    ConversionMode mode;
    ConversionOptions options;
    std::vector<std::string> inputs;
};

// A usage error, said in one line.
struct UsageError {
    std::string message;
};

// Reads "MODE [OPTION...] INPUT..." (options and inputs in any order; "--"
// ends the options). Each option is accepted only by the modes it serves.
std::variant<Batch, UsageError> parseBatch(const std::vector<std::string>& args);

}  // namespace konversi::cli
