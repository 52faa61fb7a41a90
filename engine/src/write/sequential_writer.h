#pragma once

#include "number/field_value.h"
#include "number/number_format.h"
#include "platform/file_identity.h"
#include "platform/output_folder.h"

#include <array>
#include <cstddef>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

namespace konversi::detail {

// A whole number such as a group code, printed in the number print form.
struct WholeNumber {
    long long value;
};

// A number with exactly `decimals` decimals, at most maxDecimals, in the
// shape of the print form: the sign place, the digits, a space.
struct FixedDecimals {
    static constexpr int maxDecimals = 15;

    double value;
    int decimals;
};

// A DXF group code and its value: the code on one line, the value on the next.
// It refers to its value, so it is made within the call that writes it.
template <class Value>
struct Pair {
    int code;
    const Value& value;
};
template <class Value>
Pair(int, const Value&) -> Pair<Value>;

// A number (a WholeNumber or a number FieldValue) in its print form without
// the sign place and the space after it: "12.5", "-3", for delimited records.
template <class Number>
struct Bare {
    const Number& number;
};
template <class Number>
Bare(const Number&) -> Bare<Number>;

// The print forms of the whole numbers 0 to 99, " 10 " and the like, spelled
// once: every group code and most small values are one of them.
struct SmallNumber {
    char bytes[8];
    unsigned char size;
};

inline constexpr int smallNumberCount = 100;

constexpr std::array<SmallNumber, smallNumberCount> makeSmallNumbers()
{
    std::array<SmallNumber, smallNumberCount> numbers{};
    for (int value = 0; value < smallNumberCount; ++value) {
        SmallNumber& number = numbers[value];
        unsigned char n = 0;
        number.bytes[n++] = ' ';
        if (value >= 10) number.bytes[n++] = static_cast<char>('0' + value / 10);
        number.bytes[n++] = static_cast<char>('0' + value % 10);
        number.bytes[n++] = ' ';
        number.size = n;
    }
    return numbers;
}

inline constexpr std::array<SmallNumber, smallNumberCount> smallNumbers = makeSmallNumbers();

inline constexpr std::string_view lineEnd = "\r\n";

// The same with the line end after them, " 10 \r\n": a group code's whole
// line, stored at once.
constexpr std::array<SmallNumber, smallNumberCount> makeSmallCodeLines()
{
    std::array<SmallNumber, smallNumberCount> lines = makeSmallNumbers();
    for (SmallNumber& line : lines) {
        for (const char c : lineEnd)
            line.bytes[line.size++] = c;
    }
    return lines;
}

inline constexpr std::array<SmallNumber, smallNumberCount> smallCodeLines = makeSmallCodeLines();

// Each item a line can hold: how many bytes it takes at most, and writing it
// to a place known to have that room.
inline std::size_t maxPrintSize(std::string_view text) noexcept
{
    return text.size();
}
inline char* printTo(char* out, std::string_view text) noexcept
{
    std::memcpy(out, text.data(), text.size());
    return out + text.size();
}

// A text spelled out in the code, such as an entity's name or a fixed layer:
// its length is known wherever it is written, inlined or not.
template <std::size_t Size>
constexpr std::size_t maxPrintSize(const char (&)[Size]) noexcept
{
    return Size - 1;
}
template <std::size_t Size>
char* printTo(char* out, const char (&text)[Size]) noexcept
{
    std::memcpy(out, text, Size - 1);
    return out + Size - 1;
}

inline constexpr std::size_t maxPrintSize(WholeNumber) noexcept
{
    return 24;  // sign place, 19 digits, space
}
char* printLargeTo(char* out, WholeNumber number) noexcept;
inline bool isSmall(long long number) noexcept
{
    return number >= 0 && number < smallNumberCount;
}
inline char* printTo(char* out, const SmallNumber& small) noexcept
{
    std::memcpy(out, small.bytes, sizeof small.bytes);
    return out + small.size;
}
inline char* printTo(char* out, WholeNumber number) noexcept
{
    if (!isSmall(number.value)) return printLargeTo(out, number);
    return printTo(out, smallNumbers[number.value]);
}

inline constexpr std::size_t maxPrintSize(double) noexcept
{
    return maxNumberPrintLength;
}
inline char* printTo(char* out, double number) noexcept
{
    return out + formatNumber(number, out);
}

inline constexpr std::size_t maxPrintSize(FixedDecimals) noexcept
{
    return 1 + 309 + 1 + FixedDecimals::maxDecimals + 1;  // sign place, digits, point, space
}
char* printTo(char* out, FixedDecimals number) noexcept;

inline std::size_t maxPrintSize(const FieldValue& field) noexcept
{
    return field.isText() ? field.text().size() : maxNumberPrintLength;
}
// Inline even in a large entity, such as a point with several labels, where
// the compiler would otherwise make each coordinate's print a call.
[[gnu::always_inline]] inline char* printTo(char* out, const FieldValue& field) noexcept
{
    switch (field.kind()) {
    case FieldValue::Kind::Empty: break;
    case FieldValue::Kind::Text: return printTo(out, field.text());
    case FieldValue::Kind::Number: return out + formatNumberField(field, out);
    }
    return out;
}

template <class Number>
std::size_t maxPrintSize(const Bare<Number>& bare) noexcept
{
    return maxPrintSize(bare.number);
}
template <class Number>
char* printTo(char* out, const Bare<Number>& bare) noexcept
{
    char* const end = printTo(out, bare.number) - 1;  // without the space after it
    if (*out != ' ') return end;
    std::memmove(out, out + 1, static_cast<std::size_t>(end - out - 1));
    return end - 1;
}

template <class Value>
std::size_t maxPrintSize(const Pair<Value>& pair) noexcept
{
    return maxPrintSize(WholeNumber{pair.code}) + maxPrintSize(pair.value) + 2 * lineEnd.size();
}
// Inline, as every line of a write is: a group code and a text spelled out
// in the code then print as stores of constant bytes.
template <class Value>
[[gnu::always_inline]] inline char* printTo(char* out, const Pair<Value>& pair) noexcept
{
    out = isSmall(pair.code) ? printTo(out, smallCodeLines[pair.code])
                             : printTo(printTo(out, WholeNumber{pair.code}), lineEnd);
    return printTo(printTo(out, pair.value), lineEnd);
}

class OutputFiles;
class WriteBehind;

// Writes print lines (items, then CR LF) through a large buffer. Owns the
// number print form: a converter only says which items a line holds. Once an
// output outgrows one buffer, full buffers are written on a thread of their
// own while the next one fills, or on the calling thread when the system
// gives no thread.
class SequentialWriter {
public:
    // Starts `path` as one of the conversion's `outputs` (see
    // OutputFiles::start, which checks the name): the bytes go to a temporary
    // that replaces it when the conversion is committed.
    SequentialWriter(detail::OutputFiles& outputs, const std::string& path, FileIdentity input);
    // Abandons an output that was not closed, without writing what is left:
    // the conversion failed and its temporary is removed. A write that had
    // already failed behind is reported to `outputs`, as it came first.
    ~SequentialWriter();
    SequentialWriter(const SequentialWriter&) = delete;
    SequentialWriter& operator=(const SequentialWriter&) = delete;

    template <class... Items>
    void printLine(const Items&... items)
    {
        write(items..., detail::lineEnd);
    }

    // Items of a line whose layout is known only at run time; printLine()
    // ends it.
    template <class... Items>
    void print(const Items&... items)
    {
        write(items...);
    }

    // One pair: the code, the value (an item as printLine takes).
    template <class Value>
    void pair(int code, const Value& value)
    {
        write(Pair{code, value});
    }

    // Several pairs at once, such as a whole entity.
    template <class... Values>
    [[gnu::always_inline]] void pairs(const Pair<Values>&... pairs)
    {
        write(pairs...);
    }

    // Writes everything out and closes the file; error 75 when that fails.
    void close();

private:
    // Room is made once for all the items together, as most lines and
    // entities are short; only a huge text makes them go one by one. Inline
    // where it is called, so that what the call site fixes (codes, entity
    // names, fixed layers) prints as stores of constants: a call shared by
    // every site looked every code up in the table again.
    template <class... Items>
    [[gnu::always_inline]] void write(const Items&... items)
    {
        using detail::maxPrintSize;
        const std::size_t size = (maxPrintSize(items) + ...);
        if (size > capacity_) {
            (writeAlone(items), ...);
            return;
        }
        char* out = reserve(size);
        ((out = detail::printTo(out, items)), ...);
        used_ = static_cast<std::size_t>(out - buffer_.get());
    }

    template <class Item>
    void writeAlone(const Item& item)
    {
        if constexpr (std::is_convertible_v<const Item&, std::string_view>) {
            put(item);
        } else {
            write(item);  // bounded: at most a number's print form
        }
    }
    void writeAlone(const FieldValue& field)
    {
        if (field.isText()) {
            put(field.text());
        } else {
            write(field);
        }
    }
    template <class Value>
    void writeAlone(const Pair<Value>& pair)
    {
        write(WholeNumber{pair.code}, detail::lineEnd);
        writeAlone(pair.value);
        put(detail::lineEnd);
    }

    void put(std::string_view bytes)
    {
        if (bytes.size() <= capacity_ - used_) {
            std::memcpy(buffer_.get() + used_, bytes.data(), bytes.size());
            used_ += bytes.size();
        } else {
            putSlow(bytes);
        }
    }
    char* reserve(std::size_t size)
    {
        if (capacity_ - used_ < size) flush();
        return buffer_.get() + used_;
    }
    void putSlow(std::string_view bytes);
    void flush();
    void drain();
    void startWritingBehind();
    void writeHere(const char* data, std::size_t size);

    detail::OutputFiles& outputs_;
    std::optional<detail::platform::OutputHandle> file_;
    std::unique_ptr<char[]> buffer_;
    std::unique_ptr<char[]> spare_;  // the buffer being written behind
    std::size_t capacity_ = 0;
    std::size_t used_ = 0;
    std::unique_ptr<detail::WriteBehind> behind_;
    bool writingHere_ = false;  // no thread to write behind could be started
};

}  // namespace konversi::detail
