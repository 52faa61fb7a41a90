#include "write/write_behind.h"

#include "konversi/error.h"

namespace konversi::detail {

WriteBehind::WriteBehind(platform::OutputHandle file) : file_(file), thread_([this] { run(); }) {}

WriteBehind::~WriteBehind()
{
    {
        std::unique_lock lock(mutex_);
        waitIdle(lock);
        stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void WriteBehind::submit(const char* data, std::size_t size)
{
    {
        std::unique_lock lock(mutex_);
        waitIdle(lock);
        if (failed_) throw Error(ErrorCode::PathFileAccess);
        data_ = data;
        size_ = size;
    }
    changed_.notify_all();
}

bool WriteBehind::succeeded()
{
    std::unique_lock lock(mutex_);
    waitIdle(lock);
    return !failed_;
}

void WriteBehind::waitIdle(std::unique_lock<std::mutex>& lock)
{
    changed_.wait(lock, [this] { return data_ == nullptr; });
}

void WriteBehind::run()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return data_ != nullptr || stopping_; });
        if (data_ == nullptr) return;
        const char* const data = data_;
        const std::size_t size = size_;
        lock.unlock();
        const bool written = platform::writeAll(file_, data, size);
        lock.lock();
        if (!written) failed_ = true;
        data_ = nullptr;
        changed_.notify_all();
    }
}

}  // namespace konversi::detail
