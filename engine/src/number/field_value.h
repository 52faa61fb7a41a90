#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace konversi::detail {

// One value read by the field reader. The text is a view into the reader's
// buffer and stays valid until the reader's next read.
class FieldValue {
public:
    enum class Kind { Empty, Number, Text };

    FieldValue() = default;
    // Member by member: a field is built one member at a time, and a copy in
    // 16-byte blocks cannot be served from those narrower stores while they
    // are in flight, which stalls the processor for every coordinate: with
    // the defaulted copies txt2point, point2txt and poly2txt took 2 to 5 %
    // more processor time on a million points (perf stat, medians of 9
    // alternating runs). The static_assert after the class fails when a
    // member is added, so that it is copied here too.
    FieldValue(const FieldValue& other) noexcept { *this = other; }
    FieldValue& operator=(const FieldValue& other) noexcept
    {
        kind_ = other.kind_;
        printLength_ = other.printLength_;
        textData_ = other.textData_;
        textSize_ = other.textSize_;
        number_ = other.number_;
        return *this;
    }
    static FieldValue empty() { return {}; }
    static FieldValue text(std::string_view text) { return {Kind::Text, text, 0.0}; }
    // `spelling` is the field as it stood in the file; `value` is what it means.
    static FieldValue number(std::string_view spelling, double value)
    {
        return {Kind::Number, spelling, value};
    }
    // A number whose print form is the sign place, the first `printLength`
    // bytes of its spelling without the sign, and a space (the spelling with
    // no more than trailing zeros cut), so that it can be written by copying;
    // its value is worked out only when asked for.
    static FieldValue printedNumber(std::string_view spelling, std::size_t printLength)
    {
        FieldValue field{Kind::Number, spelling, 0.0};
        field.printLength_ = static_cast<unsigned char>(printLength);
        return field;
    }

    Kind kind() const noexcept { return kind_; }
    bool isEmpty() const noexcept { return kind_ == Kind::Empty; }
    bool isNumber() const noexcept { return kind_ == Kind::Number; }
    bool isText() const noexcept { return kind_ == Kind::Text; }
    bool isText(std::string_view expected) const noexcept
    {
        return kind_ == Kind::Text && text() == expected;
    }

    // The text of a text field, or the spelling of a number field.
    std::string_view text() const noexcept { return {textData_, textSize_}; }
    double number() const noexcept { return printLength_ != 0 ? spelledValue() : number_; }
    // True when the print form of this number can be copied from its spelling.
    bool spellingIsPrintForm() const noexcept { return printLength_ != 0; }
    // The part of the spelling that the print form copies.
    std::string_view printedSpelling() const noexcept { return {textData_, printLength_}; }

    // Moves the text to `room`, for a reader whose buffer moves on before the
    // field is used. The field then stays valid as long as `room` does.
    void keepTextIn(std::string& room)
    {
        if (textSize_ == 0 || textData_ == room.data()) return;
        room.assign(textData_, textSize_);
        textData_ = room.data();
    }

    // The number a converter takes from the field: the number itself, the
    // numeric value of a text, 0 for an empty field. May raise error 6.
    double numericValue() const;

private:
    FieldValue(Kind kind, std::string_view text, double number)
        : kind_(kind), textData_(text.data()), textSize_(text.size()), number_(number)
    {
    }

    double spelledValue() const noexcept;

    Kind kind_ = Kind::Empty;
    unsigned char printLength_ = 0;  // at most 20: "-0.00" and 15 digits
    const char* textData_ = nullptr;
    std::size_t textSize_ = 0;
    double number_ = 0.0;
};

static_assert(sizeof(FieldValue) == 32, "copy every member in FieldValue's copy operations");

// Classifies an unquoted, non-empty field: a number when it is a complete
// decimal number that fits a double, otherwise a text.
FieldValue classifyUnquoted(std::string_view field);
// The same for a field that the number scan took whole, with its print
// length. Inline: the common print-form case is built in place by the reader.
FieldValue classifyParsedNumber(std::string_view field);
inline FieldValue classifyNumber(std::string_view field, std::size_t printLength)
{
    if (printLength != 0) return FieldValue::printedNumber(field, printLength);
    return classifyParsedNumber(field);
}

// A field that must be a number, as in a record's column or a DXF value
// line: error 13 naming `line` when it is no number, 6 when it does not fit
// a double.
FieldValue requiredNumber(std::string_view field, std::uint64_t line);
// The same for a field whose decimal mark is a comma, read in place. A
// point still reads as a decimal mark where the comma does not make a
// number, as it always has. Such a number is formatted from its value: its
// spelling is no print form.
FieldValue requiredCommaNumber(std::string_view field, std::uint64_t line);

}  // namespace konversi::detail
