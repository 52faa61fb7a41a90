#include "sequential_writer.h"

#include "konversi/error.h"
#include "system_file.h"
#include "write_behind.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <charconv>

namespace konversi {

namespace {

constexpr std::size_t bufferSize = 1024 * 1024;

// Opens without emptying, so that a name resolving to the input can be
// refused before a single byte of it is lost.
int openOutput(const std::string& path, SequentialWriter::OpenMode mode,
               std::optional<FileIdentity> input)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) {
        if (input && errno == EACCES) {
            struct stat info {};
            if (::stat(path.c_str(), &info) == 0 &&
                FileIdentity{info.st_dev, info.st_ino} == *input) {
                throw Error(ErrorCode::FileAlreadyOpen);
            }
        }
        throw Error(detail::outputOpenError(errno));
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        ::close(fd);
        throw Error(ErrorCode::PathFileAccess);
    }
    if (input && FileIdentity{info.st_dev, info.st_ino} == *input) {
        ::close(fd);
        throw Error(ErrorCode::FileAlreadyOpen);
    }
    // An empty file is not truncated: on ext4 a truncation to zero makes the
    // close wait for the new content's blocks to be allocated, which costs
    // a large output a tenth of its conversion time.
    const bool positioned =
        mode == SequentialWriter::OpenMode::Write
            ? info.st_size == 0 || ::ftruncate(fd, 0) == 0 || !S_ISREG(info.st_mode)
            : ::lseek(fd, 0, SEEK_END) >= 0 || !S_ISREG(info.st_mode);
    if (!positioned) {
        ::close(fd);
        throw Error(ErrorCode::PathFileAccess);
    }
    return fd;
}

}  // namespace

char* detail::printLargeTo(char* out, WholeNumber number) noexcept
{
    *out = number.value < 0 ? '-' : ' ';
    const unsigned long long magnitude = number.value < 0
                                             ? 0ULL - static_cast<unsigned long long>(number.value)
                                             : static_cast<unsigned long long>(number.value);
    char* end = std::to_chars(out + 1, out + maxPrintSize(number) - 1, magnitude).ptr;
    *end++ = ' ';
    return end;
}

SequentialWriter::SequentialWriter(const std::string& path, OpenMode mode,
                                   std::optional<FileIdentity> input)
    : fd_(openOutput(path, mode, input)),
      buffer_(std::make_unique_for_overwrite<char[]>(bufferSize)),
      capacity_(bufferSize)
{
}

SequentialWriter::~SequentialWriter()
{
    if (fd_ < 0) return;
    try {
        drain();
    } catch (const Error&) {
        // Already failing: the error that abandoned the conversion is reported.
    }
    behind_.reset();
    ::close(fd_);
}

void SequentialWriter::putSlow(std::string_view bytes)
{
    if (bytes.size() >= capacity_) {
        drain();
        if (!detail::writeAll(fd_, bytes.data(), bytes.size()))
            throw Error(ErrorCode::PathFileAccess);
    } else {
        flush();
        std::memcpy(buffer_.get(), bytes.data(), bytes.size());
        used_ = bytes.size();
    }
}

// Hands the full buffer to the thread behind and goes on in the other one.
void SequentialWriter::flush()
{
    if (!behind_) {
        spare_ = std::make_unique_for_overwrite<char[]>(capacity_);
        behind_ = std::make_unique<detail::WriteBehind>(fd_);
    }
    behind_->submit(buffer_.get(), used_);
    std::swap(buffer_, spare_);
    used_ = 0;
}

// Writes everything printed so far and waits until it is written. A small
// output never starts the thread.
void SequentialWriter::drain()
{
    const std::size_t size = used_;
    used_ = 0;
    if (behind_) {
        if (size > 0) behind_->submit(buffer_.get(), size);
        behind_->wait();
    } else if (!detail::writeAll(fd_, buffer_.get(), size)) {
        throw Error(ErrorCode::PathFileAccess);
    }
}

void SequentialWriter::close()
{
    try {
        drain();
    } catch (const Error&) {
        behind_.reset();
        ::close(fd_);
        fd_ = -1;
        throw;
    }
    behind_.reset();
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) throw Error(ErrorCode::PathFileAccess);
}

}  // namespace konversi
