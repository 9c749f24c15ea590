#pragma once
// Bytes on their way from the download thread to the decoder. A seekable
// stream keeps every byte (the whole file ends up in memory); a live or
// "no seek" stream keeps a bounded window and drops what has been read.
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>

namespace audio {

class NetworkBuffer {
public:
    NetworkBuffer(bool keepAll, std::size_t window) : keepAll_(keepAll), window_(window) {}

    // Download side: waits while a bounded window is full. False once aborted.
    bool Append(const char* data, std::size_t size);
    void Finish(bool complete, std::int64_t totalBytes);
    void Abort();
    bool Aborted() const;

    // Decoder side: waits up to `timeoutMs` for bytes. Returns the count
    // read, 0 at the end of the data, -1 when aborted, -2 on a time-out.
    int Read(char* out, int size, int timeoutMs);
    // Seekable streams only; waits for the bytes to arrive. False past the end.
    bool SeekTo(std::int64_t offset, int timeoutMs);
    std::int64_t Position() const;
    std::int64_t TotalBytes() const;       // -1 while unknown
    std::int64_t DownloadedBytes() const;
    bool Finished() const;
    // A copy of bytes already downloaded and still held; empty otherwise.
    std::string Bytes(std::int64_t offset, std::size_t size) const;

private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::string data_;
    std::int64_t base_ = 0;                // offset of data_[0] in the stream
    std::int64_t readPos_ = 0;
    std::int64_t total_ = -1;
    bool finished_ = false;
    bool aborted_ = false;
    bool keepAll_;
    std::size_t window_;
};

}  // namespace audio
