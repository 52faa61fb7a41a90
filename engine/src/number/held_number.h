#pragma once

#include "number/field_value.h"
#include "number/short_copy.h"

#include <algorithm>
#include <cstddef>

namespace konversi::detail {

// A number value kept past the reader's next read, which a FieldValue's view
// does not survive: the spelling its print form copies when there is one
// (at most 20 bytes, see FieldValue::printedNumber), else its value.
class HeldNumber {
public:
    HeldNumber() = default;  // 0
    explicit HeldNumber(const FieldValue& field)
    {
        if (field.spellingIsPrintForm()) {
            const std::string_view spelling = field.printedSpelling();
            length_ = static_cast<unsigned char>(std::min(spelling.size(), sizeof spelling_));
            copyShort(spelling_, spelling.data(), length_);
        } else {
            value_ = field.number();
        }
    }

    // Valid while this number lives and is not assigned to.
    FieldValue field() const
    {
        if (length_ == 0) return FieldValue::number({}, value_);
        return FieldValue::printedNumber({spelling_, length_}, length_);
    }

private:
    double value_ = 0.0;
    char spelling_[24];
    unsigned char length_ = 0;
};

}  // namespace konversi::detail
