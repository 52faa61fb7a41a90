#include "konversi/field_value.h"

#include "decimal.h"
#include "konversi/text_helpers.h"

namespace konversi {

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

std::size_t skipDigits(std::string_view text, std::size_t i)
{
    while (i < text.size() && isDigit(text[i]))
        ++i;
    return i;
}

// Optional sign; digits with an optional point and more digits, or a point
// and at least one digit; then optionally E or e, an optional sign, digits.
bool isCompleteDecimalNumber(std::string_view text)
{
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    const std::size_t wholeStart = i;
    i = skipDigits(text, i);
    bool anyDigit = i > wholeStart;
    if (i < text.size() && text[i] == '.') {
        const std::size_t fractionStart = ++i;
        i = skipDigits(text, i);
        anyDigit = anyDigit || i > fractionStart;
    }
    if (!anyDigit) return false;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
        const std::size_t exponentStart = i;
        i = skipDigits(text, i);
        if (i == exponentStart) return false;
    }
    return i == text.size();
}

}  // namespace

double FieldValue::numericValue() const
{
    switch (kind_) {
    case Kind::Number: return number_;
    case Kind::Text: return konversi::numericValue(text_);
    case Kind::Empty: break;
    }
    return 0.0;
}

FieldValue classifyUnquoted(std::string_view field)
{
    if (isCompleteDecimalNumber(field)) {
        if (const auto value = detail::parseDecimal(field))
            return FieldValue::number(field, *value);
    }
    return FieldValue::text(field);
}

}  // namespace konversi
