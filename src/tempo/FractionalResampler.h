#pragma once
#include <vector>

// Streaming band-limited resampler for interleaved float frames with a
// changeable step (input frames per output frame). Used as a pitch stage:
// a step of 2 reads twice as fast, raising the pitch an octave.
class FractionalResampler {
public:
    void configure(int channels);
    void setStep(double inputFramesPerOutputFrame);
    double step() const { return step_; }

    // Appends the output for `frames` new input frames to `output`.
    void process(const float* input, int frames, std::vector<float>& output);
    // Pushes out what is still held for the input given so far.
    void flush(std::vector<float>& output);
    void clear();

private:
    void buildKernel();
    void produce(std::vector<float>& output);

    int channels_ = 0;
    double step_ = 1.0;
    int halfWidth_ = 0;
    std::vector<float> kernel_;     // (phases + 1) rows of 2 * halfWidth taps
    std::vector<float> taps_;
    std::vector<float> history_;    // interleaved input not yet passed by the read position
    double readPosition_ = 0.0;     // in frames of history_
};
