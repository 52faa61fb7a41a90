#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>

namespace konversi {

// The numbers are those the program has always reported; users and scripts
// recognise failures by them.
enum class ErrorCode : int {
    Overflow = 6,
    OutOfMemory = 7,
    TooManyLayers = 9,
    TypeMismatch = 13,
    OutOfStringSpace = 14,
    InternalError = 51,
    FileNotFound = 53,
    BadFileMode = 54,
    FileAlreadyOpen = 55,
    FileAlreadyExists = 58,
    InputPastEndOfFile = 62,
    PathFileAccess = 75,
    PathNotFound = 76,
};

// The one exception type of the engine: a number and a message, and the
// line of the input at fault when there is one.
class Error : public std::runtime_error {
public:
    explicit Error(ErrorCode code);
    Error(ErrorCode code, std::uint64_t line);

    ErrorCode code() const noexcept { return code_; }
    int number() const noexcept { return static_cast<int>(code_); }
    // Counted from 1.
    std::optional<std::uint64_t> line() const noexcept { return line_; }

private:
    ErrorCode code_;
    std::optional<std::uint64_t> line_;
};

const char* messageFor(ErrorCode code) noexcept;

}  // namespace konversi
