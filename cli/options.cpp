#include "options.h"

#include <algorithm>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string_view>

namespace konversi::cli {

namespace {

using Apply = std::function<bool(ConversionOptions&, const std::string&)>;

// One option: its name, the modes it serves, whether a value follows it, and
// how it goes into the options (false when the value is not one it takes).
struct Option {
    std::string_view name;
    std::initializer_list<ConversionMode> modes;
    bool takesValue;
    Apply apply;
};

constexpr auto allModes = {ConversionMode::TextToPoint, ConversionMode::TextToPolyline,
                           ConversionMode::PointToText, ConversionMode::PolylineToText};
constexpr auto dxfReadingModes = {ConversionMode::PointToText, ConversionMode::PolylineToText};
constexpr auto polylineReadingModes = {ConversionMode::PolylineToText};

const std::vector<Option>& optionTable()
{
    static const std::vector<Option> table = {
        {"--columns", allModes, true,
         [](ConversionOptions& options, const std::string& value) {
             const auto columns = parseColumns(value);
             if (columns) options.columns = *columns;
             return columns.has_value();
         }},
        {"--delimiter", allModes, true,
         [](ConversionOptions& options, const std::string& value) {
             const auto delimiter = parseDelimiter(value);
             if (delimiter) options.delimiter = *delimiter;
             return delimiter.has_value();
         }},
        {"--strict", dxfReadingModes, false,
         [](ConversionOptions& options, const std::string&) {
             options.strict = true;
             return true;
         }},
        {"--layer", dxfReadingModes, true,
         [](ConversionOptions& options, const std::string& value) {
             options.layers.push_back(value);
             return true;
         }},
        {"--close", polylineReadingModes, false,
         [](ConversionOptions& options, const std::string&) {
             options.close = true;
             return true;
         }},
    };
    return table;
}

const Option* findOption(std::string_view name)
{
    const auto& table = optionTable();
    const auto found = std::find_if(table.begin(), table.end(),
                                    [name](const Option& option) { return option.name == name; });
    return found == table.end() ? nullptr : &*found;
}

bool serves(const Option& option, ConversionMode mode)
{
    return std::find(option.modes.begin(), option.modes.end(), mode) != option.modes.end();
}

// The marker scan of point2txt and poly2txt knows no layers and writes one
// layout, so the options that need the group codes come only with --strict,
// and a delimiter only with the columns it separates.
std::optional<UsageError> unservedOption(ConversionMode mode, const ConversionOptions& options)
{
    if (!serves(*findOption("--strict"), mode)) return std::nullopt;
    if (!options.strict) {
        if (!options.layers.empty()) return UsageError{"option '--layer' needs --strict"};
        if (options.close) return UsageError{"option '--close' needs --strict"};
        if (!options.columns.empty()) return UsageError{"option '--columns' needs --strict"};
    }
    if (options.delimiter != Delimiter::Automatic && options.columns.empty()) {
        return UsageError{"option '--delimiter' needs --columns"};
    }
    return std::nullopt;
}

}  // namespace

std::variant<Conversions, UsageError> parseConversions(const std::vector<std::string>& args)
{
    if (args.empty()) return UsageError{"no mode given"};
    const std::optional<ConversionMode> mode = modeFromName(args.front());
    if (!mode) return UsageError{"unknown mode '" + args.front() + "'"};
    Conversions conversions{*mode, {}, {}};
    bool optionsEnded = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg.compare(0, 2, "--") != 0) {
            conversions.inputs.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        const Option* option = findOption(arg);
        if (option == nullptr) return UsageError{"unknown option '" + arg + "'"};
        if (!serves(*option, *mode)) {
            return UsageError{"option '" + arg + "' does not go with " + args.front()};
        }
        if (option->takesValue && i + 1 == args.size()) {
            return UsageError{"option '" + arg + "' needs a value"};
        }
        const std::string value = option->takesValue ? args[++i] : std::string();
        if (!option->apply(conversions.options, value)) {
            return UsageError{"option '" + arg + "' cannot take '" + value + "'"};
        }
    }
    if (conversions.inputs.empty()) return UsageError{"no input given"};
    if (const auto error = unservedOption(*mode, conversions.options)) return *error;
    return conversions;
}

}  // namespace konversi::cli
