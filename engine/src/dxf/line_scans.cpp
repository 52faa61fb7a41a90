#include "dxf/line_scans.h"

#include <algorithm>

namespace konversi::detail {

// Out of line, so that the common case inline saves no registers for them.

std::optional<FieldValue> readAnyNumberLine(SequentialReader& input)
{
    FieldValue value;
    if (input.readInBuffer([&value](const char* p, const char* end, bool atEof) {
            return splitNumberLine<false>(p, end, atEof, value);
        }))
        return value;
    return std::nullopt;
}

std::size_t readLineAmongSlowly(SequentialReader& input, std::span<const std::string_view> texts)
{
    std::size_t longest = 0;
    for (const std::string_view text : texts)
        longest = std::max(longest, text.size());
    const std::optional<std::string_view> line = input.readTrimmedLine(longest);
    return static_cast<std::size_t>(std::find(texts.begin(), texts.end(), line) - texts.begin());
}

}  // namespace konversi::detail
