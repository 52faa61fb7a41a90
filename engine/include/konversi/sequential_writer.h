#pragma once

#include "konversi/field_value.h"
#include "konversi/file_identity.h"
#include "konversi/number_format.h"

#include <cstddef>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace konversi {

// A whole number such as a group code, printed in the number print form.
struct WholeNumber {
    long long value;
};

// Writes print lines (items, then CR LF) through one large buffer. Owns the
// number print form: a converter only says which items a line holds.
class SequentialWriter {
public:
    enum class OpenMode { Write, Append };

    // Opens `path` for writing (created or emptied) or appending. Error 55
    // when it is the same file as `input`, before anything is written; then
    // 76 when its folder is missing, 75 for anything else.
    SequentialWriter(const std::string& path, OpenMode mode, std::optional<FileIdentity> input);
    // Flushes what was printed, ignoring failures: used when a conversion is
    // abandoned by an error, so that what was written before it stays.
    ~SequentialWriter();
    SequentialWriter(const SequentialWriter&) = delete;
    SequentialWriter& operator=(const SequentialWriter&) = delete;

    template <class... Items>
    void printLine(const Items&... items)
    {
        (print(items), ...);
        put("\r\n");
    }

    // A DXF group code and value pair: the code on one line, the value on the next.
    template <class Value>
    void pair(int code, const Value& value)
    {
        printLine(WholeNumber{code});
        printLine(value);
    }

    // Writes everything out and closes the file; error 75 when that fails.
    void close();

private:
    void print(std::string_view text) { put(text); }
    void print(const char* text) { put(text); }
    void print(WholeNumber number);
    void print(double number);
    void print(const FieldValue& field);

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
    void writeAll(const char* data, std::size_t size);

    int fd_ = -1;
    std::unique_ptr<char[]> buffer_;
    std::size_t capacity_ = 0;
    std::size_t used_ = 0;
};

}  // namespace konversi
