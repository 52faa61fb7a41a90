#pragma once

#include "konversi/error.h"

#include <string>
#include <string_view>

namespace konversi::detail {

// The error for a failed open(2) of an input, from errno: 53 when only the
// file is missing, 76 when a folder on its path is, 75 otherwise.
ErrorCode inputOpenError(int error, const std::string& path);

// True when `path` names a FIFO, socket or device: a file that cannot be
// read twice, and may block its reader. False for a regular file, a folder
// or a missing one, which opening it tells apart.
bool isReadOnce(const std::string& path);

// True when the regular file `path` starts with the bytes `start`. Only
// regular files are looked at: a FIFO's bytes would be taken from its reader.
bool startsWith(const std::string& path, std::string_view start);

// The folder part of `path`: "." when it has none.
std::string folderOf(const std::string& path);

// The error for a failed open(2) of an output: 76 when a folder on its path is
// missing, 75 otherwise.
ErrorCode outputOpenError(int error);

}  // namespace konversi::detail
