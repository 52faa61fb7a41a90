#pragma once

#include <filesystem>
#include <set>
#include <string>
#include <string_view>

namespace konversi::test {

// A fresh folder that is removed with everything in it at the end of a test.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // The path of `name` inside the folder, in UTF-8 with the system's
    // separators.
    std::string file(std::string_view name) const;

private:
    std::filesystem::path path_;
};

// Paths are UTF-8.
void writeFile(const std::string& path, std::string_view bytes);
std::string readFile(const std::string& path);
// The bytes of a file under tests/data.
std::string readTestData(std::string_view relativePath);
// Makes a FIFO; false when it cannot, as on Windows, which has none.
bool makeFifo(const std::string& path);
// The names of everything in a folder, hidden ones too.
std::set<std::string> namesIn(const std::filesystem::path& folder);

}  // namespace konversi::test
