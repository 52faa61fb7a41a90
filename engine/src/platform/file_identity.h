#pragma once

#include <cstdint>

namespace konversi::detail {

// Which file a name resolves to, however it is spelled: two names that reach
// the same device and inode are the same file (symbolic and hard links too).
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;

    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

}  // namespace konversi::detail
