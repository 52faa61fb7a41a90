#include "test_support.h"

#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

namespace konversi::test {

namespace {

// Names are UTF-8 on every system, whatever its code page.
std::filesystem::path pathOf(std::string_view utf8)
{
    return std::u8string(utf8.begin(), utf8.end());
}

std::string utf8Of(const std::filesystem::path& path)
{
    const std::u8string text = path.u8string();
    return {text.begin(), text.end()};
}

}  // namespace

// Made only if no folder has its name, as mkdtemp does it.
TempDir::TempDir()
{
    thread_local std::mt19937_64 random{std::random_device{}()};
    for (int attempt = 0; attempt < 100; ++attempt) {
        path_ = std::filesystem::temp_directory_path() /
                ("konversi-test-" + std::to_string(random() % 1'000'000'000));
        if (std::filesystem::create_directory(path_)) return;
    }
    throw std::runtime_error("cannot make a temporary folder");
}

TempDir::~TempDir()
{
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
}

std::string TempDir::file(std::string_view name) const
{
    return utf8Of(path_ / pathOf(name));
}

void writeFile(const std::string& path, std::string_view bytes)
{
    std::ofstream out(pathOf(path), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

std::string readFile(const std::string& path)
{
    std::ifstream in(pathOf(path), std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string readTestData(std::string_view relativePath)
{
    return readFile(std::string(KONVERSI_TEST_DATA) + "/" + std::string(relativePath));
}

std::set<std::string> namesIn(const std::filesystem::path& folder)
{
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(utf8Of(entry.path().filename()));
    return names;
}

}  // namespace konversi::test
