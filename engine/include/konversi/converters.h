#pragma once

#include "konversi/conversion_job.h"
#include "konversi/conversion_mode.h"

#include <cstdint>
#include <set>
#include <utility>

namespace konversi {

// The files the conversions of one batch have written so far, by device and
// inode, so that a later conversion of the batch does not replace one.
class WrittenOutputs {
public:
    bool contains(std::uint64_t device, std::uint64_t inode) const;
    void add(std::uint64_t device, std::uint64_t inode);

private:
    std::set<std::pair<std::uint64_t, std::uint64_t>> files_;
};

// Runs the converter of the given mode: reads the job's input and writes its
// outputs beside it, raising konversi::Error on failure. Each output is
// written under a temporary name and renamed over its own only when the whole
// conversion has succeeded, so a failed conversion changes no file. Running
// out of memory is error 7, any fault that is no konversi::Error is 51.
void convert(const ConversionJob& job, ConversionMode mode);

// The same as one of a batch of conversions: an output that is a file an
// earlier conversion of the batch wrote is refused with error 58; the
// outputs written are added to `written`.
void convertInBatch(const ConversionJob& job, ConversionMode mode, WrittenOutputs& written);

// Removes the temporary outputs of every conversion in progress, which then
// changes no file. Safe to call from a signal handler that ends the program.
void removeTemporaryOutputs() noexcept;

}  // namespace konversi
