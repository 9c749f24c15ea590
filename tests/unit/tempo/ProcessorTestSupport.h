#pragma once
// Fixtures for the tempo processor tests: media files written in code, the
// audio engine started on "No sound", and each processor with an output
// that can be pulled as a decode channel.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "audio/AudioEngine.h"
#include "tempo/TempoProcessor.h"

namespace tempo_test {

// A 32-bit float WAV from interleaved samples; false when it cannot be written.
bool WriteFloatWav(const std::string& path, const std::vector<float>& samples, int rate, int channels);

// Pulls a decode channel to its end (or `maxFrames` frames), interleaved.
std::vector<float> Pull(audio::Handle channel, int channels, long maxFrames = -1);

// Amplitude of `hz` in a mono signal (Goertzel with a Hann window).
double ToneAmplitude(const float* mono, int frames, double hz, int rate);

struct ProcessorKind {
    const char* name;
    int type;
    // The processor with its output as a decode channel.
    std::unique_ptr<TempoProcessor> (*makeDecoding)();
};
extern const ProcessorKind kProcessorKinds[3];

// Starts the engine on "No sound" with a fresh folder for files; restores
// the settings it touches and destroys the current processor afterwards.
class ProcessorTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    std::string File(const std::string& name) const { return folder_ + "/" + name; }
    // A decode stream of a file, 0 on failure.
    audio::Handle OpenDecode(const std::string& path);

private:
    std::string folder_;
};

}  // namespace tempo_test
