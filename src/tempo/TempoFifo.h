#pragma once
// The output side shared by the engines that feed a custom stream: hand out
// what the FIFO holds, refilling it from the source as needed.
#include <algorithm>
#include <cstdint>
#include <deque>

#include "audio/AudioCodes.h"

// Fills `length` bytes of float samples at `out`. `fill` runs one fill step
// and returns false when nothing more can come now; `sourceEnded` turns true
// once the item is exhausted. At the end only what the item really holds goes
// out, so the output ends with the item instead of with a block of padding.
template <typename Fill>
std::uint32_t ProduceFromFifo(std::deque<float>& fifo, const bool& sourceEnded, float* out, std::uint32_t length,
                              Fill fill)
{
    const size_t wanted = length / sizeof(float);
    size_t copied = 0;
    while (copied < wanted) {
        if (!fifo.empty()) {
            const size_t n = std::min(fifo.size(), wanted - copied);
            std::copy_n(fifo.begin(), n, out + copied);
            fifo.erase(fifo.begin(), fifo.begin() + static_cast<std::ptrdiff_t>(n));
            copied += n;
        } else if (sourceEnded || (!fill() && fifo.empty())) {
            break;
        }
    }
    if (sourceEnded && fifo.empty())
        return static_cast<std::uint32_t>(copied * sizeof(float)) | audio::kStreamProcEnd;
    std::fill(out + copied, out + wanted, 0.0f);
    return length;
}
