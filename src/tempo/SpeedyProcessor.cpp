#include "tempo/SpeedyProcessor.h"

#include "tempo/TempoFifo.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "storage/Settings.h"

using namespace audio;

SpeedyProcessor::SpeedyProcessor(std::uint32_t extraOutputFlags)
    : extraOutputFlags_(extraOutputFlags) {}

SpeedyProcessor::~SpeedyProcessor() { release(); }

bool SpeedyProcessor::createEngine() {
    engine_ = SpeechSpeedEngine::create(static_cast<int>(sampleRate_), channels_);
    if (!engine_) return false;
    if (nonlinear_) engine_->setNonlinearAmount(1.0);
    applyParameters();
    return true;
}

Handle SpeedyProcessor::create(Handle source, float sampleRate) {
    std::lock_guard<std::mutex> guard(lock_);
    sampleRate_ = sampleRate;
    source_ = source;
    sourceEnded_ = false;
    fifo_.clear();
    nonlinear_ = g_settings.speedy.nonlinearSpeedup;
    ChannelInfo info;
    if (!ChannelGetInfo(source, &info)) return 0;
    channels_ = info.channels;
    if (!createEngine()) return 0;
    // The output does not play before ChannelPlay, so the callback cannot
    // run while the lock is held here.
    output_ = StreamCreateCustom(static_cast<int>(sampleRate_), channels_,
                                 kSampleFloat | extraOutputFlags_, &StreamCallback, this);
    if (output_ == 0) {
        engine_.reset();
        return 0;
    }
    return output_;
}

void SpeedyProcessor::release() {
    Handle output;
    {
        std::lock_guard<std::mutex> guard(lock_);
        output = output_;
        output_ = 0;
    }
    // Freed outside the lock: freeing waits for a block the mixing thread
    // may be producing, and that block waits for this lock.
    if (output != 0) StreamFree(output);
    std::lock_guard<std::mutex> guard(lock_);
    engine_.reset();
    source_ = 0;
    fifo_.clear();
    input_.clear();
    input_.shrink_to_fit();
}

void SpeedyProcessor::applyParameters() {
    if (!engine_) return;
    const double speed = (tempo_ + 100.0) / 100.0 * rate_;
    engine_->setSpeed(std::clamp(speed, SpeechSpeedEngine::kMinSpeed, SpeechSpeedEngine::kMaxSpeed));
    engine_->setPitch(std::pow(2.0, pitch_ / 12.0));
}

void SpeedyProcessor::setTempo(float percent) {
    std::lock_guard<std::mutex> guard(lock_);
    tempo_ = percent;
    applyParameters();
}

void SpeedyProcessor::setPitch(float semitones) {
    std::lock_guard<std::mutex> guard(lock_);
    pitch_ = semitones;
    applyParameters();
}

void SpeedyProcessor::setRate(float factor) {
    std::lock_guard<std::mutex> guard(lock_);
    rate_ = factor;
    applyParameters();
}

float SpeedyProcessor::getTempo() {
    std::lock_guard<std::mutex> guard(lock_);
    return tempo_;
}

float SpeedyProcessor::getPitch() {
    std::lock_guard<std::mutex> guard(lock_);
    return pitch_;
}

float SpeedyProcessor::getRate() {
    std::lock_guard<std::mutex> guard(lock_);
    return rate_;
}

bool SpeedyProcessor::isActive() {
    std::lock_guard<std::mutex> guard(lock_);
    return engine_ != nullptr;
}

Handle SpeedyProcessor::sourceHandle() {
    std::lock_guard<std::mutex> guard(lock_);
    return source_;
}

double SpeedyProcessor::engineSpeed() {
    std::lock_guard<std::mutex> guard(lock_);
    return engine_ ? engine_->speed() : 0.0;
}

double SpeedyProcessor::lengthSeconds() {
    std::lock_guard<std::mutex> guard(lock_);
    if (source_ == 0) return 0.0;
    const std::int64_t bytes = ChannelGetLength(source_);
    return bytes < 0 ? 0.0 : ChannelBytes2Seconds(source_, bytes);
}

double SpeedyProcessor::positionSeconds() {
    std::lock_guard<std::mutex> guard(lock_);
    if (source_ == 0) return 0.0;
    // The decode position: ahead of what is heard by the FIFO and the
    // engine's playback buffer.
    const std::int64_t bytes = ChannelGetPosition(source_);
    return bytes < 0 ? 0.0 : ChannelBytes2Seconds(source_, bytes);
}

void SpeedyProcessor::seek(double seconds) {
    std::lock_guard<std::mutex> guard(lock_);
    if (source_ == 0 || !engine_) return;
    ChannelSetPosition(source_, ChannelSeconds2Bytes(source_, seconds), kPosFlush);
    // A fresh engine: nothing held from before the jump may come out.
    engine_.reset();
    createEngine();
    fifo_.clear();
    sourceEnded_ = false;
}

void SpeedyProcessor::drainEngine() {
    input_.resize(static_cast<size_t>(std::max(kFillFrames, kReadFrames)) * channels_);
    for (;;) {
        const int got = engine_->read(input_.data(), kReadFrames);
        if (got <= 0) return;
        fifo_.insert(fifo_.end(), input_.begin(), input_.begin() + static_cast<size_t>(got) * channels_);
    }
}

bool SpeedyProcessor::fill() {
    if (sourceEnded_ || !engine_) return false;
    input_.resize(static_cast<size_t>(std::max(kFillFrames, kReadFrames)) * channels_);
    const auto bytes = static_cast<std::uint32_t>(kFillFrames * channels_ * sizeof(float));
    const int got = ChannelGetData(source_, input_.data(), bytes | kDataFloat);
    if (got <= 0) {
        sourceEnded_ = true;
        engine_->flush();
        drainEngine();
        return false;
    }
    engine_->write(input_.data(), got / (channels_ * static_cast<int>(sizeof(float))));
    drainEngine();
    return true;
}

std::uint32_t SpeedyProcessor::produce(float* out, std::uint32_t length) {
    return ProduceFromFifo(fifo_, sourceEnded_, out, length, [this] { return fill(); });
}

std::uint32_t SpeedyProcessor::StreamCallback(Handle, void* buffer, std::uint32_t length, void* user) {
    auto* self = static_cast<SpeedyProcessor*>(user);
    std::lock_guard<std::mutex> guard(self->lock_);
    return self->produce(static_cast<float*>(buffer), length);
}
