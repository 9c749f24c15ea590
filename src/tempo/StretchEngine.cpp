#include "tempo/StretchEngine.h"

#include <rubberband/RubberBandStretcher.h>

#include <algorithm>
#include <cmath>
#include <cstring>

using RubberBand::RubberBandStretcher;

namespace {

constexpr int kMaxChannels = 32;

// Analysis blocks shorter than this use the single short window: lower
// delay and cost, a little less quality.
constexpr double kShortWindowBelowSeconds = 0.08;

// The real-time stretcher keeps this much input in hand before it answers;
// the queued reserve in front of the caller covers it, so that a sudden
// speed-up never runs the output dry.
constexpr int kReserveHops = 5;

// The most a low queue may slow the output, as a share of the ratio.
constexpr double kMaxLowQueueStretch = 0.05;

// The queue never holds more than this; beyond it the oldest audio goes.
constexpr double kMaxQueuedSeconds = 8.0;

}  // namespace

StretchEngine::StretchEngine() = default;
StretchEngine::~StretchEngine() = default;

bool StretchEngine::configure(int channels, int blockFrames, int intervalFrames, bool optionFlag,
                              int sampleRate) {
    if (channels < 1 || channels > kMaxChannels || sampleRate < 8000 || sampleRate > 768000 ||
        blockFrames < 1 || intervalFrames < 1)
        return false;

    RubberBandStretcher::Options options =
        RubberBandStretcher::OptionProcessRealTime | RubberBandStretcher::OptionEngineFiner |
        RubberBandStretcher::OptionThreadingNever |
        // Pitch may change while playing; this keeps such changes click-free.
        RubberBandStretcher::OptionPitchHighConsistency |
        RubberBandStretcher::OptionChannelsTogether;
    if (optionFlag || blockFrames < sampleRate * kShortWindowBelowSeconds)
        options |= RubberBandStretcher::OptionWindowShort;

    stretcher_ = std::make_unique<RubberBandStretcher>(static_cast<size_t>(sampleRate),
                                                       static_cast<size_t>(channels), options);
    channels_ = channels;
    sampleRate_ = sampleRate;
    // Rubber Band picks its own analysis hop; the interval only bounds how
    // much input one internal call takes.
    maxChunk_ = std::clamp(intervalFrames, 256, 4096);
    stretcher_->setMaxProcessSize(static_cast<size_t>(maxChunk_));
    reserveFrames_ = kReserveHops * 1024;

    queue_.assign(channels, {});
    scratch_.assign(channels, std::vector<float>(static_cast<size_t>(std::max(maxChunk_, 4096))));
    scratchPtrs_.resize(channels);
    for (int c = 0; c < channels; ++c) scratchPtrs_[c] = scratch_[c].data();
    chunkPtrs_.resize(channels);
    const size_t expected = static_cast<size_t>(sampleRate) * 2;
    for (auto& q : queue_) q.reserve(expected);

    formantPreserved_ = false;
    transposeScale_ = 1.0;
    reset();
    return true;
}

void StretchEngine::setTransposeSemitones(double semitones, double tonalityLimit) {
    if (!std::isfinite(semitones)) semitones = 0.0;
    semitones = std::clamp(semitones, -48.0, 48.0);
    transposeScale_ = std::pow(2.0, semitones / 12.0);
    // Rubber Band has no frequency above which the shift eases off; the
    // nearest it offers is keeping the spectral envelope (the timbre) in place.
    formantPreserved_ = std::isfinite(tonalityLimit) && tonalityLimit > 0.0 && tonalityLimit < 0.5;
    if (!stretcher_) return;
    stretcher_->setPitchScale(transposeScale_);
    stretcher_->setFormantOption(formantPreserved_ ? RubberBandStretcher::OptionFormantPreserved
                                                   : RubberBandStretcher::OptionFormantShifted);
}

void StretchEngine::reset() {
    if (!stretcher_) return;
    stretcher_->reset();
    stretcher_->setTimeRatio(1.0);
    stretcher_->setPitchScale(transposeScale_);
    for (auto& q : queue_) q.clear();
    queueStart_ = 0;
    queueFill_ = 0;

    // Silence fed in front of the first audio, then cut from the output
    // again, lines the output up with the input.
    int pad = static_cast<int>(stretcher_->getPreferredStartPad());
    dropFrames_ = static_cast<int>(stretcher_->getStartDelay());
    for (int c = 0; c < channels_; ++c)
        std::fill(scratch_[c].begin(), scratch_[c].end(), 0.0f);
    while (pad > 0) {
        const int n = std::min(pad, maxChunk_);
        for (int c = 0; c < channels_; ++c) chunkPtrs_[c] = scratch_[c].data();
        stretcher_->process(chunkPtrs_.data(), static_cast<size_t>(n), false);
        pad -= n;
        collectAvailable();
    }
    appendSilence(outputLatency());
}

int StretchEngine::inputLatency() const { return 0; }

int StretchEngine::outputLatency() const {
    if (!stretcher_) return 0;
    return static_cast<int>(stretcher_->getSamplesRequired()) + reserveFrames_;
}

void StretchEngine::appendSilence(int frames) {
    if (frames <= 0) return;
    for (auto& q : queue_) q.insert(q.end(), static_cast<size_t>(frames), 0.0f);
    queueFill_ += frames;
}

void StretchEngine::collectAvailable() {
    for (;;) {
        const int available = stretcher_->available();
        if (available <= 0) return;
        const int want = std::min(available, static_cast<int>(scratch_[0].size()));
        const int got = static_cast<int>(
            stretcher_->retrieve(scratchPtrs_.data(), static_cast<size_t>(want)));
        if (got <= 0) return;
        int skip = std::min(dropFrames_, got);
        dropFrames_ -= skip;
        const int keep = got - skip;
        if (keep > 0) {
            for (int c = 0; c < channels_; ++c)
                queue_[c].insert(queue_[c].end(), scratch_[c].data() + skip,
                                 scratch_[c].data() + got);
            queueFill_ += keep;
        }
    }
}

void StretchEngine::feed(const float* const* input, int frames, double timeRatio) {
    stretcher_->setTimeRatio(timeRatio);
    int done = 0;
    while (done < frames) {
        const int n = std::min(frames - done, maxChunk_);
        for (int c = 0; c < channels_; ++c) chunkPtrs_[c] = input[c] + done;
        stretcher_->process(chunkPtrs_.data(), static_cast<size_t>(n), false);
        done += n;
        collectAvailable();
    }
}

void StretchEngine::popFrames(float* const* output, int frames, int outputOffset) {
    const int fromQueue = std::min(frames, queueFill_);
    for (int c = 0; c < channels_; ++c) {
        float* out = output[c] + outputOffset;
        if (fromQueue > 0)
            std::memcpy(out, queue_[c].data() + queueStart_,
                        static_cast<size_t>(fromQueue) * sizeof(float));
        // Only an engine starved by misuse gets here: fill with silence.
        if (fromQueue < frames)
            std::fill(out + fromQueue, out + frames, 0.0f);
    }
    queueStart_ += fromQueue;
    queueFill_ -= fromQueue;
    // Compact now and then instead of shifting on every read.
    if (queueStart_ > 0 && (queueFill_ == 0 || queueStart_ >= sampleRate_)) {
        for (auto& q : queue_) q.erase(q.begin(), q.begin() + queueStart_);
        queueStart_ = 0;
    }
}

void StretchEngine::process(const float* const* input, int inputFrames, float* const* output,
                            int outputFrames) {
    if (outputFrames < 0) outputFrames = 0;
    if (!stretcher_) {
        for (int c = 0; c < channels_ && output; ++c)
            std::fill(output[c], output[c] + outputFrames, 0.0f);
        return;
    }
    if (input && inputFrames > 0) {
        double timeRatio = outputFrames > 0
                               ? static_cast<double>(outputFrames) / inputFrames
                               : 1.0 / kMaxRatio;
        // The stretcher does not drift, but how much it holds back changes
        // with the ratio; when the queue runs low, slow down a touch until
        // it has filled again rather than play a gap.
        const int lowWater = reserveFrames_ / 2 + outputFrames;
        if (queueFill_ < lowWater)
            timeRatio *= 1.0 + kMaxLowQueueStretch * (lowWater - queueFill_) / lowWater;
        timeRatio = std::clamp(timeRatio, 1.0 / kMaxRatio, 1.0 / kMinRatio);
        feed(input, inputFrames, timeRatio);
    }
    if (outputFrames > 0 && output) popFrames(output, outputFrames, 0);

    const int maxQueued = static_cast<int>(kMaxQueuedSeconds * sampleRate_);
    if (queueFill_ > maxQueued) {
        const int excess = queueFill_ - maxQueued;
        queueStart_ += excess;
        queueFill_ -= excess;
    }
}
