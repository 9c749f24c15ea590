#include "audio/NetworkBuffer.h"

#include <algorithm>
#include <chrono>
#include <cstring>

namespace audio {

bool NetworkBuffer::Append(const char* data, std::size_t size)
{
    std::unique_lock<std::mutex> lock(mutex_);
    if (!keepAll_) {
        changed_.wait(lock, [&] { return aborted_ || data_.size() < window_; });
        // Drop what the decoder has read.
        const auto consumed = static_cast<std::size_t>(readPos_ - base_);
        data_.erase(0, consumed);
        base_ = readPos_;
    }
    if (aborted_)
        return false;
    data_.append(data, size);
    changed_.notify_all();
    return true;
}

void NetworkBuffer::Finish(bool complete, std::int64_t totalBytes)
{
    std::lock_guard<std::mutex> lock(mutex_);
    finished_ = true;
    if (complete)
        total_ = totalBytes >= 0 ? totalBytes : base_ + static_cast<std::int64_t>(data_.size());
    changed_.notify_all();
}

void NetworkBuffer::Abort()
{
    std::lock_guard<std::mutex> lock(mutex_);
    aborted_ = true;
    changed_.notify_all();
}

bool NetworkBuffer::Aborted() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return aborted_;
}

int NetworkBuffer::Read(char* out, int size, int timeoutMs)
{
    std::unique_lock<std::mutex> lock(mutex_);
    const auto have = [&] { return base_ + static_cast<std::int64_t>(data_.size()) - readPos_; };
    if (!changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                           [&] { return aborted_ || finished_ || have() > 0; }))
        return -2;
    if (aborted_)
        return -1;
    const auto n = static_cast<int>(std::min<std::int64_t>(size, have()));
    if (n == 0)
        return 0;
    std::memcpy(out, data_.data() + (readPos_ - base_), static_cast<std::size_t>(n));
    readPos_ += n;
    changed_.notify_all();
    return n;
}

bool NetworkBuffer::SeekTo(std::int64_t offset, int timeoutMs)
{
    std::unique_lock<std::mutex> lock(mutex_);
    if (offset < base_)
        return false;
    changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
        return aborted_ || finished_ || base_ + static_cast<std::int64_t>(data_.size()) >= offset;
    });
    if (aborted_ || offset > base_ + static_cast<std::int64_t>(data_.size()))
        return false;
    readPos_ = offset;
    return true;
}

std::int64_t NetworkBuffer::Position() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return readPos_;
}

std::int64_t NetworkBuffer::TotalBytes() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return total_;
}

std::int64_t NetworkBuffer::DownloadedBytes() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return base_ + static_cast<std::int64_t>(data_.size());
}

bool NetworkBuffer::Finished() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return finished_;
}

}  // namespace audio

namespace audio {

std::string NetworkBuffer::Bytes(std::int64_t offset, std::size_t size) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (offset < base_ || offset + static_cast<std::int64_t>(size) > base_ + static_cast<std::int64_t>(data_.size()))
        return {};
    return data_.substr(static_cast<std::size_t>(offset - base_), size);
}

}  // namespace audio
