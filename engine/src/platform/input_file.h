#pragma once

#include "platform/file_identity.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace konversi::detail {

// A file open for reading from start to end, as the system gives it: every
// call the reader makes of the system. Names are UTF-8.
class InputFile {
public:
    // Opens `path`: error 53 when it is missing, 76 when its folder is, 75 for
    // anything else (a folder, no permission).
    explicit InputFile(const std::string& path);
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    FileIdentity identity() const noexcept { return identity_; }

    // Reads up to `size` bytes from the read position on and moves it past
    // them; 0 at the end of the file. Error 75 when the system fails.
    std::size_t read(char* data, std::size_t size);

    // Reads up to `size` bytes from `offset` on without moving the read
    // position; 0 at the end, nothing when the system fails.
    std::optional<std::size_t> readAt(char* data, std::size_t size, std::uint64_t offset) noexcept;

private:
    std::intptr_t handle_;  // a descriptor, or a Windows HANDLE
    FileIdentity identity_;
    // Windows reads at explicit offsets only, so that a look-ahead leaves
    // the sequential reading where it was; POSIX has the descriptor's own.
    [[maybe_unused]] std::uint64_t position_ = 0;
};

// True when `path` names a FIFO, socket, pipe or device: a file that cannot
// be read twice, and may block its reader. False for a regular file, a folder
// or a missing one, which opening it tells apart.
bool isReadOnce(const std::string& path);

// True when the regular file `path` starts with the bytes `start`. Only
// regular files are looked at: a FIFO's bytes would be taken from its reader.
bool startsWith(const std::string& path, std::string_view start);

}  // namespace konversi::detail
