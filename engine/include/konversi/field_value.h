#pragma once

#include <string_view>

namespace konversi {

// One value read by the field reader. The text is a view into the reader's
// buffer and stays valid until the reader's next read.
class FieldValue {
public:
    enum class Kind { Empty, Number, Text };

    FieldValue() = default;
    static FieldValue empty() { return {}; }
    static FieldValue text(std::string_view text) { return {Kind::Text, text, 0.0}; }
    // `spelling` is the field as it stood in the file; `value` is what it means.
    static FieldValue number(std::string_view spelling, double value)
    {
        return {Kind::Number, spelling, value};
    }

    Kind kind() const noexcept { return kind_; }
    bool isEmpty() const noexcept { return kind_ == Kind::Empty; }
    bool isNumber() const noexcept { return kind_ == Kind::Number; }
    bool isText() const noexcept { return kind_ == Kind::Text; }
    bool isText(std::string_view expected) const noexcept
    {
        return kind_ == Kind::Text && text_ == expected;
    }

    // The text of a text field, or the spelling of a number field.
    std::string_view text() const noexcept { return text_; }
    double number() const noexcept { return number_; }

    // The number a converter takes from the field: the number itself, the
    // numeric value of a text, 0 for an empty field. May raise error 6.
    double numericValue() const;

private:
    FieldValue(Kind kind, std::string_view text, double number)
        : kind_(kind), text_(text), number_(number)
    {
    }

    Kind kind_ = Kind::Empty;
    std::string_view text_;
    double number_ = 0.0;
};

// Classifies an unquoted, non-empty field: a number when it is a complete
// decimal number that fits a double, otherwise a text.
FieldValue classifyUnquoted(std::string_view field);

}  // namespace konversi
