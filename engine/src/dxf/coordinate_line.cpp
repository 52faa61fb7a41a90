#include "dxf/coordinate_line.h"

#include "dxf/group_codes.h"
#include "dxf/line_scans.h"
#include "konversi/error.h"
#include "platform/input_file.h"

#include <array>
#include <string_view>

namespace konversi::detail {

void refuseBinaryDxf(const std::string& path)
{
    if (startsWith(path, dxf::binaryStart)) throw Error(ErrorCode::BadFileMode);
}

void skipToGroupCode10(SequentialReader& input)
{
    constexpr std::string_view code10[] = {"10"};
    skipToLineAmong(input, code10);
}

void copyCoordinates(SequentialReader& input, SequentialWriter& output)
{
    std::array<FieldValue, 3> xyz;  // the codes 20 and 30 between are not looked at
    input.readAlternateNumbers(xyz);
    output.printLine(xyz[0], " ", xyz[1], " ", xyz[2]);
}

}  // namespace konversi::detail
