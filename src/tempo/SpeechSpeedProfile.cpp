#include "tempo/SpeechSpeedProfile.h"

#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <mutex>

namespace {

constexpr double kHopSeconds = 0.02;
constexpr int kBands = 24;
constexpr double kLowestBandHz = 100.0;
constexpr double kHighestBandHz = 8000.0;

// Relative weights of output time: a pause gets this share of what a
// speech transition gets, a steady sound (a held vowel, a hiss) this one.
constexpr double kPauseWeight = 0.2;
constexpr double kSteadyWeight = 0.5;

// Below the recent loud level by more than kSilenceBelowLoudDb counts as a
// pause, by less than kSpeechBelowLoudDb as speech; below kFloorDbfs always
// a pause. The loud level sinks slowly so a quieter talker is followed.
constexpr double kSilenceBelowLoudDb = 40.0;
constexpr double kSpeechBelowLoudDb = 25.0;
constexpr double kFloorDbfs = -65.0;
constexpr double kLoudDecayDbPerSecond = 6.0;
constexpr double kBandFloorBelowLoudDb = 50.0;

// Mean spectral change (dB per band between hops) of a steady sound and of
// a clear transition.
constexpr double kSteadyFluxDb = 3.0;
constexpr double kTransitionFluxDb = 9.0;

// The mean is taken over this long; any remaining drift from the requested
// speed is paid back over kDebtSeconds.
constexpr double kMeanSeconds = 3.0;
constexpr double kDebtSeconds = 2.0;
constexpr double kMaxDebtCorrection = 0.3;

// One hop never plays slower than a third or faster than four times the
// requested speed.
constexpr double kMinSpeedShare = 1.0 / 3.0;
constexpr double kMaxSpeedShare = 4.0;
constexpr double kMinLocalSpeed = 0.05;
constexpr double kMaxLocalSpeed = 20.0;

// FFTW's planner is not thread-safe.
std::mutex g_fftwPlannerLock;

double SmoothStep(double x) {
    x = std::clamp(x, 0.0, 1.0);
    return x * x * (3.0 - 2.0 * x);
}

}  // namespace

SpeechSpeedProfile::SpeechSpeedProfile() = default;

SpeechSpeedProfile::~SpeechSpeedProfile() {
    std::lock_guard<std::mutex> lock(g_fftwPlannerLock);
    if (plan_) fftwf_destroy_plan(reinterpret_cast<fftwf_plan>(plan_));
    fftwf_free(fftIn_);
    fftwf_free(fftOut_);
}

bool SpeechSpeedProfile::configure(int sampleRate) {
    if (sampleRate < 8000 || sampleRate > 768000 || plan_) return false;
    sampleRate_ = sampleRate;
    hop_ = std::max(1, static_cast<int>(std::lround(sampleRate * kHopSeconds)));
    fftSize_ = 1;
    while (fftSize_ < 2 * hop_) fftSize_ *= 2;
    {
        std::lock_guard<std::mutex> lock(g_fftwPlannerLock);
        fftIn_ = fftwf_alloc_real(static_cast<size_t>(fftSize_));
        fftOut_ = fftwf_alloc_complex(static_cast<size_t>(fftSize_ / 2 + 1));
        if (!fftIn_ || !fftOut_) return false;
        plan_ = reinterpret_cast<fftwf_plan_s*>(fftwf_plan_dft_r2c_1d(
            fftSize_, fftIn_, static_cast<fftwf_complex*>(fftOut_), FFTW_ESTIMATE));
    }
    if (!plan_) return false;

    window_.resize(static_cast<size_t>(2 * hop_));
    for (int i = 0; i < 2 * hop_; ++i)
        window_[i] = static_cast<float>(0.5 - 0.5 * std::cos(2.0 * M_PI * (i + 0.5) / (2 * hop_)));

    const double nyquist = sampleRate / 2.0;
    const double top = std::min(kHighestBandHz, nyquist * 0.95);
    bandEdges_.resize(kBands + 1);
    for (int b = 0; b <= kBands; ++b) {
        const double hz = kLowestBandHz * std::pow(top / kLowestBandHz, static_cast<double>(b) / kBands);
        bandEdges_[b] = static_cast<int>(std::lround(hz / sampleRate * fftSize_));
    }
    for (int b = 1; b <= kBands; ++b)
        bandEdges_[b] = std::max(bandEdges_[b], bandEdges_[b - 1] + 1);
    bands_.assign(kBands, 0.0);
    clear();
    return true;
}

void SpeechSpeedProfile::clear() {
    // Half a hop of silence centres each analysis window on its hop.
    samples_.assign(static_cast<size_t>(hop_ / 2), 0.0f);
    analysedFrames_ = 0;
    frames_.clear();
    decidedFrames_ = 0;
    contextFrames_ = 0;
    previousBands_.clear();
    loudDb_ = -120.0;
    meanWeight_ = 0.0;
    weightCount_ = 0;
    outputDebtSeconds_ = 0.0;
}

void SpeechSpeedProfile::analyseFrame() {
    const int length = 2 * hop_;
    double energy = 0.0;
    for (int i = 0; i < length; ++i) {
        const float v = samples_[i] * window_[i];
        fftIn_[i] = v;
        energy += static_cast<double>(v) * v;
    }
    std::fill(fftIn_ + length, fftIn_ + fftSize_, 0.0f);
    fftwf_execute(reinterpret_cast<fftwf_plan>(plan_));

    Frame frame;
    // A full-scale sine scores about -4.3 dB here (Hann window power 3/8).
    frame.levelDb = 10.0 * std::log10(energy / length + 1e-12);
    const double decay = kLoudDecayDbPerSecond * kHopSeconds;
    loudDb_ = std::max(frame.levelDb, loudDb_ - decay);

    const auto* spectrum = static_cast<const fftwf_complex*>(fftOut_);
    const double floorDb = std::max(loudDb_ - kBandFloorBelowLoudDb, -100.0);
    for (int b = 0; b < kBands; ++b) {
        double sum = 0.0;
        for (int k = bandEdges_[b]; k < bandEdges_[b + 1] && k <= fftSize_ / 2; ++k)
            sum += static_cast<double>(spectrum[k][0]) * spectrum[k][0] +
                   static_cast<double>(spectrum[k][1]) * spectrum[k][1];
        const int width = std::max(1, bandEdges_[b + 1] - bandEdges_[b]);
        bands_[b] = std::max(10.0 * std::log10(sum / width / length + 1e-12), floorDb);
    }
    if (!previousBands_.empty()) {
        double change = 0.0;
        for (int b = 0; b < kBands; ++b) change += std::fabs(bands_[b] - previousBands_[b]);
        frame.flux = change / kBands;
    }
    previousBands_ = bands_;
    frames_.push_back(frame);
    ++analysedFrames_;

    samples_.erase(samples_.begin(), samples_.begin() + hop_);
}

double SpeechSpeedProfile::hopWeight(int index) const {
    // index is into frames_; neighbours past either end repeat the edge.
    const int last = static_cast<int>(frames_.size()) - 1;
    const Frame& frame = frames_[std::clamp(index, 0, last)];
    const double flux = std::max(frame.flux, frames_[std::clamp(index + 1, 0, last)].flux);
    double speech = SmoothStep((frame.levelDb - (loudDb_ - kSilenceBelowLoudDb)) /
                               (kSilenceBelowLoudDb - kSpeechBelowLoudDb));
    if (frame.levelDb < kFloorDbfs) speech = 0.0;
    const double change =
        SmoothStep((flux - kSteadyFluxDb) / (kTransitionFluxDb - kSteadyFluxDb));
    return kPauseWeight +
           (1.0 - kPauseWeight) * speech * (kSteadyWeight + (1.0 - kSteadyWeight) * change);
}

void SpeechSpeedProfile::decide(double requestedSpeed, std::vector<double>& speeds, bool atEnd) {
    // A hop is decided once the two analysis frames after it exist.
    const long long ready = atEnd ? analysedFrames_ : analysedFrames_ - 2;
    const long long meanFrames = std::max(1LL, std::llround(kMeanSeconds / kHopSeconds));
    const double hopSeconds = static_cast<double>(hop_) / sampleRate_;
    while (decidedFrames_ < ready) {
        const int i = contextFrames_;
        double weight = 0.25 * hopWeight(i - 1) + 0.5 * hopWeight(i) + 0.25 * hopWeight(i + 1);
        weight = 1.0 - amount_ * (1.0 - weight);

        ++weightCount_;
        const double blend = 1.0 / static_cast<double>(std::min(weightCount_, meanFrames));
        meanWeight_ += blend * (weight - meanWeight_);

        double speed = requestedSpeed * meanWeight_ / weight;
        const double correction =
            std::clamp(outputDebtSeconds_ / kDebtSeconds, -kMaxDebtCorrection, kMaxDebtCorrection);
        speed *= 1.0 + correction;
        speed = std::clamp(speed, requestedSpeed * kMinSpeedShare, requestedSpeed * kMaxSpeedShare);
        speed = std::clamp(speed, kMinLocalSpeed, kMaxLocalSpeed);
        outputDebtSeconds_ += hopSeconds * (1.0 / speed - 1.0 / requestedSpeed);
        speeds.push_back(speed);
        ++decidedFrames_;

        // Keep one decided frame before the next for the smoothing.
        if (contextFrames_ >= 1)
            frames_.erase(frames_.begin());
        else
            ++contextFrames_;
    }
}

void SpeechSpeedProfile::push(const float* mono, int frames, double requestedSpeed,
                              std::vector<double>& speeds) {
    if (!plan_ || frames <= 0) return;
    samples_.insert(samples_.end(), mono, mono + frames);
    while (static_cast<int>(samples_.size()) >= 2 * hop_) analyseFrame();
    decide(requestedSpeed, speeds, false);
}

void SpeechSpeedProfile::finish(double requestedSpeed, std::vector<double>& speeds) {
    if (!plan_) return;
    // Hops still owed: every input frame pushed belongs to one, the last
    // perhaps partial. The half-hop lead-in is not input.
    const long long pending = static_cast<long long>(samples_.size()) - hop_ / 2;
    const long long owed = analysedFrames_ + (pending > 0 ? (pending + hop_ - 1) / hop_ : 0);
    while (analysedFrames_ < owed) {
        samples_.resize(std::max(samples_.size(), static_cast<size_t>(2 * hop_)), 0.0f);
        analyseFrame();
    }
    decide(requestedSpeed, speeds, true);
    clear();
}
