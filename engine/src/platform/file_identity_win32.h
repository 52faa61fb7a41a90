#pragma once

#include "platform/file_identity.h"

#include <windows.h>

namespace konversi::detail::platform {

// The identity of a file as Windows reports it, for the input and the
// outputs: the volume and the file's index on it.
inline FileIdentity identityOf(const BY_HANDLE_FILE_INFORMATION& info)
{
    return {info.dwVolumeSerialNumber,
            (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow};
}

}  // namespace konversi::detail::platform
