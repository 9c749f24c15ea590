#include "tempo/FractionalResampler.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kPhases = 256;
constexpr int kBaseHalfWidth = 16;
constexpr double kKaiserBeta = 8.0;
constexpr double kPassband = 0.95;  // of the lower of the two Nyquist frequencies

double Sinc(double x) {
    if (std::fabs(x) < 1e-9) return 1.0;
    return std::sin(M_PI * x) / (M_PI * x);
}

}  // namespace

void FractionalResampler::configure(int channels) {
    channels_ = channels;
    step_ = 1.0;
    buildKernel();
    clear();
}

void FractionalResampler::clear() {
    // Leading silence puts the first output frame on the first input frame.
    history_.assign(static_cast<size_t>(halfWidth_) * channels_, 0.0f);
    readPosition_ = halfWidth_;
}

void FractionalResampler::setStep(double inputFramesPerOutputFrame) {
    if (!std::isfinite(inputFramesPerOutputFrame) || inputFramesPerOutputFrame <= 0.0) return;
    const int oldHalfWidth = halfWidth_;
    step_ = inputFramesPerOutputFrame;
    buildKernel();
    // A wider kernel needs more history in front of the read position.
    const int grow = halfWidth_ - oldHalfWidth;
    if (grow > 0 && channels_ > 0) {
        history_.insert(history_.begin(), static_cast<size_t>(grow) * channels_, 0.0f);
        readPosition_ += grow;
    }
}

void FractionalResampler::buildKernel() {
    // Reading faster than the input moves its top above the new Nyquist
    // frequency: lower the cut-off and widen the kernel to match.
    const double cutoff = kPassband * std::min(1.0, 1.0 / step_);
    halfWidth_ = static_cast<int>(std::ceil(kBaseHalfWidth / std::min(1.0, cutoff / kPassband)));
    const int width = 2 * halfWidth_;
    kernel_.assign(static_cast<size_t>(kPhases + 1) * width, 0.0f);
    const double norm = std::cyl_bessel_i(0.0, kKaiserBeta);
    for (int phase = 0; phase <= kPhases; ++phase) {
        const double frac = static_cast<double>(phase) / kPhases;
        for (int k = 0; k < width; ++k) {
            const double x = (k - halfWidth_ + 1) - frac;  // tap distance from the read position
            const double r = x / halfWidth_;
            const double window =
                std::fabs(r) >= 1.0
                    ? 0.0
                    : std::cyl_bessel_i(0.0, kKaiserBeta * std::sqrt(1.0 - r * r)) / norm;
            kernel_[static_cast<size_t>(phase) * width + k] =
                static_cast<float>(cutoff * Sinc(cutoff * x) * window);
        }
    }
    taps_.assign(static_cast<size_t>(width), 0.0f);
}

void FractionalResampler::produce(std::vector<float>& output) {
    const int width = 2 * halfWidth_;
    const int frames = static_cast<int>(history_.size()) / std::max(channels_, 1);
    while (static_cast<int>(readPosition_) + halfWidth_ < frames) {
        const int base = static_cast<int>(readPosition_);
        const double phasePos = (readPosition_ - base) * kPhases;
        const int phase = std::min(static_cast<int>(phasePos), kPhases - 1);
        const float blend = static_cast<float>(phasePos - phase);
        const float* row0 = kernel_.data() + static_cast<size_t>(phase) * width;
        const float* row1 = row0 + width;
        for (int k = 0; k < width; ++k) taps_[k] = row0[k] + blend * (row1[k] - row0[k]);
        const float* first = history_.data() + static_cast<size_t>(base - halfWidth_ + 1) * channels_;
        for (int c = 0; c < channels_; ++c) {
            float sum = 0.0f;
            for (int k = 0; k < width; ++k) sum += taps_[k] * first[k * channels_ + c];
            output.push_back(sum);
        }
        readPosition_ += step_;
    }
    // Drop history the kernel can no longer reach.
    const int keepFrom = std::min(static_cast<int>(readPosition_) - halfWidth_ + 1, frames);
    if (keepFrom > 0) {
        history_.erase(history_.begin(), history_.begin() + static_cast<size_t>(keepFrom) * channels_);
        readPosition_ -= keepFrom;
    }
}

void FractionalResampler::process(const float* input, int frames, std::vector<float>& output) {
    if (channels_ <= 0 || frames <= 0) return;
    history_.insert(history_.end(), input, input + static_cast<size_t>(frames) * channels_);
    produce(output);
}

void FractionalResampler::flush(std::vector<float>& output) {
    if (channels_ <= 0) return;
    history_.insert(history_.end(), static_cast<size_t>(halfWidth_) * channels_, 0.0f);
    produce(output);
    clear();
}
