#pragma once

#include "platform/file_identity.h"

#include <sys/stat.h>

namespace konversi::detail::platform {

// The identity of a file as stat reports it, for the input and the outputs.
inline FileIdentity identityOf(const struct stat& info)
{
    return {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
}

}  // namespace konversi::detail::platform
