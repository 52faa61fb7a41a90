#include "coordinate_line.h"

#include <array>

namespace konversi::detail {

namespace {

// A number field keeps its spelling, which the writer may copy as it stands.
FieldValue coordinate(const FieldValue& field)
{
    return field.isNumber() ? field : FieldValue::number({}, field.numericValue());
}

}  // namespace

void skipToGroupCode10(SequentialReader& input)
{
    while (input.readTrimmedLine(dxfTokenLimit) != "10") {
    }
}

void copyCoordinates(SequentialReader& input, SequentialWriter& output)
{
    std::array<FieldValue, 3> values;  // x, y, z; the codes 20 and 30 between are not looked at
    input.readAlternateFields(values, dxfTokenLimit);
    const FieldValue x = coordinate(values[0]);
    const FieldValue y = coordinate(values[1]);
    const FieldValue z = coordinate(values[2]);
    output.printLine(x, " ", y, " ", z);
}

}  // namespace konversi::detail
