#include "konversi/error.h"

namespace konversi {

const char* messageFor(ErrorCode code) noexcept
{
    switch (code) {
    case ErrorCode::Overflow: return "Overflow";
    case ErrorCode::OutOfMemory: return "Out of memory";
    case ErrorCode::TooManyLayers: return "Too many layers";
    case ErrorCode::TypeMismatch: return "Type mismatch";
    case ErrorCode::OutOfStringSpace: return "Out of string space";
    case ErrorCode::InternalError: return "Internal error";
    case ErrorCode::FileNotFound: return "File not found";
    case ErrorCode::BadFileMode: return "Bad file mode";
    case ErrorCode::FileAlreadyOpen: return "File already open";
    case ErrorCode::FileAlreadyExists: return "File already exists";
    case ErrorCode::InputPastEndOfFile: return "Input past end of file";
    case ErrorCode::PathFileAccess: return "Path/File access error";
    case ErrorCode::PathNotFound: return "Path not found";
    }
    return "Unknown error";
}

Error::Error(ErrorCode code) : std::runtime_error(messageFor(code)), code_(code) {}

Error::Error(ErrorCode code, std::uint64_t line) : Error(code)
{
    line_ = line;
}

}  // namespace konversi
