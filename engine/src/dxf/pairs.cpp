#include "dxf/pairs.h"

#include "dxf/group_codes.h"
#include "konversi/error.h"
#include "number/number.h"

#include <optional>

namespace konversi::detail {

namespace {

// Group codes run from -5 to 1071 and flags fit in 16 bits: a longer line
// than a sign and 9 digits is no such integer.
constexpr std::size_t integerLimit = 10;

// A code or number line without the tabs that the line reading leaves
// around it (it trims spaces): ezdxf and AutoCAD read "\t10\t" as 10.
std::string_view withoutTabs(std::string_view line)
{
    while (!line.empty() && (line.front() == '\t' || line.front() == ' '))
        line.remove_prefix(1);
    while (!line.empty() && (line.back() == '\t' || line.back() == ' '))
        line.remove_suffix(1);
    return line;
}

}  // namespace

bool DxfPairs::nextCodeSlowly()
{
    if (input_.atEnd()) return false;
    ++line_;
    const std::optional<std::string_view> line = input_.readTrimmedLine(dxf::binarySentinel.size());
    if (line_ == 1 && line == dxf::binarySentinel) throw Error(ErrorCode::BadFileMode);
    const std::optional<int> code = line ? smallWholeNumber(withoutTabs(*line)) : std::nullopt;
    if (!code) throw Error(ErrorCode::TypeMismatch, line_);
    code_ = *code;
    return true;
}

void DxfPairs::refuseOverflow() const
{
    throw Error(ErrorCode::Overflow, line_);
}

std::string_view DxfPairs::valueLine(std::size_t limit)
{
    ++line_;
    const std::optional<std::string_view> line = input_.readTrimmedLine(limit);
    if (!line) throw Error(ErrorCode::OutOfStringSpace, line_);
    return *line;
}

std::string_view DxfPairs::text()
{
    return valueLine(SequentialReader::maxFieldText);
}

FieldValue DxfPairs::numberSlowly()
{
    const std::string_view line = valueLine(SequentialReader::maxFieldText);
    return requiredNumber(withoutTabs(line), line_);
}

int DxfPairs::integer()
{
    ++line_;
    const std::optional<std::string_view> line = input_.readTrimmedLine(integerLimit);
    const std::optional<int> value = line ? smallWholeNumber(withoutTabs(*line)) : std::nullopt;
    if (!value) throw Error(ErrorCode::TypeMismatch, line_);
    return *value;
}

void DxfPairs::skip()
{
    ++line_;
    input_.skipLine();
}

bool DxfPairs::skipTo(int code)
{
    for (;;) {
        line_ += 2 * skipPairsBefore(input_, code);
        if (!nextCode()) return false;
        if (code_ == code) return true;
        skip();
    }
}

}  // namespace konversi::detail
