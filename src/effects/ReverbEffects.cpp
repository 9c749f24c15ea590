// The three reverb algorithms: a Schroeder-Moorer comb and all-pass network
// (Freeverb parameters), and a four-line feedback delay network driven by the
// DX8 parameters or by the I3DL2 room parameters. Buffers are sized once per
// sample rate; nothing is allocated while the rate stays the same.
#include "effects/BuiltInEffects.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

float MilliBelsToGain(double mB) { return static_cast<float>(std::pow(10.0, std::clamp(mB, -10000.0, 2000.0) / 2000.0)); }
float DecibelsToGain(double dB) { return static_cast<float>(std::pow(10.0, std::clamp(dB, -200.0, 40.0) / 20.0)); }

// A delay line with a fixed capacity, read at a variable length.
struct DelayLine {
    std::vector<float> data;
    std::size_t pos = 0;
    void Allocate(std::size_t capacity)
    {
        data.assign(std::max<std::size_t>(capacity, 2), 0.0f);
        pos = 0;
    }
    float Read(std::size_t delay) const
    {
        delay = std::clamp<std::size_t>(delay, 1, data.size() - 1);
        return data[(pos + data.size() - delay) % data.size()];
    }
    void Write(float value)
    {
        data[pos] = value;
        pos = pos + 1 == data.size() ? 0 : pos + 1;
    }
};

// Schroeder all-pass section on a delay line.
struct AllPass {
    DelayLine line;
    std::size_t length = 1;
    float Run(float input, float coef)
    {
        const float delayed = line.Read(length);
        const float v = input + coef * delayed;
        line.Write(v);
        return delayed - coef * v;
    }
};

std::size_t FramesFor(double seconds, int sampleRate) { return static_cast<std::size_t>(std::max(1.0, seconds * sampleRate)); }

// ----------------------------------------------------------------------------

class FreeverbEffect final : public audio::EffectProcessor {
public:
    void SetParameters(const void* params) override { std::memcpy(&params_, params, sizeof(params_)); }
    void Process(float* samples, int frames, int channels, int sampleRate) override
    {
        if (channels <= 0 || sampleRate <= 0)
            return;
        if (sampleRate != rate_)
            Allocate(sampleRate);
        const bool frozen = params_.mode == 1;
        const float feedback = frozen ? 1.0f : std::clamp(params_.roomSize, 0.0f, 1.0f) * 0.28f + 0.7f;
        const float damp = frozen ? 0.0f : std::clamp(params_.damp, 0.0f, 1.0f) * 0.4f;
        const float inputGain = frozen ? 0.0f : 0.015f;
        const float width = std::clamp(params_.width, 0.0f, 1.0f);
        const float wet1 = params_.wetMix * (width / 2.0f + 0.5f);
        const float wet2 = params_.wetMix * ((1.0f - width) / 2.0f);
        const bool stereo = channels >= 2;
        const bool useLeft = EffectChannelSelected(params_.channel, 0);
        const bool useRight = stereo && EffectChannelSelected(params_.channel, 1);
        for (int i = 0; i < frames; ++i) {
            float* frame = samples + static_cast<std::size_t>(i) * channels;
            const float dryL = frame[0];
            const float dryR = stereo ? frame[1] : frame[0];
            const float input = (dryL + dryR) * inputGain;
            float outL = 0.0f, outR = 0.0f;
            for (int k = 0; k < kCombs; ++k) {
                outL += RunComb(combs_[0][k], input, feedback, damp);
                outR += RunComb(combs_[1][k], input, feedback, damp);
            }
            for (int k = 0; k < kAllPasses; ++k) {
                outL = allPasses_[0][k].Run(outL, 0.5f);
                outR = allPasses_[1][k].Run(outR, 0.5f);
            }
            if (!stereo) {
                if (useLeft)
                    frame[0] = dryL * params_.dryMix + (outL + outR) * 0.5f * (wet1 + wet2);
                continue;
            }
            if (useLeft)
                frame[0] = dryL * params_.dryMix + outL * wet1 + outR * wet2;
            if (useRight)
                frame[1] = dryR * params_.dryMix + outR * wet1 + outL * wet2;
        }
    }

private:
    static constexpr int kCombs = 8;
    static constexpr int kAllPasses = 4;
    struct Comb {
        DelayLine line;
        std::size_t length = 1;
        float store = 0.0f;
    };
    static float RunComb(Comb& comb, float input, float feedback, float damp)
    {
        const float output = comb.line.Read(comb.length);
        comb.store = output * (1.0f - damp) + comb.store * damp;
        comb.line.Write(input + comb.store * feedback);
        return output;
    }
    void Allocate(int sampleRate)
    {
        // Lengths tuned at 44.1 kHz; the right side is offset to decorrelate.
        static const int kCombTuning[kCombs] = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
        static const int kAllPassTuning[kAllPasses] = {556, 441, 341, 225};
        constexpr int kStereoSpread = 23;
        rate_ = sampleRate;
        const double scale = sampleRate / 44100.0;
        for (int side = 0; side < 2; ++side) {
            const int spread = side * kStereoSpread;
            for (int k = 0; k < kCombs; ++k) {
                Comb& comb = combs_[side][k];
                comb.length = static_cast<std::size_t>(std::max(1.0, (kCombTuning[k] + spread) * scale));
                comb.line.Allocate(comb.length + 1);
                comb.store = 0.0f;
            }
            for (int k = 0; k < kAllPasses; ++k) {
                AllPass& ap = allPasses_[side][k];
                ap.length = static_cast<std::size_t>(std::max(1.0, (kAllPassTuning[k] + spread) * scale));
                ap.line.Allocate(ap.length + 1);
            }
        }
    }

    audio::FreeverbParams params_;
    int rate_ = 0;
    Comb combs_[2][kCombs];
    AllPass allPasses_[2][kAllPasses];
};

// ----------------------------------------------------------------------------

// Late reverberation: four delay lines mixed through a Hadamard matrix, each
// with a loop gain for the decay time and a low-pass for the faster decay of
// high frequencies. Input diffusion by two all-passes.
class ReverbTank {
public:
    void Allocate(int sampleRate)
    {
        rate_ = sampleRate;
        for (int k = 0; k < kLines; ++k)
            lines_[k].Allocate(FramesFor(kLineSeconds[k], sampleRate) + 2);
        for (int k = 0; k < 2; ++k) {
            diffusers_[k].line.Allocate(FramesFor(kDiffuserSeconds[k], sampleRate) + 2);
            diffusers_[k].length = FramesFor(kDiffuserSeconds[k], sampleRate);
        }
        std::fill(std::begin(damped_), std::end(damped_), 0.0f);
        Configure(decaySeconds_, hfRatio_, diffusion_, density_);
    }
    // density 0..1 shortens the lines (sparser echoes); diffusion 0..1 sets the
    // input all-passes.
    void Configure(float decaySeconds, float hfRatio, float diffusion, float density)
    {
        decaySeconds_ = std::clamp(std::isfinite(decaySeconds) ? decaySeconds : 1.0f, 0.001f, 60.0f);
        hfRatio_ = std::clamp(std::isfinite(hfRatio) ? hfRatio : 0.5f, 0.001f, 2.0f);
        diffusion_ = std::clamp(std::isfinite(diffusion) ? diffusion : 1.0f, 0.0f, 1.0f);
        density_ = std::clamp(std::isfinite(density) ? density : 1.0f, 0.0f, 1.0f);
        if (rate_ <= 0)
            return;
        const double lengthScale = 0.5 + 0.5 * density_;
        for (int k = 0; k < kLines; ++k) {
            length_[k] = FramesFor(kLineSeconds[k] * lengthScale, rate_);
            const double seconds = static_cast<double>(length_[k]) / rate_;
            const double lowGain = std::pow(10.0, -3.0 * seconds / decaySeconds_);
            const double highGain = std::pow(10.0, -3.0 * seconds / (decaySeconds_ * hfRatio_));
            gain_[k] = static_cast<float>(lowGain);
            // One-pole low-pass whose gain at the top of the band is highGain / lowGain.
            const double q = std::min(1.0, highGain / lowGain);
            dampCoef_[k] = static_cast<float>((1.0 - q) / (1.0 + q));
        }
    }
    // One mono input sample in, a decorrelated pair out.
    void Run(float input, float* left, float* right)
    {
        const float coef = 0.7f * diffusion_;
        input = diffusers_[0].Run(input, coef);
        input = diffusers_[1].Run(input, coef);
        float out[kLines];
        for (int k = 0; k < kLines; ++k) {
            const float raw = lines_[k].Read(length_[k]);
            damped_[k] = raw * (1.0f - dampCoef_[k]) + damped_[k] * dampCoef_[k];
            out[k] = damped_[k] * gain_[k];
        }
        // Hadamard mixing, scaled to stay lossless.
        const float a = out[0] + out[1], b = out[0] - out[1], c = out[2] + out[3], d = out[2] - out[3];
        lines_[0].Write(input + 0.5f * (a + c));
        lines_[1].Write(input + 0.5f * (b + d));
        lines_[2].Write(input + 0.5f * (a - c));
        lines_[3].Write(input + 0.5f * (b - d));
        *left = (out[0] + out[2]) * 0.5f;
        *right = (out[1] + out[3]) * 0.5f;
    }

private:
    static constexpr int kLines = 4;
    static constexpr double kLineSeconds[kLines] = {0.0297, 0.0371, 0.0411, 0.0437};
    static constexpr double kDiffuserSeconds[2] = {0.0047, 0.0017};
    int rate_ = 0;
    DelayLine lines_[kLines];
    AllPass diffusers_[2];
    std::size_t length_[kLines] = {1, 1, 1, 1};
    float gain_[kLines] = {};
    float dampCoef_[kLines] = {};
    float damped_[kLines] = {};
    float decaySeconds_ = 1.0f, hfRatio_ = 0.5f, diffusion_ = 1.0f, density_ = 1.0f;
};

// Mixes the tank's pair into a frame: stereo gets the pair, mono their mean.
void AddWet(float* frame, int channels, float left, float right)
{
    if (channels == 1) {
        frame[0] += (left + right) * 0.5f;
        return;
    }
    frame[0] += left;
    frame[1] += right;
}

float MonoInput(const float* frame, int channels) { return channels >= 2 ? (frame[0] + frame[1]) * 0.5f : frame[0]; }

class Dx8ReverbEffect final : public audio::EffectProcessor {
public:
    void SetParameters(const void* params) override
    {
        std::memcpy(&params_, params, sizeof(params_));
        tank_.Configure(params_.reverbTime / 1000.0f, params_.highFreqRtRatio, 1.0f, 1.0f);
    }
    void Process(float* samples, int frames, int channels, int sampleRate) override
    {
        if (channels <= 0 || sampleRate <= 0)
            return;
        if (sampleRate != rate_) {
            rate_ = sampleRate;
            tank_.Allocate(sampleRate);
        }
        const float inGain = DecibelsToGain(params_.inGain);
        const float wetGain = DecibelsToGain(params_.reverbMix);
        const int used = std::min(channels, 2);
        for (int i = 0; i < frames; ++i) {
            float* frame = samples + static_cast<std::size_t>(i) * channels;
            for (int c = 0; c < used; ++c)
                frame[c] *= inGain;
            float left, right;
            tank_.Run(MonoInput(frame, channels), &left, &right);
            AddWet(frame, channels, left * wetGain, right * wetGain);
        }
    }

private:
    audio::Dx8ReverbParams params_;
    int rate_ = 0;
    ReverbTank tank_;
};

class I3dl2ReverbEffect final : public audio::EffectProcessor {
public:
    void SetParameters(const void* params) override
    {
        std::memcpy(&params_, params, sizeof(params_));
        tank_.Configure(params_.decayTime, params_.decayHfRatio, params_.diffusion / 100.0f, params_.density / 100.0f);
    }
    void Process(float* samples, int frames, int channels, int sampleRate) override
    {
        if (channels <= 0 || sampleRate <= 0)
            return;
        if (sampleRate != rate_) {
            rate_ = sampleRate;
            tank_.Allocate(sampleRate);
            predelay_.Allocate(FramesFor(kMaxReflectionsDelay + kMaxReverbDelay, sampleRate) + 2);
            roomLowPass_ = 0.0f;
        }
        const std::size_t reflectionsAt = FramesFor(std::clamp<double>(params_.reflectionsDelay, 0.0, kMaxReflectionsDelay), rate_);
        const std::size_t reverbAt =
            reflectionsAt + FramesFor(std::clamp<double>(params_.reverbDelay, 0.0, kMaxReverbDelay), rate_);
        const float reflectionsGain = MilliBelsToGain(static_cast<double>(params_.room) + params_.reflections);
        const float reverbGain = MilliBelsToGain(static_cast<double>(params_.room) + params_.reverb);
        // Room HF: a one-pole low-pass on what enters the room.
        const float hf = std::min(1.0f, MilliBelsToGain(params_.roomHf));
        const float hfCoef = (1.0f - hf) / (1.0f + hf);
        for (int i = 0; i < frames; ++i) {
            float* frame = samples + static_cast<std::size_t>(i) * channels;
            roomLowPass_ = MonoInput(frame, channels) * (1.0f - hfCoef) + roomLowPass_ * hfCoef;
            predelay_.Write(roomLowPass_);
            // Early reflections: a few taps around the reflections delay.
            const float early = reflectionsGain * 0.5f *
                                (predelay_.Read(reflectionsAt) + 0.6f * predelay_.Read(reflectionsAt + reflectionsAt / 3 + 1));
            float left, right;
            tank_.Run(predelay_.Read(reverbAt) * reverbGain, &left, &right);
            AddWet(frame, channels, early + left, early + right);
        }
    }

private:
    static constexpr double kMaxReflectionsDelay = 0.3;
    static constexpr double kMaxReverbDelay = 0.1;
    audio::I3dl2ReverbParams params_;
    int rate_ = 0;
    ReverbTank tank_;
    DelayLine predelay_;
    float roomLowPass_ = 0.0f;
};

}  // namespace

std::unique_ptr<audio::EffectProcessor> MakeFreeverbEffect() { return std::make_unique<FreeverbEffect>(); }
std::unique_ptr<audio::EffectProcessor> MakeDx8ReverbEffect() { return std::make_unique<Dx8ReverbEffect>(); }
std::unique_ptr<audio::EffectProcessor> MakeI3dl2ReverbEffect() { return std::make_unique<I3dl2ReverbEffect>(); }
