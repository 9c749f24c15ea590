// Volume, peaking EQ band and compressor: the level-shaping built-in effects.
#include "effects/BuiltInEffects.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

class VolumeEffect final : public audio::EffectProcessor {
public:
    void SetParameters(const void* params) override { std::memcpy(&params_, params, sizeof(params_)); }
    void Process(float* samples, int frames, int channels, int) override
    {
        if (params_.volume == 1.0f)
            return;
        for (int c = 0; c < channels; ++c) {
            if (!EffectChannelSelected(params_.channel, c))
                continue;
            for (int i = 0; i < frames; ++i)
                samples[i * channels + c] *= params_.volume;
        }
    }

private:
    audio::VolumeParams params_;
};

// One peaking band (a constant-skirt biquad) per channel.
class PeakEqEffect final : public audio::EffectProcessor {
public:
    void SetParameters(const void* params) override
    {
        std::memcpy(&params_, params, sizeof(params_));
        designedRate_ = 0;  // coefficients follow on the next block
    }
    void Process(float* samples, int frames, int channels, int sampleRate) override
    {
        if (sampleRate != designedRate_)
            Design(sampleRate);
        if (flat_)
            return;
        const int used = std::min(channels, kMaxEffectChannels);
        for (int c = 0; c < used; ++c) {
            if (!EffectChannelSelected(params_.channel, c))
                continue;
            State& s = state_[c];
            for (int i = 0; i < frames; ++i) {
                float& x = samples[i * channels + c];
                // Transposed direct form II: two state values per channel.
                const double y = b0_ * x + s.z1;
                s.z1 = b1_ * x - a1_ * y + s.z2;
                s.z2 = b2_ * x - a2_ * y;
                x = static_cast<float>(y);
            }
        }
    }

private:
    struct State {
        double z1 = 0.0, z2 = 0.0;
    };
    void Design(int sampleRate)
    {
        designedRate_ = sampleRate;
        flat_ = params_.gain == 0.0f || sampleRate <= 0 || !std::isfinite(params_.gain);
        if (flat_)
            return;
        const double center = std::clamp<double>(params_.center, 1.0, 0.49 * sampleRate);
        const double w0 = 2.0 * M_PI * center / sampleRate;
        const double sinW = std::sin(w0);
        double alpha;
        if (params_.q > 0.0f) {
            alpha = sinW / (2.0 * params_.q);
        } else {
            const double octaves = std::clamp<double>(params_.bandwidth, 0.1, 6.0);
            alpha = sinW * std::sinh(std::log(2.0) / 2.0 * octaves * w0 / sinW);
        }
        const double a = std::pow(10.0, std::clamp<double>(params_.gain, -60.0, 60.0) / 40.0);
        const double a0 = 1.0 + alpha / a;
        b0_ = (1.0 + alpha * a) / a0;
        b1_ = -2.0 * std::cos(w0) / a0;
        b2_ = (1.0 - alpha * a) / a0;
        a1_ = b1_;
        a2_ = (1.0 - alpha / a) / a0;
    }

    audio::PeakEqParams params_;
    int designedRate_ = 0;
    bool flat_ = true;
    double b0_ = 1, b1_ = 0, b2_ = 0, a1_ = 0, a2_ = 0;
    State state_[kMaxEffectChannels];
};

// Feed-forward compressor on a peak envelope shared by the selected channels,
// so that the stereo image does not shift when one side is louder.
class CompressorEffect final : public audio::EffectProcessor {
public:
    void SetParameters(const void* params) override
    {
        std::memcpy(&params_, params, sizeof(params_));
        designedRate_ = 0;
    }
    void Process(float* samples, int frames, int channels, int sampleRate) override
    {
        if (sampleRate != designedRate_)
            Design(sampleRate);
        for (int i = 0; i < frames; ++i) {
            float* frame = samples + static_cast<std::size_t>(i) * channels;
            float peak = 0.0f;
            for (int c = 0; c < channels; ++c) {
                if (EffectChannelSelected(params_.channel, c))
                    peak = std::max(peak, std::fabs(frame[c]));
            }
            const float coef = peak > envelope_ ? attackCoef_ : releaseCoef_;
            envelope_ = coef * envelope_ + (1.0f - coef) * peak;
            float gain = makeup_;
            if (envelope_ > threshold_) {
                const float overDb = 20.0f * std::log10(envelope_ / threshold_);
                gain *= std::pow(10.0f, -overDb * slope_ / 20.0f);
            }
            if (gain == 1.0f)
                continue;
            for (int c = 0; c < channels; ++c) {
                if (EffectChannelSelected(params_.channel, c))
                    frame[c] *= gain;
            }
        }
    }

private:
    static float TimeCoef(float ms, int sampleRate)
    {
        const double frames = std::max(1e-3, static_cast<double>(ms)) * 0.001 * sampleRate;
        return static_cast<float>(std::exp(-1.0 / std::max(frames, 1e-6)));
    }
    void Design(int sampleRate)
    {
        designedRate_ = sampleRate;
        attackCoef_ = TimeCoef(params_.attack, sampleRate);
        releaseCoef_ = TimeCoef(params_.release, sampleRate);
        threshold_ = std::pow(10.0f, std::clamp(params_.threshold, -96.0f, 24.0f) / 20.0f);
        slope_ = 1.0f - 1.0f / std::max(1.0f, params_.ratio);
        makeup_ = std::pow(10.0f, std::clamp(params_.gain, -60.0f, 60.0f) / 20.0f);
    }

    audio::Compressor2Params params_;
    int designedRate_ = 0;
    float attackCoef_ = 0, releaseCoef_ = 0, threshold_ = 1, slope_ = 0, makeup_ = 1;
    float envelope_ = 0.0f;
};

}  // namespace

std::unique_ptr<audio::EffectProcessor> MakeVolumeEffect() { return std::make_unique<VolumeEffect>(); }
std::unique_ptr<audio::EffectProcessor> MakePeakEqEffect() { return std::make_unique<PeakEqEffect>(); }
std::unique_ptr<audio::EffectProcessor> MakeCompressorEffect() { return std::make_unique<CompressorEffect>(); }
