#pragma once
#include <memory>
#include <vector>

namespace RubberBand { class RubberBandStretcher; }

// High-quality time-stretch and pitch-shift engine on per-channel float
// buffers: Rubber Band 3 in real-time mode with its finer (R3) engine.
// Every process() call returns exactly the number of output frames asked
// for, the time ratio being the ratio of the two counts.
// Not thread-safe: the owner serialises calls.
class StretchEngine {
public:
    static constexpr double kMinRatio = 0.1;   // input frames per output frame
    static constexpr double kMaxRatio = 10.0;

    StretchEngine();
    ~StretchEngine();
    StretchEngine(const StretchEngine&) = delete;
    StretchEngine& operator=(const StretchEngine&) = delete;

    // Builds the engine for `channels` at `sampleRate`. Block and interval
    // are the analysis length and hop the caller would like; the option flag
    // asks for the lighter, lower-delay analysis. False on bad arguments.
    bool configure(int channels, int blockFrames, int intervalFrames, bool optionFlag,
                   int sampleRate);
    bool isConfigured() const { return stretcher_ != nullptr; }

    // Transposition in semitones; tonalityLimit is a fraction of the sample
    // rate (0 = none) above which the timbre stays in place.
    void setTransposeSemitones(double semitones, double tonalityLimit);

    // Forgets all audio; the output starts again with outputLatency() frames
    // of silence.
    void reset();

    int inputLatency() const;
    int outputLatency() const;

    // Stretches inputFrames frames into exactly outputFrames frames per
    // channel. inputFrames may be 0 (drains what is buffered). The time
    // ratio is held within kMinRatio..kMaxRatio.
    void process(const float* const* input, int inputFrames, float* const* output,
                 int outputFrames);

private:
    void feed(const float* const* input, int frames, double timeRatio);
    void collectAvailable();
    void appendSilence(int frames);
    void popFrames(float* const* output, int frames, int outputOffset);
    int queuedFrames() const { return queueFill_; }

    std::unique_ptr<RubberBand::RubberBandStretcher> stretcher_;
    int channels_ = 0;
    int sampleRate_ = 0;
    int maxChunk_ = 0;
    int reserveFrames_ = 0;        // output kept queued to ride out the engine's bursts
    int dropFrames_ = 0;           // start delay still to discard after reset
    double transposeScale_ = 1.0;
    bool formantPreserved_ = false;

    // Output queue per channel, a ring buffer sized at configure.
    std::vector<std::vector<float>> queue_;
    int queueStart_ = 0;
    int queueFill_ = 0;
    std::vector<std::vector<float>> scratch_;
    std::vector<float*> scratchPtrs_;
    std::vector<const float*> chunkPtrs_;
};
