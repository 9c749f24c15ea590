#include "effects/StereoEffects.h"

#include "effects/EffectParams.h"
#include "effects/Fft.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstring>
#include <memory>

namespace {

constexpr int kParamStereoWidth = 26;
constexpr int kParamCenterCancel = 27;

// Short-time Fourier centre removal: 4096-point frames, hop 1024, Hann window
// for analysis and synthesis. Output lags the input by 4095 frames.
struct CenterCancelEngine {
    static constexpr int kSize = 4096;
    static constexpr int kHop = kSize / 4;
    static constexpr float kOverlapScale = 1.0f / 1.5f;

    CenterCancelEngine()
    {
        for (int i = 0; i < kSize; ++i)
            window[i] = static_cast<float>(0.5 * (1.0 - std::cos(2.0 * M_PI * i / (kSize - 1))));
    }

    void Run(float* frames, int count, float amount)
    {
        for (int i = 0; i < count; ++i) {
            float* frame = frames + 2 * i;
            input[0][inputCount] = frame[0];
            input[1][inputCount] = frame[1];
            if (++inputCount == kSize) {
                ProcessBlock(amount);
                for (auto& channel : input)
                    std::memmove(channel, channel + kHop, sizeof(float) * (kSize - kHop));
                inputCount = kSize - kHop;
            }
            if (ready > 0) {
                const std::size_t at = readPosition % (2 * kSize);
                frame[0] = ring[0][at];
                frame[1] = ring[1][at];
                ring[0][at] = ring[1][at] = 0.0f;
                ++readPosition;
                --ready;
            } else {
                frame[0] = frame[1] = 0.0f;
            }
        }
    }

    void ProcessBlock(float amount)
    {
        for (int i = 0; i < kSize; ++i) {
            left[i] = {input[0][i] * window[i], 0.0f};
            right[i] = {input[1][i] * window[i], 0.0f};
        }
        FftInPlace(left, kSize, false);
        FftInPlace(right, kSize, false);
        for (int k = 0; k <= kSize / 2; ++k) {
            const std::complex<float> mid = (left[k] + right[k]) * 0.5f;
            const std::complex<float> side = (left[k] - right[k]) * 0.5f;
            const float midMag = std::abs(mid), sideMag = std::abs(side);
            if (midMag + sideMag < 1e-10f)
                continue;
            const float centred = midMag / (midMag + sideMag + 1e-10f);
            float phase = std::arg(left[k]) - std::arg(right[k]);
            if (phase > static_cast<float>(M_PI))
                phase -= static_cast<float>(2 * M_PI);
            else if (phase < -static_cast<float>(M_PI))
                phase += static_cast<float>(2 * M_PI);
            const float keep =
                std::max(0.0f, 1.0f - ((0.5f * std::cos(phase) + 0.5f) * 0.3f + 0.7f * centred) * amount);
            left[k] = keep * mid + side;
            right[k] = keep * mid - side;
            if (k > 0 && k < kSize / 2) {
                left[kSize - k] = std::conj(left[k]);
                right[kSize - k] = std::conj(right[k]);
            }
        }
        FftInPlace(left, kSize, true);
        FftInPlace(right, kSize, true);
        for (int j = 0; j < kSize; ++j) {
            const std::size_t at = (readPosition + j) % (2 * kSize);
            // Squared Hann windows at a quarter hop overlap to 1.5: scaling by
            // 1 / 1.5 gives unity gain to what is not cancelled.
            ring[0][at] += left[j].real() * window[j] * kOverlapScale;
            ring[1][at] += right[j].real() * window[j] * kOverlapScale;
        }
        ready += kHop;
    }

    float window[kSize];
    float input[2][kSize] = {};
    int inputCount = 0;
    float ring[2][2 * kSize] = {};
    std::uint64_t readPosition = 0;
    int ready = 0;
    std::complex<float> left[kSize];
    std::complex<float> right[kSize];
};

// Set once on the UI thread before any routine that uses it is installed.
std::unique_ptr<CenterCancelEngine> g_centerCancel;

int ChannelsOf(void* user) { return static_cast<int>(reinterpret_cast<std::intptr_t>(user)); }

}  // namespace

void ApplyStereoWidth(float* frames, int count, float widthPercent)
{
    const float width = widthPercent / 100.0f;
    for (int i = 0; i < count; ++i) {
        float* frame = frames + 2 * i;
        const float mid = (frame[0] + frame[1]) * 0.5f;
        const float side = (frame[0] - frame[1]) * 0.5f * width;
        frame[0] = mid + side;
        frame[1] = mid - side;
    }
}

void ApplyCenterCancel(float* frames, int count, float amountPercent)
{
    const float amount = std::clamp(amountPercent / 100.0f, -1.0f, 1.0f);
    if (amount == 0.0f || !std::isfinite(amount))
        return;
    if (amount < 0.0f) {
        const float keep = 1.0f + amount;
        for (int i = 0; i < count; ++i) {
            float* frame = frames + 2 * i;
            const float mid = (frame[0] + frame[1]) * 0.5f;
            frame[0] = (frame[0] - mid) * keep + mid;
            frame[1] = (frame[1] - mid) * keep + mid;
        }
        return;
    }
    if (g_centerCancel)
        g_centerCancel->Run(frames, count, amount);
}

void PrepareCenterCancelEngine()
{
    if (!g_centerCancel)
        g_centerCancel = std::make_unique<CenterCancelEngine>();
}

void StereoWidthDsp(audio::Handle, audio::Handle, void* buffer, std::uint32_t length, void* user)
{
    if (ChannelsOf(user) != 2)
        return;
    const float width = g_effectValues[kParamStereoWidth].load(std::memory_order_relaxed);
    if (width == 100.0f)
        return;
    ApplyStereoWidth(static_cast<float*>(buffer), static_cast<int>(length / (2 * sizeof(float))), width);
}

void CenterCancelDsp(audio::Handle, audio::Handle, void* buffer, std::uint32_t length, void* user)
{
    if (ChannelsOf(user) != 2)
        return;
    ApplyCenterCancel(static_cast<float*>(buffer), static_cast<int>(length / (2 * sizeof(float))),
                      g_effectValues[kParamCenterCancel].load(std::memory_order_relaxed));
}
