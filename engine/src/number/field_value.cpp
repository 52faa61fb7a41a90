#include "number/field_value.h"

#include "konversi/error.h"
#include "number/number.h"

namespace konversi::detail {

double FieldValue::spelledValue() const noexcept
{
    return detail::printFormValue(printedSpelling());
}

double FieldValue::numericValue() const
{
    switch (kind_) {
    case Kind::Number: return number();
    case Kind::Text: return detail::numericValue(text());
    case Kind::Empty: break;
    }
    return 0.0;
}

FieldValue classifyUnquoted(std::string_view field)
{
    const char* const end = field.data() + field.size();
    const detail::NumberScan scan = detail::scanNumber(field.data(), end);
    if (!scan.isNumber || scan.stop != end) return FieldValue::text(field);
    return classifyNumber(field, scan.printLength);
}

FieldValue classifyParsedNumber(std::string_view field)
{
    if (const auto value = detail::decimalValue(field)) return FieldValue::number(field, *value);
    return FieldValue::text(field);  // beyond a double's range
}

FieldValue requiredCommaNumber(std::string_view field, std::uint64_t line)
{
    const char* const end = field.data() + field.size();
    const detail::NumberScan scan = detail::scanNumber(field.data(), end, ',');
    if (!scan.isNumber || scan.stop != end) return requiredNumber(field, line);
    const std::optional<double> value = detail::decimalValue(field, ',');
    if (!value) throw Error(ErrorCode::Overflow, line);
    return FieldValue::number({}, *value);
}

FieldValue requiredNumber(std::string_view field, std::uint64_t line)
{
    const char* const end = field.data() + field.size();
    const detail::NumberScan scan = detail::scanNumber(field.data(), end);
    if (!scan.isNumber || scan.stop != end) throw Error(ErrorCode::TypeMismatch, line);
    const FieldValue value = classifyNumber(field, scan.printLength);
    if (!value.isNumber()) throw Error(ErrorCode::Overflow, line);
    return value;
}

}  // namespace konversi::detail
