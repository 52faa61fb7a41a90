#pragma once

#include "platform/output_folder.h"

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <thread>

namespace konversi::detail {

// Writes whole buffers to a file on a thread of its own, one at a time, so
// that the kernel's copying of one buffer overlaps the filling of the next.
// A failed write is reported by the next call on the owning thread; nothing
// after it is written.
class WriteBehind {
public:
    explicit WriteBehind(platform::OutputHandle file);
    // Waits for the write in flight, ignoring a failure, and ends the thread.
    ~WriteBehind();
    WriteBehind(const WriteBehind&) = delete;
    WriteBehind& operator=(const WriteBehind&) = delete;

    // Waits for the write in flight, then starts writing [data, data + size).
    // The bytes must stay untouched until the next submit or wait. Error 75
    // when an earlier write failed.
    void submit(const char* data, std::size_t size);
    // Waits for the write in flight; false when any write failed.
    bool succeeded();

private:
    void run();
    void waitIdle(std::unique_lock<std::mutex>& lock);

    const platform::OutputHandle file_;
    std::mutex mutex_;
    std::condition_variable changed_;
    const char* data_ = nullptr;  // the buffer being written, or none
    std::size_t size_ = 0;
    bool failed_ = false;
    bool stopping_ = false;
    std::thread thread_;  // last: starts once everything above is set up
};

}  // namespace konversi::detail
