// Echo with feedback; in stereo mode each channel's repeats feed its
// neighbour, so echoes bounce between left and right.
#include "effects/BuiltInEffects.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

// The longest delay the table allows.
constexpr double kMaxDelaySeconds = 2.0;

class EchoEffect final : public audio::EffectProcessor {
public:
    void SetParameters(const void* params) override { std::memcpy(&params_, params, sizeof(params_)); }
    void Process(float* samples, int frames, int channels, int sampleRate) override
    {
        const int used = std::min(channels, kMaxEffectChannels);
        if (used <= 0 || sampleRate <= 0)
            return;
        if (sampleRate != rate_ || used != channels_) {
            // Once per stream format, sized for the longest delay so that a
            // delay change never reallocates while playing.
            rate_ = sampleRate;
            channels_ = used;
            capacity_ = static_cast<std::size_t>(kMaxDelaySeconds * sampleRate) + 1;
            line_.assign(capacity_ * used, 0.0f);
            write_ = 0;
        }
        const double seconds = std::isfinite(params_.delay) ? std::clamp<double>(params_.delay, 0.0, kMaxDelaySeconds) : 0.0;
        const std::size_t delay = std::clamp<std::size_t>(static_cast<std::size_t>(std::lround(seconds * rate_)), 1, capacity_ - 1);
        const float feedback = std::clamp(params_.feedback, -0.99f, 0.99f);
        float delayed[kMaxEffectChannels];
        for (int i = 0; i < frames; ++i) {
            float* frame = samples + static_cast<std::size_t>(i) * channels;
            const std::size_t read = (write_ + capacity_ - delay) % capacity_;
            for (int c = 0; c < used; ++c)
                delayed[c] = line_[read * used + c];
            for (int c = 0; c < used; ++c) {
                if (!EffectChannelSelected(params_.channel, c))
                    continue;
                const int partner = params_.stereo && used > 1 ? (c ^ 1) % used : c;
                line_[write_ * used + c] = frame[c] + feedback * delayed[partner];
                frame[c] = frame[c] * params_.dryMix + delayed[c] * params_.wetMix;
            }
            write_ = (write_ + 1) % capacity_;
        }
    }

private:
    audio::Echo4Params params_;
    int rate_ = 0;
    int channels_ = 0;
    std::size_t capacity_ = 0;
    std::size_t write_ = 0;
    std::vector<float> line_;
};

}  // namespace

std::unique_ptr<audio::EffectProcessor> MakeEchoEffect() { return std::make_unique<EchoEffect>(); }
