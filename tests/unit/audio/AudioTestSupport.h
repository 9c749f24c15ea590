#pragma once
// Fixtures for the audio engine tests: media files made by the ffmpeg tool or
// written in code, signal checks, and an engine started on "No sound".
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "audio/AudioEngine.h"

namespace audiotest {

// A fresh folder under the build tree, removed by the destructor.
struct TempDir {
    TempDir();
    ~TempDir();
    std::string path;
    std::string File(const std::string& name) const { return path + "/" + name; }
};

// Runs a command through the shell; true when it exits with 0.
bool RunShell(const std::string& command);
// A sine made by the ffmpeg tool: `encoderArgs` are its output options.
bool MakeSineFile(const std::string& path, double seconds, int freq, const std::string& encoderArgs,
                  int rate = 44100, int channels = 2);
// A 32-bit float WAV written in code from interleaved samples.
bool WriteFloatWav(const std::string& path, const std::vector<float>& samples, int rate, int channels);
bool WriteFile(const std::string& path, const std::string& bytes);

// Decodes a whole decode channel into interleaved floats.
std::vector<float> DecodeAll(audio::Handle channel);
// Frequency of the first channel, from its rising zero crossings.
double ZeroCrossingFrequency(const std::vector<float>& interleaved, int channels, int rate);
double Rms(const std::vector<float>& interleaved);
// The strongest frequency of the first channel between lo and hi (1 Hz steps).
double PeakFrequency(const std::vector<float>& interleaved, int channels, int rate, double lo, double hi);

// Starts the engine on "No sound" for each test and frees it afterwards.
class EngineTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    TempDir dir;
};

double NowSeconds();
// Polls `done` every 10 ms until it holds or `seconds` pass.
template <typename F>
bool WaitFor(F done, double seconds)
{
    const double end = NowSeconds() + seconds;
    while (NowSeconds() < end) {
        if (done())
            return true;
        struct timespec ts{0, 10 * 1000 * 1000};
        nanosleep(&ts, nullptr);
    }
    return done();
}

}  // namespace audiotest
