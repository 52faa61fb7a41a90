#include "options.h"

#include <algorithm>
#include <functional>
#include <initializer_list>
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
    return conversions;
}

}  // namespace konversi::cli
