#include "tempo/SignalsmithProcessor.h"

#include "tempo/TempoFifo.h"

#include <algorithm>
#include <cmath>

#include "storage/Settings.h"

using namespace audio;

SignalsmithProcessor::SignalsmithProcessor(std::uint32_t extraOutputFlags)
    : extraOutputFlags_(extraOutputFlags) {}

SignalsmithProcessor::~SignalsmithProcessor() { release(); }

double SignalsmithProcessor::tonalityLimit() const {
    const int limitHz = g_settings.signalsmith.tonalityLimit;
    if (limitHz < 1 || sampleRate_ <= 0.0f) return 0.0;
    return limitHz / static_cast<double>(sampleRate_);
}

void SignalsmithProcessor::sizeBuffers(int frames) {
    // A fill may stretch one block up to ten times.
    const size_t outFrames = static_cast<size_t>(std::max(frames, kFillFrames * 10 + 1));
    input_.resize(static_cast<size_t>(frames) * channels_);
    channelIn_.assign(channels_, std::vector<float>(static_cast<size_t>(frames)));
    channelOut_.assign(channels_, std::vector<float>(outFrames));
    inPtrs_.resize(channels_);
    outPtrs_.resize(channels_);
    for (int c = 0; c < channels_; ++c) {
        inPtrs_[c] = channelIn_[c].data();
        outPtrs_[c] = channelOut_[c].data();
    }
}

int SignalsmithProcessor::readSource(int frames) {
    const auto bytes = static_cast<std::uint32_t>(frames * channels_ * sizeof(float));
    const int got = ChannelGetData(source_, input_.data(), bytes | kDataFloat);
    if (got <= 0) return got;
    const int n = got / (channels_ * static_cast<int>(sizeof(float)));
    for (int i = 0; i < n; ++i)
        for (int c = 0; c < channels_; ++c)
            channelIn_[c][i] = input_[static_cast<size_t>(i) * channels_ + c];
    return n;
}

void SignalsmithProcessor::runEngine(int inputFrames, int outputFrames, bool keepOutput) {
    engine_.process(inPtrs_.data(), inputFrames, outPtrs_.data(), outputFrames);
    if (!keepOutput) return;
    for (int i = 0; i < outputFrames; ++i)
        for (int c = 0; c < channels_; ++c) fifo_.push_back(channelOut_[c][i]);
}

Handle SignalsmithProcessor::create(Handle source, float sampleRate) {
    std::lock_guard<std::mutex> guard(lock_);
    source_ = source;
    sampleRate_ = sampleRate;
    sourceEnded_ = false;
    tailFramesLeft_ = -1;
    fifo_.clear();
    ChannelInfo info;
    if (!ChannelGetInfo(source, &info)) return 0;
    channels_ = info.channels;

    const int rate = static_cast<int>(sampleRate_);
    const bool cheaper = g_settings.signalsmith.preset == 1;
    const int block = cheaper ? rate * 10 / 100 : rate * 12 / 100;
    const int interval = cheaper ? rate * 4 / 100 : rate * 3 / 100;
    if (!engine_.configure(channels_, block, interval, cheaper, rate)) return 0;
    engine_.setTransposeSemitones(pitch_, tonalityLimit());
    engine_.reset();

    // Priming: the engine's delay is filled with the item's first frames and
    // the silence it gives back is dropped, so output starts with the item.
    const int latency = engine_.inputLatency() + engine_.outputLatency();
    sizeBuffers(std::max(latency, kFillFrames));
    const std::int64_t startBytes = ChannelGetPosition(source_);
    if (latency > 0) {
        const int got = readSource(latency);
        runEngine(std::max(got, 0), latency, false);
    }

    output_ = StreamCreateCustom(rate, channels_, kSampleFloat | extraOutputFlags_, &StreamCallback, this);
    if (output_ == 0 && startBytes >= 0) {
        // Another processor may take the source next: give it back unread.
        ChannelSetPosition(source_, startBytes, kPosByte);
    }
    return output_;
}

void SignalsmithProcessor::release() {
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
    source_ = 0;
    fifo_.clear();
    input_ = {};
    channelIn_ = {};
    channelOut_ = {};
    inPtrs_.clear();
    outPtrs_.clear();
}

void SignalsmithProcessor::setTempo(float percent) {
    std::lock_guard<std::mutex> guard(lock_);
    tempo_ = percent;
}

void SignalsmithProcessor::setRate(float factor) {
    std::lock_guard<std::mutex> guard(lock_);
    rate_ = factor;
}

void SignalsmithProcessor::setPitch(float semitones) {
    std::lock_guard<std::mutex> guard(lock_);
    pitch_ = semitones;
    engine_.setTransposeSemitones(pitch_, tonalityLimit());
}

float SignalsmithProcessor::getTempo() {
    std::lock_guard<std::mutex> guard(lock_);
    return tempo_;
}

float SignalsmithProcessor::getPitch() {
    std::lock_guard<std::mutex> guard(lock_);
    return pitch_;
}

float SignalsmithProcessor::getRate() {
    std::lock_guard<std::mutex> guard(lock_);
    return rate_;
}

bool SignalsmithProcessor::isActive() {
    std::lock_guard<std::mutex> guard(lock_);
    return output_ != 0;
}

Handle SignalsmithProcessor::sourceHandle() {
    std::lock_guard<std::mutex> guard(lock_);
    return source_;
}

double SignalsmithProcessor::stretchRatio() {
    std::lock_guard<std::mutex> guard(lock_);
    const double ratio = (tempo_ + 100.0) / 100.0 * rate_;
    return std::clamp(ratio, StretchEngine::kMinRatio, StretchEngine::kMaxRatio);
}

double SignalsmithProcessor::lengthSeconds() {
    std::lock_guard<std::mutex> guard(lock_);
    if (source_ == 0) return 0.0;
    const std::int64_t bytes = ChannelGetLength(source_);
    return bytes < 0 ? 0.0 : ChannelBytes2Seconds(source_, bytes);
}

double SignalsmithProcessor::positionSeconds() {
    std::lock_guard<std::mutex> guard(lock_);
    if (source_ == 0) return 0.0;
    const std::int64_t bytes = ChannelGetPosition(source_);
    return bytes < 0 ? 0.0 : ChannelBytes2Seconds(source_, bytes);
}

void SignalsmithProcessor::seek(double seconds) {
    std::lock_guard<std::mutex> guard(lock_);
    if (source_ == 0) return;
    ChannelSetPosition(source_, ChannelSeconds2Bytes(source_, seconds), kPosByte);
    engine_.reset();
    // The tonality limit comes back with the next pitch change or item.
    engine_.setTransposeSemitones(pitch_, 0.0);
    fifo_.clear();
    sourceEnded_ = false;
    tailFramesLeft_ = -1;
}

bool SignalsmithProcessor::fill() {
    if (sourceEnded_ || channelIn_.empty()) return false;
    double ratio = (tempo_ + 100.0) / 100.0 * rate_;
    ratio = std::clamp(ratio, StretchEngine::kMinRatio, StretchEngine::kMaxRatio);
    int n = readSource(kFillFrames);
    if (n <= 0) {
        // The engine still holds the item's last moments: push them out
        // with silence before the output ends.
        if (tailFramesLeft_ < 0)
            tailFramesLeft_ = static_cast<int>(
                (engine_.inputLatency() + engine_.outputLatency()) * ratio + 0.5);
        if (tailFramesLeft_ == 0) {
            sourceEnded_ = true;
            return false;
        }
        n = std::min(kFillFrames, tailFramesLeft_);
        tailFramesLeft_ -= n;
        for (auto& channel : channelIn_) std::fill(channel.begin(), channel.begin() + n, 0.0f);
    }
    const int outputFrames = std::max(1, static_cast<int>(n / ratio + 0.5));
    runEngine(n, outputFrames, true);
    return true;
}

std::uint32_t SignalsmithProcessor::produce(float* out, std::uint32_t length) {
    return ProduceFromFifo(fifo_, sourceEnded_, out, length, [this] { return fill(); });
}

std::uint32_t SignalsmithProcessor::StreamCallback(Handle, void* buffer, std::uint32_t length,
                                                   void* user) {
    auto* self = static_cast<SignalsmithProcessor*>(user);
    std::lock_guard<std::mutex> guard(self->lock_);
    return self->produce(static_cast<float*>(buffer), length);
}
