// Single-producer, single-consumer ring between the mixing thread and an
// encoder's writer thread.
#include "audio/EncoderTap.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <vector>

namespace audio {

struct EncoderTap {
    Handle channel = 0;
    Handle dsp = 0;
    int rate = 0;
    int channels = 0;
    std::size_t capacity = 0;            // frames
    std::vector<float> ring;
    std::atomic<std::uint64_t> written{0};  // frames ever pushed; only the mixing thread stores
    std::atomic<std::uint64_t> read{0};     // frames ever taken; only the reader stores
    std::atomic<std::uint64_t> dropped{0};
};

namespace {

void TapDsp(Handle, Handle, void* buffer, std::uint32_t length, void* user)
{
    auto* tap = static_cast<EncoderTap*>(user);
    const std::size_t c = static_cast<std::size_t>(tap->channels);
    const std::size_t frames = length / (sizeof(float) * c);
    const std::uint64_t w = tap->written.load(std::memory_order_relaxed);
    const std::uint64_t r = tap->read.load(std::memory_order_acquire);
    const std::size_t room = tap->capacity - static_cast<std::size_t>(w - r);
    const std::size_t n = std::min(frames, room);
    if (n < frames)
        tap->dropped.fetch_add(frames - n, std::memory_order_relaxed);
    const float* in = static_cast<const float*>(buffer);
    const std::size_t at = static_cast<std::size_t>(w % tap->capacity);
    const std::size_t first = std::min(n, tap->capacity - at);
    std::memcpy(tap->ring.data() + at * c, in, first * c * sizeof(float));
    std::memcpy(tap->ring.data(), in + first * c, (n - first) * c * sizeof(float));
    tap->written.store(w + n, std::memory_order_release);
}

}  // namespace

EncoderTap* EncoderTapAttach(Handle channel, std::size_t capacityFrames)
{
    ChannelInfo info;
    if (!ChannelGetInfo(channel, &info))
        return nullptr;
    if (info.channels <= 0 || info.freq <= 0 || capacityFrames == 0)
        return nullptr;
    auto* tap = new EncoderTap;
    tap->channel = channel;
    tap->rate = info.freq;
    tap->channels = info.channels;
    tap->capacity = capacityFrames;
    tap->ring.assign(capacityFrames * static_cast<std::size_t>(info.channels), 0.0f);
    tap->dsp = ChannelSetDsp(channel, TapDsp, tap, kEncoderTapPriority);
    if (!tap->dsp) {
        delete tap;
        return nullptr;
    }
    return tap;
}

std::size_t EncoderTapRead(EncoderTap* tap, float* out, std::size_t maxFrames)
{
    const std::size_t c = static_cast<std::size_t>(tap->channels);
    const std::uint64_t r = tap->read.load(std::memory_order_relaxed);
    const std::uint64_t w = tap->written.load(std::memory_order_acquire);
    const std::size_t n = std::min(maxFrames, static_cast<std::size_t>(w - r));
    const std::size_t at = static_cast<std::size_t>(r % tap->capacity);
    const std::size_t first = std::min(n, tap->capacity - at);
    std::memcpy(out, tap->ring.data() + at * c, first * c * sizeof(float));
    std::memcpy(out + first * c, tap->ring.data(), (n - first) * c * sizeof(float));
    tap->read.store(r + n, std::memory_order_release);
    return n;
}

int EncoderTapRate(const EncoderTap* tap) { return tap->rate; }
int EncoderTapChannels(const EncoderTap* tap) { return tap->channels; }
Handle EncoderTapChannel(const EncoderTap* tap) { return tap->channel; }
std::uint64_t EncoderTapDroppedFrames(const EncoderTap* tap) { return tap->dropped.load(); }

void EncoderTapDetach(EncoderTap* tap)
{
    if (tap && tap->dsp) {
        ChannelRemoveDsp(tap->channel, tap->dsp);
        tap->dsp = 0;
    }
}

void EncoderTapFree(EncoderTap* tap)
{
    EncoderTapDetach(tap);
    delete tap;
}

}  // namespace audio
