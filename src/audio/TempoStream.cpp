// The tempo stream: SoundTouch over a decode channel, changing tempo, pitch
// and rate. Its position and length stay in the source's own time.
#include <SoundTouch.h>

#include <algorithm>
#include <cmath>

#include "audio/EngineState.h"

namespace audio {
namespace {

constexpr int kPullFrames = 2048;
constexpr int kFadeFrames = 256;   // click prevention after a seek

class TempoSource : public StreamSource {
public:
    TempoSource(ChannelPtr src, Handle srcHandle) : source_(std::move(src)), sourceHandle_(srcHandle)
    {
        sampleRate = source_->freq;
        channels = source_->chans;
        freq_ = static_cast<float>(sampleRate);
        touch_.setSampleRate(static_cast<unsigned>(sampleRate));
        touch_.setChannels(static_cast<unsigned>(channels));
        input_.resize(static_cast<std::size_t>(kPullFrames * channels));
        Apply();
    }

    int Read(float* out, int frames) override
    {
        int got = 0;
        while (got < frames) {
            got += static_cast<int>(touch_.receiveSamples(out + static_cast<std::size_t>(got) * channels,
                                                          static_cast<unsigned>(frames - got)));
            if (got == frames)
                break;
            if (sourceEnded_) {
                if (flushed_)
                    break;
                touch_.flush();
                flushed_ = true;
                continue;
            }
            const int n = ReadDecodeChannel(*source_, input_.data(), kPullFrames);
            if (n < 0)
                sourceEnded_ = true;
            else if (n == 0)
                break;  // the source waits for the network
            else
                touch_.putSamples(input_.data(), static_cast<unsigned>(n));
        }
        if (fadeLeft_ > 0 && got > 0)
            FadeIn(out, got);
        if (got == 0 && sourceEnded_ && flushed_)
            return -1;
        return got;
    }

    bool Seek(std::int64_t frame, bool flush) override
    {
        const std::int64_t bytes = frame * channels * static_cast<std::int64_t>(sizeof(float));
        if (!ChannelSetPosition(sourceHandle_, bytes, flush ? kPosFlush : 0))
            return false;
        touch_.clear();
        sourceEnded_ = false;
        flushed_ = false;
        if (preventClick_)
            fadeLeft_ = kFadeFrames;
        return true;
    }

    std::int64_t LengthFrames() const override
    {
        const std::int64_t bytes = ChannelGetLength(sourceHandle_);
        return bytes < 0 ? -1 : bytes / (channels * static_cast<std::int64_t>(sizeof(float)));
    }

    std::int64_t PositionFrames() const override
    {
        // What the source gave, less what SoundTouch still holds (in source time).
        const std::int64_t bytes = ChannelGetPosition(sourceHandle_);
        if (bytes < 0)
            return 0;
        const double held = touch_.numUnprocessedSamples() + touch_.numSamples() * Speed();
        return std::max<std::int64_t>(0, bytes / (channels * static_cast<std::int64_t>(sizeof(float))) -
                                             static_cast<std::int64_t>(held));
    }

    double SourceFramesPerOutputFrame() const override { return Speed(); }

    std::string Tags(int type) const override { return ChannelGetTags(sourceHandle_, type); }
    float BitrateKbps() const override
    {
        float v = 0.0f;
        return ChannelGetAttribute(sourceHandle_, kAttribBitrate, &v) ? v : 0.0f;
    }
    bool IsVariableBitrate() const override
    {
        float v = 0.0f;
        return ChannelGetAttribute(sourceHandle_, kAttribVbr, &v) && v > 0.0f;
    }

    bool GetAttribute(int attrib, float* value) const override
    {
        switch (attrib) {
        case kAttribTempo: *value = tempo_; return true;
        case kAttribTempoPitch: *value = pitch_; return true;
        case kAttribTempoFreq: *value = freq_; return true;
        case kAttribTempoUseAaFilter: *value = static_cast<float>(touch_.getSetting(SETTING_USE_AA_FILTER)); return true;
        case kAttribTempoAaFilterLength: *value = static_cast<float>(touch_.getSetting(SETTING_AA_FILTER_LENGTH)); return true;
        case kAttribTempoUseQuickAlgo: *value = static_cast<float>(touch_.getSetting(SETTING_USE_QUICKSEEK)); return true;
        case kAttribTempoSequenceMs: *value = static_cast<float>(touch_.getSetting(SETTING_SEQUENCE_MS)); return true;
        case kAttribTempoSeekWindowMs: *value = static_cast<float>(touch_.getSetting(SETTING_SEEKWINDOW_MS)); return true;
        case kAttribTempoOverlapMs: *value = static_cast<float>(touch_.getSetting(SETTING_OVERLAP_MS)); return true;
        case kAttribTempoPreventClick: *value = preventClick_ ? 1.0f : 0.0f; return true;
        default: return false;
        }
    }

    bool SetAttribute(int attrib, float value) override
    {
        const int v = static_cast<int>(value);
        switch (attrib) {
        case kAttribTempo: tempo_ = std::clamp(value, -95.0f, 5000.0f); break;
        case kAttribTempoPitch: pitch_ = std::clamp(value, -60.0f, 60.0f); break;
        case kAttribTempoFreq: freq_ = value <= 0.0f ? static_cast<float>(sampleRate) : std::clamp(value, 100.0f, 768000.0f); break;
        case kAttribTempoUseAaFilter: touch_.setSetting(SETTING_USE_AA_FILTER, v ? 1 : 0); return true;
        case kAttribTempoAaFilterLength: touch_.setSetting(SETTING_AA_FILTER_LENGTH, std::clamp(v, 8, 128)); return true;
        case kAttribTempoUseQuickAlgo: touch_.setSetting(SETTING_USE_QUICKSEEK, v ? 1 : 0); return true;
        case kAttribTempoSequenceMs: touch_.setSetting(SETTING_SEQUENCE_MS, std::clamp(v, 0, 1000)); return true;
        case kAttribTempoSeekWindowMs: touch_.setSetting(SETTING_SEEKWINDOW_MS, std::clamp(v, 0, 1000)); return true;
        case kAttribTempoOverlapMs: touch_.setSetting(SETTING_OVERLAP_MS, std::clamp(v, 0, 1000)); return true;
        case kAttribTempoPreventClick: preventClick_ = v != 0; return true;
        default: return false;
        }
        Apply();
        return true;
    }

private:
    double Speed() const { return (100.0 + tempo_) / 100.0 * (freq_ / sampleRate); }

    void Apply()
    {
        touch_.setTempo((100.0 + tempo_) / 100.0);
        touch_.setPitchSemiTones(pitch_);
        touch_.setRate(freq_ / sampleRate);
    }

    void FadeIn(float* out, int frames)
    {
        for (int i = 0; i < frames && fadeLeft_ > 0; ++i, --fadeLeft_) {
            const float g = 1.0f - static_cast<float>(fadeLeft_) / kFadeFrames;
            for (int c = 0; c < channels; ++c)
                out[i * channels + c] *= g;
        }
    }

    ChannelPtr source_;
    Handle sourceHandle_;
    mutable soundtouch::SoundTouch touch_;
    std::vector<float> input_;
    float tempo_ = 0.0f;
    float pitch_ = 0.0f;
    float freq_ = 44100.0f;
    bool preventClick_ = false;
    bool sourceEnded_ = false;
    bool flushed_ = false;
    int fadeLeft_ = 0;
};

}  // namespace

Handle TempoStreamCreate(Handle source, std::uint32_t flags)
{
    ChannelPtr src = FindChannel(source);
    if (!src)
        return 0;
    if (!src->decodeOnly) {
        SetError(kErrNotDecode);
        return 0;
    }
    const Handle h = AddChannel(std::make_unique<TempoSource>(src, source), flags & ~kFxFreeSource);
    if (h != 0 && (flags & kFxFreeSource)) {
        if (ChannelPtr ch = FindChannel(h))
            ch->ownedSource = source;
        SetError(kOk);
    }
    return h;
}

}  // namespace audio
