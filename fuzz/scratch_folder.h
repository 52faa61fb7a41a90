#pragma once

#include <unistd.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace konversi::fuzz {

// A fresh folder for the files of one fuzzing process, removed when it ends.
// In memory (/dev/shm) where there is one: a disk file system may flush every
// file that is emptied and rewritten, which would slow fuzzing a hundredfold.
inline std::filesystem::path makeScratchFolder()
{
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path base = fs::is_directory("/dev/shm", error) && ::access("/dev/shm", W_OK) == 0
                              ? fs::path("/dev/shm")
                              : fs::temp_directory_path();
    std::string pattern = (base / "konversi-fuzz-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        std::perror("konversi fuzz: mkdtemp");
        std::abort();
    }
    static fs::path folder;
    folder = pattern;
    std::atexit([] {
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    });
    return folder;
}

}  // namespace konversi::fuzz
