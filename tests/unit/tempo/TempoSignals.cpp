#include "TempoSignals.h"

#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>

namespace tempo_test {

std::vector<float> Sine(double hz, int sampleRate, int channels, int frames, float amplitude) {
    std::vector<float> out(static_cast<size_t>(frames) * channels);
    for (int i = 0; i < frames; ++i) {
        const float v = amplitude * static_cast<float>(std::sin(2.0 * M_PI * hz * i / sampleRate));
        for (int c = 0; c < channels; ++c) out[static_cast<size_t>(i) * channels + c] = v;
    }
    return out;
}

std::vector<float> Channel(const std::vector<float>& interleaved, int channels, int channel) {
    std::vector<float> out(interleaved.size() / channels);
    for (size_t i = 0; i < out.size(); ++i) out[i] = interleaved[i * channels + channel];
    return out;
}

double PeakFrequency(const std::vector<float>& mono, int sampleRate) {
    const int n = static_cast<int>(mono.size());
    if (n < 16) return 0.0;
    std::vector<float> in(n);
    for (int i = 0; i < n; ++i)
        in[i] = mono[i] * static_cast<float>(0.5 - 0.5 * std::cos(2.0 * M_PI * i / (n - 1)));
    std::vector<fftwf_complex> out(n / 2 + 1);
    fftwf_plan plan = fftwf_plan_dft_r2c_1d(n, in.data(), out.data(), FFTW_ESTIMATE);
    fftwf_execute(plan);
    fftwf_destroy_plan(plan);
    std::vector<double> mag(out.size());
    for (size_t k = 0; k < out.size(); ++k) mag[k] = std::hypot(out[k][0], out[k][1]);
    const size_t best = std::max_element(mag.begin() + 1, mag.end() - 1) - mag.begin();
    const double a = std::log(mag[best - 1] + 1e-12), b = std::log(mag[best] + 1e-12),
                 c = std::log(mag[best + 1] + 1e-12);
    const double shift = 0.5 * (a - c) / (a - 2 * b + c);
    return (best + shift) * sampleRate / n;
}

std::vector<double> WindowRms(const std::vector<float>& mono, int windowFrames) {
    std::vector<double> rms;
    for (size_t start = 0; start + windowFrames <= mono.size(); start += windowFrames) {
        double sum = 0.0;
        for (int i = 0; i < windowFrames; ++i) sum += double(mono[start + i]) * mono[start + i];
        rms.push_back(std::sqrt(sum / windowFrames));
    }
    return rms;
}

int FirstWindow(const std::vector<double>& rms, double level, bool above, int from) {
    for (int i = std::max(from, 0); i < static_cast<int>(rms.size()); ++i)
        if ((rms[i] >= level) == above) return i;
    return -1;
}

std::vector<float> ReadWavMono(const std::string& path, int* sampleRate) {
    std::ifstream file(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    auto u32 = [&](size_t at) {
        return uint32_t(uint8_t(bytes[at])) | uint32_t(uint8_t(bytes[at + 1])) << 8 |
               uint32_t(uint8_t(bytes[at + 2])) << 16 | uint32_t(uint8_t(bytes[at + 3])) << 24;
    };
    auto u16 = [&](size_t at) { return uint16_t(uint8_t(bytes[at]) | uint8_t(bytes[at + 1]) << 8); };
    if (bytes.size() < 12 || std::string(bytes.data(), 4) != "RIFF") return {};
    int channels = 0, bits = 0;
    for (size_t at = 12; at + 8 <= bytes.size();) {
        const std::string id(bytes.data() + at, 4);
        const size_t size = u32(at + 4);
        const size_t body = at + 8;
        if (body + size > bytes.size() && id != "data") break;
        if (id == "fmt " && size >= 16) {
            channels = u16(body + 2);
            *sampleRate = static_cast<int>(u32(body + 4));
            bits = u16(body + 14);
        } else if (id == "data") {
            if (channels != 1 || bits != 16) return {};
            // espeak-ng writing to a file may leave the size unset.
            const size_t end = std::min(bytes.size(), size == 0 || size == 0xFFFFFFFFu
                                                          ? bytes.size()
                                                          : body + size);
            std::vector<float> samples;
            for (size_t i = body; i + 1 < end; i += 2)
                samples.push_back(static_cast<int16_t>(u16(i)) / 32768.0f);
            return samples;
        }
        at = body + size + (size & 1);
    }
    return {};
}

bool SpeakToWav(const std::string& ssml, const std::string& path) {
    if (std::system("command -v espeak-ng >/dev/null 2>&1") != 0) return false;
    const std::string command = "espeak-ng -m -w '" + path + "' '" + ssml + "' >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}

SpeechTiming MeasureSpeech(const std::vector<float>& mono, int sampleRate, int pauseCount,
                           double minPauseSeconds) {
    const int window = sampleRate / 100;
    const std::vector<double> rms = WindowRms(mono, window);
    constexpr double kSilence = 0.003;  // about -50 dBFS
    SpeechTiming timing;
    std::vector<int> runs;
    int run = 0;
    // Leading and trailing silence are not pauses.
    const int first = FirstWindow(rms, kSilence, true);
    int last = static_cast<int>(rms.size()) - 1;
    while (last >= 0 && rms[last] < kSilence) --last;
    for (int i = std::max(first, 0); i <= last; ++i) {
        if (rms[i] >= kSilence) {
            timing.speechSeconds += 0.01;
            if (run > 0) runs.push_back(run);
            run = 0;
        } else {
            ++run;
        }
    }
    std::sort(runs.rbegin(), runs.rend());
    for (size_t i = 0; i < runs.size(); ++i) {
        const bool counted = pauseCount >= 0 ? static_cast<int>(i) < pauseCount
                                             : runs[i] * 0.01 >= minPauseSeconds;
        if (!counted) break;
        timing.pauseSeconds += runs[i] * 0.01;
        ++timing.pauseCount;
    }
    return timing;
}

}  // namespace tempo_test
