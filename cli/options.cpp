#include "options.h"

#include <algorithm>
#include <functional>
#include <initializer_list>
#include <limits>
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
constexpr auto textModes = {ConversionMode::TextToPoint, ConversionMode::TextToPolyline};
constexpr auto pointMode = {ConversionMode::TextToPoint};
constexpr auto polylineMode = {ConversionMode::TextToPolyline};
constexpr auto dxfReadingModes = {ConversionMode::PointToText, ConversionMode::PolylineToText};
constexpr auto polylineReadingModes = {ConversionMode::PolylineToText};

// An option whose value one parse function reads into one member.
template <auto Parse, auto Member>
bool setFrom(ConversionOptions& options, const std::string& value)
{
    const auto parsed = Parse(value);
    if (parsed) options.*Member = *parsed;
    return parsed.has_value();
}

template <auto Member>
bool setFlag(ConversionOptions& options, const std::string&)
{
    options.*Member = true;
    return true;
}

std::optional<std::size_t> parseSkip(std::string_view text)
{
    return parseCount(text, std::numeric_limits<std::size_t>::max());
}

std::optional<std::size_t> parseDecimals(std::string_view text)
{
    return parseCount(text, maxLabelDecimals);
}

const std::vector<Option>& optionTable()
{
    using O = ConversionOptions;
    static const std::vector<Option> table = {
        {"--columns", allModes, true, setFrom<parseColumns, &O::columns>},
        {"--delimiter", allModes, true, setFrom<parseDelimiter, &O::delimiter>},
        {"--skip", textModes, true, setFrom<parseSkip, &O::skipLines>},
        {"--decimal-comma", textModes, false, setFlag<&O::decimalComma>},
        {"--labels", pointMode, true, setFrom<parseLabels, &O::labels>},
        {"--text-height", pointMode, true, setFrom<parseTextHeight, &O::textHeight>},
        {"--decimals", pointMode, true, setFrom<parseDecimals, &O::decimals>},
        {"--layer-by-code", textModes, false, setFlag<&O::layerByCode>},
        {"--split-by-code", polylineMode, false, setFlag<&O::splitByCode>},
        {"--dxf", textModes, true, setFrom<parseDxfLayout, &O::dxf>},
        {"--strict", dxfReadingModes, false, setFlag<&O::strict>},
        {"--layer", dxfReadingModes, true,
         [](ConversionOptions& options, const std::string& value) {
             options.layers.push_back(value);
             return true;
         }},
        {"--close", polylineReadingModes, false, setFlag<&O::close>},
    };
    return table;
}

bool hasColumn(const ConversionOptions& options, ColumnRole role)
{
    return std::find(options.columns.begin(), options.columns.end(), role) != options.columns.end();
}

bool hasLabel(const ConversionOptions& options, Label label)
{
    return std::find(options.labels.begin(), options.labels.end(), label) != options.labels.end();
}

// txt2point and txt2poly options that would be given but have nothing to
// act on, or that contradict each other: the one line that says so.
std::optional<std::string> conflictIn(const Batch& batch)
{
    const ConversionOptions& options = batch.options;
    const bool records = !options.columns.empty();
    const bool codes = hasColumn(options, ColumnRole::Description);
    if (!records && (options.delimiter != Delimiter::Automatic || options.skipLines != 0 ||
                     options.decimalComma)) {
        return "--delimiter, --skip and --decimal-comma need --columns";
    }
    if (options.decimalComma && options.delimiter == Delimiter::Comma) {
        return "--decimal-comma cannot go with --delimiter comma";
    }
    if (hasLabel(options, Label::PointName) && !hasColumn(options, ColumnRole::PointName)) {
        return "--labels p needs a p column in --columns";
    }
    if (hasLabel(options, Label::Description) && !codes) {
        return "--labels d needs a d column in --columns";
    }
    if (options.decimals && !hasLabel(options, Label::Elevation)) {
        return "--decimals needs the z label";
    }
    if ((options.layerByCode || options.splitByCode) && !codes) {
        return "--layer-by-code and --split-by-code need a d column in --columns";
    }
    if (batch.mode == ConversionMode::TextToPolyline && options.layerByCode &&
        !options.splitByCode) {
        return "--layer-by-code needs --split-by-code with txt2poly";
    }
    return std::nullopt;
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

std::variant<Batch, UsageError> parseBatch(const std::vector<std::string>& args)
{
    if (args.empty()) return UsageError{"no mode given"};
    const std::optional<ConversionMode> mode = modeFromName(args.front());
    if (!mode) return UsageError{"unknown mode '" + args.front() + "'"};
    Batch batch{*mode, {}, {}};
    bool optionsEnded = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg.compare(0, 2, "--") != 0) {
            batch.inputs.push_back(arg);
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
        if (!option->apply(batch.options, value)) {
            return UsageError{"option '" + arg + "' cannot take '" + value + "'"};
        }
    }
    if (batch.inputs.empty()) return UsageError{"no input given"};
    if (const auto error = unservedOption(*mode, batch.options)) return *error;
    if (const auto conflict = conflictIn(batch)) return UsageError{*conflict};
    return batch;
}

}  // namespace konversi::cli
