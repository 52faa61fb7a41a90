#include "konversi/field_value.h"

#include "decimal.h"
#include "konversi/text_helpers.h"

namespace konversi {

double FieldValue::spelledValue() const noexcept
{
    // A print-form spelling has at most 15 digits and no exponent: it always fits.
    return detail::parseDecimal(text()).value_or(0.0);
}

double FieldValue::numericValue() const
{
    switch (kind_) {
    case Kind::Number: return number();
    case Kind::Text: return konversi::numericValue(text());
    case Kind::Empty: break;
    }
    return 0.0;
}

FieldValue detail::classifyParsedDecimal(std::string_view field, const DecimalShape& shape)
{
    if (shape.complete) {
        if (const auto value = parseDecimal(field)) return FieldValue::number(field, *value);
    }
    return FieldValue::text(field);
}

FieldValue classifyUnquoted(std::string_view field)
{
    return detail::classifyDecimal(field, detail::decimalShape(field));
}

}  // namespace konversi
