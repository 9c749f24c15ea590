#pragma once
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

#include "tempo/SpeechSpeedEngine.h"
#include "tempo/TempoProcessor.h"

// Speech speed-up: the decode stream runs through the speech speed engine
// (nonlinear when Speedy/NonlinearSpeedup is on) into a FIFO that a custom
// output stream drains on the mixing thread. Every operation, the stream
// callback included, holds the processor's lock.
class SpeedyProcessor : public TempoProcessor {
public:
    static constexpr int kFillFrames = 2048;   // source frames per fill step
    static constexpr int kReadFrames = 4096;   // engine frames per read

    // `extraOutputFlags` are added to the output stream's creation flags
    // (audio::kStreamDecode: pulled with ChannelGetData, for offline rendering).
    explicit SpeedyProcessor(std::uint32_t extraOutputFlags = 0);
    ~SpeedyProcessor() override;
    SpeedyProcessor(const SpeedyProcessor&) = delete;
    SpeedyProcessor& operator=(const SpeedyProcessor&) = delete;

    audio::Handle create(audio::Handle source, float sampleRate) override;
    void release() override;
    void setTempo(float percent) override;
    void setPitch(float semitones) override;
    void setRate(float factor) override;
    float getTempo() override;
    float getPitch() override;
    float getRate() override;
    bool isActive() override;
    int typeId() override { return kTempoSpeedy; }
    double lengthSeconds() override;
    double positionSeconds() override;
    void seek(double seconds) override;
    audio::Handle sourceHandle() override;

    // The speed the engine is given, after the limits.
    double engineSpeed();

private:
    static std::uint32_t StreamCallback(audio::Handle stream, void* buffer, std::uint32_t length,
                                        void* user);
    std::uint32_t produce(float* out, std::uint32_t length);
    bool createEngine();
    void applyParameters();
    bool fill();
    void drainEngine();

    std::mutex lock_;
    std::uint32_t extraOutputFlags_;
    audio::Handle source_ = 0;
    audio::Handle output_ = 0;
    float sampleRate_ = 44100.0f;
    int channels_ = 2;
    float tempo_ = 0.0f;
    float pitch_ = 0.0f;
    float rate_ = 1.0f;
    std::unique_ptr<SpeechSpeedEngine> engine_;
    bool nonlinear_ = true;
    bool sourceEnded_ = false;
    std::deque<float> fifo_;       // interleaved
    std::vector<float> input_;     // interleaved, also used for engine reads
};
