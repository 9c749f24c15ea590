#pragma once
// Signals and measurements shared by the time-stretch engine tests.
#include <string>
#include <vector>

namespace tempo_test {

// Interleaved sine of `hz` at `amplitude` on every channel.
std::vector<float> Sine(double hz, int sampleRate, int channels, int frames, float amplitude = 0.5f);

// One channel out of interleaved frames.
std::vector<float> Channel(const std::vector<float>& interleaved, int channels, int channel);

// Strongest frequency in a mono signal (Hann window, interpolated peak).
double PeakFrequency(const std::vector<float>& mono, int sampleRate);

// RMS of consecutive windows of `windowFrames` frames of a mono signal.
std::vector<double> WindowRms(const std::vector<float>& mono, int windowFrames);

// First window index at or after `from` whose RMS is below (or, with
// `above`, at or above) `level`; -1 when none.
int FirstWindow(const std::vector<double>& rms, double level, bool above, int from = 0);

// Mono 16-bit PCM WAV, as espeak-ng writes it. Empty on failure.
std::vector<float> ReadWavMono(const std::string& path, int* sampleRate);

// Runs espeak-ng (SSML) into `path`; false when it is missing or fails.
bool SpeakToWav(const std::string& ssml, const std::string& path);

// Pause and speech time of a mono signal, in seconds: speech is every 10 ms
// window above the silence level; pauses are the `pauseCount` longest
// silent runs (all runs of at least minPauseSeconds when pauseCount < 0).
struct SpeechTiming {
    double speechSeconds = 0.0;
    double pauseSeconds = 0.0;
    int pauseCount = 0;
};
SpeechTiming MeasureSpeech(const std::vector<float>& mono, int sampleRate, int pauseCount,
                           double minPauseSeconds = 0.25);

}  // namespace tempo_test
