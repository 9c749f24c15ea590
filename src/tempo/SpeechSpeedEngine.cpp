#include "tempo/SpeechSpeedEngine.h"

#include <sonic.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr int kMaxChannels = 32;
constexpr int kSonicReadFrames = 4096;
constexpr double kMinPitch = 0.25;
constexpr double kMaxPitch = 4.0;

}  // namespace

std::unique_ptr<SpeechSpeedEngine> SpeechSpeedEngine::create(int sampleRate, int channels) {
    if (sampleRate < 8000 || sampleRate > 768000 || channels < 1 || channels > kMaxChannels)
        return nullptr;
    std::unique_ptr<SpeechSpeedEngine> engine(new SpeechSpeedEngine());
    engine->sonic_ = sonicCreateStream(sampleRate, channels);
    if (!engine->sonic_) return nullptr;
    if (!engine->profile_.configure(sampleRate)) return nullptr;
    engine->sampleRate_ = sampleRate;
    engine->channels_ = channels;
    engine->pitchStage_.configure(channels);
    engine->sonicOut_.resize(static_cast<size_t>(kSonicReadFrames) * channels);
    return engine;
}

SpeechSpeedEngine::~SpeechSpeedEngine() {
    if (sonic_) sonicDestroyStream(sonic_);
}

void SpeechSpeedEngine::setNonlinearAmount(double amount) {
    if (!std::isfinite(amount)) return;
    amount = std::clamp(amount, 0.0, 1.0);
    if (amount_ > 0.0 && amount == 0.0) {
        // Input held for the profile goes out before plain scaling resumes.
        profile_.finish(speed_, hopSpeeds_);
        passPending(true);
    }
    amount_ = amount;
    profile_.setAmount(amount);
}

void SpeechSpeedEngine::setSpeed(double speed) {
    if (!std::isfinite(speed)) return;
    speed_ = std::clamp(speed, kMinSpeed, kMaxSpeed);
}

void SpeechSpeedEngine::setPitch(double pitch) {
    if (!std::isfinite(pitch) || pitch <= 0.0) return;
    pitch_ = std::clamp(pitch, kMinPitch, kMaxPitch);
    if (pitch_ != pitchStage_.step()) pitchStage_.setStep(pitch_);
}

bool SpeechSpeedEngine::writeToSonic(const float* frames, int frameCount, double speed) {
    // Sonic stretches by speed / pitch; the pitch stage then reads that
    // back `pitch` times faster, which restores the duration.
    sonicSetSpeed(sonic_, static_cast<float>(speed / pitch_));
    const bool ok =
        sonicWriteFloatToStream(sonic_, const_cast<float*>(frames), frameCount) != 0;
    drainSonic();
    return ok;
}

void SpeechSpeedEngine::drainSonic() {
    for (;;) {
        const int got = sonicReadFloatFromStream(sonic_, sonicOut_.data(), kSonicReadFrames);
        if (got <= 0) return;
        const size_t samples = static_cast<size_t>(got) * channels_;
        // Until the pitch first moves, Sonic's output passes untouched.
        if (pitchStage_.step() == 1.0 && pitch_ == 1.0 && !pitchStageUsed_)
            output_.insert(output_.end(), sonicOut_.begin(), sonicOut_.begin() + samples);
        else {
            pitchStageUsed_ = true;
            pitchStage_.process(sonicOut_.data(), got, output_);
        }
    }
}

bool SpeechSpeedEngine::passPending(bool atEnd) {
    const int hop = profile_.hopFrames();
    bool ok = true;
    size_t used = 0;
    size_t hopIndex = 0;
    const size_t pendingFrames = pending_.size() / channels_;
    for (; hopIndex < hopSpeeds_.size(); ++hopIndex) {
        const size_t frames = std::min(static_cast<size_t>(hop), pendingFrames - used);
        if (frames == 0) break;
        if (!atEnd && frames < static_cast<size_t>(hop)) break;
        // Sonic holds back up to a pitch-period pair of input, so a speed set
        // now mostly lands on the hop before: hand over the speeds one hop late.
        const double speed = hopSpeedsApplied_ == 0 ? hopSpeeds_[hopIndex] : previousHopSpeed_;
        ok = writeToSonic(pending_.data() + used * channels_, static_cast<int>(frames), speed) && ok;
        previousHopSpeed_ = hopSpeeds_[hopIndex];
        ++hopSpeedsApplied_;
        used += frames;
    }
    hopSpeeds_.erase(hopSpeeds_.begin(), hopSpeeds_.begin() + static_cast<long>(hopIndex));
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<long>(used * channels_));
    if (atEnd) {
        hopSpeeds_.clear();
        if (!pending_.empty()) {
            ok = writeToSonic(pending_.data(), static_cast<int>(pending_.size() / channels_),
                              previousHopSpeed_) && ok;
            pending_.clear();
        }
        hopSpeedsApplied_ = 0;
    }
    return ok;
}

bool SpeechSpeedEngine::write(const float* frames, int frameCount) {
    if (!frames || frameCount <= 0) return true;
    if (amount_ <= 0.0) return writeToSonic(frames, frameCount, speed_);

    const size_t samples = static_cast<size_t>(frameCount) * channels_;
    pending_.insert(pending_.end(), frames, frames + samples);
    mono_.resize(static_cast<size_t>(frameCount));
    const float scale = 1.0f / channels_;
    for (int i = 0; i < frameCount; ++i) {
        float sum = 0.0f;
        for (int c = 0; c < channels_; ++c) sum += frames[static_cast<size_t>(i) * channels_ + c];
        mono_[i] = sum * scale;
    }
    profile_.push(mono_.data(), frameCount, speed_, hopSpeeds_);
    return passPending(false);
}

void SpeechSpeedEngine::flush() {
    if (amount_ > 0.0) {
        profile_.finish(speed_, hopSpeeds_);
        passPending(true);
    }
    sonicFlushStream(sonic_);
    drainSonic();
    if (pitchStageUsed_) pitchStage_.flush(output_);
}

int SpeechSpeedEngine::read(float* frames, int maxFrames) {
    if (!frames || maxFrames <= 0) return 0;
    const size_t available = (output_.size() - outputStart_) / channels_;
    const size_t count = std::min(available, static_cast<size_t>(maxFrames));
    if (count == 0) return 0;
    const size_t samples = count * channels_;
    std::memcpy(frames, output_.data() + outputStart_, samples * sizeof(float));
    outputStart_ += samples;
    if (outputStart_ == output_.size()) {
        output_.clear();
        outputStart_ = 0;
    } else if (outputStart_ > output_.size() / 2) {
        output_.erase(output_.begin(), output_.begin() + static_cast<long>(outputStart_));
        outputStart_ = 0;
    }
    return static_cast<int>(count);
}
