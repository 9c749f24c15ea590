#pragma once
#include <cstdint>
#include <deque>
#include <mutex>
#include <vector>

#include "tempo/StretchEngine.h"
#include "tempo/TempoProcessor.h"

// High-quality stretch: the decode stream runs block by block through the
// stretch engine into a FIFO that a custom output stream drains on the
// mixing thread. Every operation, the stream callback included, holds the
// processor's lock.
class SignalsmithProcessor : public TempoProcessor {
public:
    static constexpr int kFillFrames = 1024;   // source frames per fill step

    // `extraOutputFlags` are added to the output stream's creation flags
    // (audio::kStreamDecode: pulled with ChannelGetData, for offline rendering).
    explicit SignalsmithProcessor(std::uint32_t extraOutputFlags = 0);
    ~SignalsmithProcessor() override;
    SignalsmithProcessor(const SignalsmithProcessor&) = delete;
    SignalsmithProcessor& operator=(const SignalsmithProcessor&) = delete;

    audio::Handle create(audio::Handle source, float sampleRate) override;
    void release() override;
    void setTempo(float percent) override;
    void setPitch(float semitones) override;
    void setRate(float factor) override;
    float getTempo() override;
    float getPitch() override;
    float getRate() override;
    bool isActive() override;
    int typeId() override { return kTempoSignalsmith; }
    double lengthSeconds() override;
    double positionSeconds() override;
    void seek(double seconds) override;
    audio::Handle sourceHandle() override;

    // Input frames per output frame the next fill uses, after the limits.
    double stretchRatio();

private:
    static std::uint32_t StreamCallback(audio::Handle stream, void* buffer, std::uint32_t length,
                                        void* user);
    std::uint32_t produce(float* out, std::uint32_t length);
    double tonalityLimit() const;
    void sizeBuffers(int frames);
    int readSource(int frames);
    void runEngine(int inputFrames, int outputFrames, bool keepOutput);
    bool fill();

    std::mutex lock_;
    std::uint32_t extraOutputFlags_;
    audio::Handle source_ = 0;
    audio::Handle output_ = 0;
    float sampleRate_ = 44100.0f;
    int channels_ = 2;
    float tempo_ = 0.0f;
    float pitch_ = 0.0f;
    float rate_ = 1.0f;
    StretchEngine engine_;
    bool sourceEnded_ = false;
    int tailFramesLeft_ = -1;   // silent input still to feed at the end; -1 before the end
    std::deque<float> fifo_;                    // interleaved
    std::vector<float> input_;                  // interleaved
    std::vector<std::vector<float>> channelIn_;
    std::vector<std::vector<float>> channelOut_;
    std::vector<const float*> inPtrs_;
    std::vector<float*> outPtrs_;
};
