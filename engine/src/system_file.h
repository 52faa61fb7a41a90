#pragma once

#include "konversi/error.h"

#include <string>

namespace konversi::detail {

// The error for a failed open(2) of an input, from errno: 53 when only the
// file is missing, 76 when a folder on its path is, 75 otherwise.
ErrorCode inputOpenError(int error, const std::string& path);

// The folder part of `path`: "." when it has none.
std::string folderOf(const std::string& path);

// The error for a failed open(2) of an output: 76 when a folder on its path is
// missing, 75 otherwise.
ErrorCode outputOpenError(int error);

}  // namespace konversi::detail
