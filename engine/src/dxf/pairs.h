#pragma once

#include "dxf/line_scans.h"
#include "number/field_value.h"
#include "read/sequential_reader.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace konversi::detail {

// Reads an ASCII DXF file as what it is, a run of pairs: a line holding a
// group code (an integer, spaces around it allowed) and a line holding its
// value. Lines are read by SequentialReader's one line rule, values by the
// one number grammar. The caller reads exactly one value after each code.
class DxfPairs {
public:
    explicit DxfPairs(SequentialReader& input) : input_(input) {}

    // Reads the next group code, then code() tells it; false when no byte is
    // left. Error 13 naming the line when it is no integer, 54 when the file
    // is a binary DXF.
    bool nextCode()
    {
        // Nearly every code line is a short number alone: read in one pass.
        if (const std::optional<int> code = readSmallWholeNumberLine(input_)) {
            ++line_;
            code_ = *code;
            return true;
        }
        return nextCodeSlowly();
    }
    int code() const { return code_; }

    // Which of `names`, such as entity types, the value is: its index, or
    // names.size() for none (see readLineAmong).
    std::size_t nameAmong(std::span<const std::string_view> names)
    {
        ++line_;
        return readLineAmong(input_, names);
    }
    // The value as text, such as a layer name; error 14 beyond 1 MiB.
    std::string_view text();
    // The value as a number, spelling kept (see FieldValue): error 13 naming
    // the line when it is no number, 6 when it does not fit a double, 14
    // beyond 1 MiB.
    FieldValue number()
    {
        if (const std::optional<FieldValue> value = readNumberLine(input_)) {
            ++line_;
            if (!value->isNumber()) refuseOverflow();
            return *value;
        }
        return numberSlowly();
    }
    // The value as an integer, such as flags: error 13 naming the line when
    // it is none (or has more than 9 digits).
    int integer();
    // Passes over the value without holding it.
    void skip();
    // Passes over whole pairs up to the next one whose code is `code`, or to
    // the end of the file; the code of that pair is then read, its value not.
    // False when the file ends first.
    bool skipTo(int code);

private:
    bool nextCodeSlowly();
    FieldValue numberSlowly();
    [[noreturn]] void refuseOverflow() const;
    std::string_view valueLine(std::size_t limit);

    SequentialReader& input_;
    std::uint64_t line_ = 0;  // of the last line read
    int code_ = 0;
};

}  // namespace konversi::detail
