#pragma once

#include "dxf/group_codes.h"
#include "dxf/line_scans.h"
#include "number/field_value.h"
#include "read/sequential_reader.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace konversi::detail {

// The value line of a pair that DxfPairs::readToCode0InBuffer reads where
// it lies in the reader's buffer, read as DxfPairs reads a value: each read,
// when the line is in any other form or the buffer cuts it, marks the pass
// failed instead, and the pair is then read again the usual way.
class ValueInBuffer {
public:
    ValueInBuffer(const char* p, const char* end, bool atEof) : p_(p), end_(end), atEof_(atEof) {}

    // Inline, as where a group is taken the compiler would otherwise keep a
    // call to each.
    [[gnu::always_inline]] FieldValue number()
    {
        FieldValue value = FieldValue::printedNumber("0", 1);
        next_ = splitNumberLine<true>(p_, end_, atEof_, value);
        return value;
    }
    [[gnu::always_inline]] int integer()
    {
        int value = 0;
        next_ = splitSmallWholeNumberLine(p_, end_, atEof_, value);
        return value;
    }
    std::string_view text()
    {
        Token token;
        next_ = splitToken<true>(p_, end_, atEof_, false, token);
        if (token.length > SequentialReader::maxFieldText) next_ = nullptr;
        return token.view();
    }
    [[gnu::always_inline]] void skip()
    {
        next_ = passDelimiter(passToStop<lineStop>(p_, end_), end_, atEof_);
    }

    // Where the next line starts; null when the read failed.
    const char* next() const { return next_; }

private:
    const char* p_;
    const char* end_;
    bool atEof_;
    const char* next_ = nullptr;
};

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

    // Reads on in one pass over the reader's buffer, as nextCode() and a
    // value read after each code would, up to and with the next code 0: each
    // code line in its common form (see splitShortWholeNumberLine) and
    // other than `refused`, each value handed to `take(code, value)` as a
    // ValueInBuffer. True when it got there; false, with nothing read, when
    // the buffer ends first or a line is in any other form: the caller then
    // reads pair by pair, which also raises the errors.
    template <class Take>
    bool readToCode0InBuffer(int refused, Take&& take)
    {
        std::uint64_t lines = 0;
        const bool read =
            input_.readInBuffer([&](const char* p, const char* end, bool atEof) -> const char* {
                for (;;) {
                    int code = 0;
                    const char* const valueLine = splitShortWholeNumberLine(p, end, code);
                    if (valueLine == nullptr || code == refused) return nullptr;
                    ++lines;
                    if (code == dxf::entityStart) return valueLine;
                    if (valueLine == end) return nullptr;  // no value line yet
                    ValueInBuffer value(valueLine, end, atEof);
                    take(code, value);
                    p = value.next();
                    if (p == nullptr) return nullptr;
                    ++lines;
                }
            });
        if (!read) return false;
        line_ += lines;
        code_ = dxf::entityStart;
        return true;
    }
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
