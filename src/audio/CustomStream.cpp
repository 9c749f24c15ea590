// Streams whose samples come from a program callback on the mixing thread.
#include "audio/EngineState.h"

namespace audio {
namespace {

class CustomSource : public StreamSource {
public:
    StreamProc proc = nullptr;
    void* user = nullptr;
    Handle handle = 0;
    std::int64_t position = 0;
    bool ended = false;

    int Read(float* out, int frames) override
    {
        if (ended)
            return -1;
        const auto bytes = static_cast<std::uint32_t>(frames * channels * sizeof(float));
        const std::uint32_t result = proc(handle, out, bytes, user);
        std::uint32_t written = result & ~kStreamProcEnd;
        if (written > bytes)
            written = bytes;  // a callback claiming more than it was given
        if (result & kStreamProcEnd)
            ended = true;
        const int got = static_cast<int>(written / (channels * sizeof(float)));
        position += got;
        if (got == 0 && ended)
            return -1;
        return got;
    }
    bool Seek(std::int64_t, bool) override
    {
        SetError(kErrNotFile);
        return false;
    }
    std::int64_t PositionFrames() const override { return position; }
};

}  // namespace

Handle StreamCreateCustom(int freq, int channels, std::uint32_t flags, StreamProc proc, void* user)
{
    if (!proc || freq < 1000 || freq > 768000 || channels < 1 || channels > 32) {
        SetError(proc ? kErrFormat : kErrIllegalParam);
        return 0;
    }
    auto source = std::make_unique<CustomSource>();
    source->sampleRate = freq;
    source->channels = channels;
    source->proc = proc;
    source->user = user;
    CustomSource* raw = source.get();
    // The callback learns its handle before the mixer can call it: the
    // channel does not play until ChannelPlay.
    const Handle h = AddChannel(std::move(source), flags);
    raw->handle = h;
    return h;
}

}  // namespace audio
