#include "write/sequential_writer.h"

#include "konversi/error.h"
#include "write/output_files.h"
#include "write/write_behind.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <exception>
#include <utility>

namespace konversi::detail {

namespace {

constexpr std::size_t bufferSize = 1024 * 1024;

}  // namespace

char* printLargeTo(char* out, WholeNumber number) noexcept
{
    *out = number.value < 0 ? '-' : ' ';
    const unsigned long long magnitude = number.value < 0
                                             ? 0ULL - static_cast<unsigned long long>(number.value)
                                             : static_cast<unsigned long long>(number.value);
    char* end = std::to_chars(out + 1, out + maxPrintSize(number) - 1, magnitude).ptr;
    *end++ = ' ';
    return end;
}

char* printTo(char* out, FixedDecimals number) noexcept
{
    // fabs, not a comparison: -0 and values that round to 0 are written unsigned.
    const double magnitude = std::fabs(number.value);
    char* const digits = out + 1;
    char* end = std::to_chars(digits, out + maxPrintSize(number) - 1, magnitude,
                              std::chars_format::fixed, number.decimals)
                    .ptr;
    // A value that rounds to zero is written unsigned, as the print form writes 0.
    const bool roundsToZero = std::all_of(digits, end, [](char c) { return c == '0' || c == '.'; });
    *out = number.value < 0 && !roundsToZero ? '-' : ' ';
    *end++ = ' ';
    return end;
}

SequentialWriter::SequentialWriter(detail::OutputFiles& outputs, const std::string& path,
                                   FileIdentity input)
    : outputs_(outputs),
      file_(outputs.start(path, input)),
      buffer_(std::make_unique_for_overwrite<char[]>(bufferSize)),
      capacity_(bufferSize)
{
}

SequentialWriter::~SequentialWriter()
{
    if (!file_) return;
    if (behind_ && !behind_->succeeded()) outputs_.noteFailedWrite();
    behind_.reset();
    detail::platform::close(*file_);
}

void SequentialWriter::putSlow(std::string_view bytes)
{
    if (bytes.size() >= capacity_) {
        drain();
        writeHere(bytes.data(), bytes.size());
    } else {
        flush();
        std::memcpy(buffer_.get(), bytes.data(), bytes.size());
        used_ = bytes.size();
    }
}

// Hands the full buffer to the thread behind and goes on in the other one.
void SequentialWriter::flush()
{
    if (!behind_ && !writingHere_) startWritingBehind();
    if (behind_) {
        behind_->submit(buffer_.get(), used_);
        std::swap(buffer_, spare_);
    } else {
        writeHere(buffer_.get(), used_);
    }
    used_ = 0;
}

// A thread or a second buffer the system will not give (a process or memory
// limit) is no failure: the buffers are then written on the calling thread.
void SequentialWriter::startWritingBehind()
{
    try {
        spare_ = std::make_unique_for_overwrite<char[]>(capacity_);
        behind_ = std::make_unique<detail::WriteBehind>(*file_);
    } catch (const std::exception&) {
        spare_.reset();
        writingHere_ = true;
    }
}

void SequentialWriter::writeHere(const char* data, std::size_t size)
{
    if (!detail::platform::writeAll(*file_, data, size)) throw Error(ErrorCode::PathFileAccess);
}

// Writes everything printed so far and waits until it is written. A small
// output never starts the thread.
void SequentialWriter::drain()
{
    const std::size_t size = std::exchange(used_, 0);
    if (!behind_) {
        writeHere(buffer_.get(), size);
        return;
    }
    if (size > 0) behind_->submit(buffer_.get(), size);
    if (!behind_->succeeded()) throw Error(ErrorCode::PathFileAccess);
}

void SequentialWriter::close()
{
    drain();
    behind_.reset();
    const detail::platform::OutputHandle file = *file_;
    file_.reset();
    if (!detail::platform::close(file)) throw Error(ErrorCode::PathFileAccess);
}

}  // namespace konversi::detail
