// The user-space floor of a conversion: reads INPUT to its end through a
// 1 MiB buffer and writes SIZE bytes to OUTPUT from memory, 1 MiB at a time,
// with the same system calls a converter makes. No converter can be faster;
// unlike `cat`, which copies inside the kernel, it pays for every byte
// crossing into and out of the process.
//
//   floor INPUT OUTPUT SIZE

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr std::size_t bufferSize = 1 << 20;

bool readAll(const char* path, std::vector<char>& buffer)
{
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    ssize_t count;
    while ((count = ::read(fd, buffer.data(), buffer.size())) > 0) {
    }
    ::close(fd);
    return count == 0;
}

bool writeSize(const char* path, std::size_t size, const std::vector<char>& buffer)
{
    const int fd = ::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    bool written = true;
    while (written && size > 0) {
        const std::size_t count = size < buffer.size() ? size : buffer.size();
        written = ::write(fd, buffer.data(), count) == static_cast<ssize_t>(count);
        size -= count;
    }
    return ::close(fd) == 0 && written;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: floor INPUT OUTPUT SIZE\n");
        return 2;
    }
    std::vector<char> buffer(bufferSize);
    std::memset(buffer.data(), ' ', buffer.size());
    if (!readAll(argv[1], buffer)) {
        std::perror(argv[1]);
        return 1;
    }
    std::memset(buffer.data(), ' ', buffer.size());
    if (!writeSize(argv[2], std::strtoull(argv[3], nullptr, 10), buffer)) {
        std::perror(argv[2]);
        return 1;
    }
    return 0;
}
