// Speed of the tempo engines at tempo +50 % on 60 s of 44.1 kHz stereo, in
// multiples of real time on one core, beside the ffmpeg command-line
// tool's atempo and rubberband filters on the same input. The tempo
// processors run as they play: decoding the WAV file through the audio
// engine, their output pulled as a decode channel.
// Usage: bench_tempo [seconds]
#include <sched.h>
#include <soundtouch/SoundTouch.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "audio/AudioEngine.h"
#include "storage/Settings.h"
#include "tempo/SignalsmithProcessor.h"
#include "tempo/SoundTouchProcessor.h"
#include "tempo/SpeedyProcessor.h"
#include "tempo/SpeechSpeedEngine.h"
#include "tempo/StretchEngine.h"

namespace {

constexpr int kRate = 44100;
constexpr int kChannels = 2;
constexpr double kSpeed = 1.5;

// Something like music: a few drifting partials over soft noise, with
// the two channels differing.
std::vector<float> MakeInput(int frames) {
    std::vector<float> out(static_cast<size_t>(frames) * kChannels);
    std::mt19937 rng(7);
    std::normal_distribution<float> noise(0.0f, 0.02f);
    for (int i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double base = 220.0 * (1.0 + 0.5 * std::sin(2 * M_PI * 0.1 * t));
        double v = 0.0;
        for (int h = 1; h <= 5; ++h) v += 0.12 / h * std::sin(2 * M_PI * base * h * t);
        const double envelope = 0.6 + 0.4 * std::sin(2 * M_PI * 2.0 * t);
        out[2 * static_cast<size_t>(i)] = static_cast<float>(v * envelope) + noise(rng);
        out[2 * static_cast<size_t>(i) + 1] =
            static_cast<float>(v * (1.0 - 0.3 * envelope)) + noise(rng);
    }
    return out;
}

bool WriteWav(const std::string& path, const std::vector<float>& samples) {
    std::ofstream file(path, std::ios::binary);
    auto u32 = [&](uint32_t v) { file.write(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [&](uint16_t v) { file.write(reinterpret_cast<const char*>(&v), 2); };
    const uint32_t bytes = static_cast<uint32_t>(samples.size() * 4);
    file.write("RIFF", 4); u32(36 + bytes); file.write("WAVEfmt ", 8);
    u32(16); u16(3); u16(kChannels); u32(kRate); u32(kRate * kChannels * 4);
    u16(kChannels * 4); u16(32);
    file.write("data", 4); u32(bytes);
    file.write(reinterpret_cast<const char*>(samples.data()), bytes);
    return static_cast<bool>(file);
}

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

double RunSoundTouch(const std::vector<float>& input, size_t* outFrames) {
    const auto start = std::chrono::steady_clock::now();
    soundtouch::SoundTouch st;
    st.setSampleRate(kRate);
    st.setChannels(kChannels);
    st.setTempo(kSpeed);
    const int frames = static_cast<int>(input.size() / kChannels);
    std::vector<float> out(8192 * kChannels);
    *outFrames = 0;
    for (int at = 0; at < frames; at += 2048) {
        st.putSamples(input.data() + static_cast<size_t>(at) * kChannels,
                      static_cast<unsigned>(std::min(2048, frames - at)));
        for (unsigned got; (got = st.receiveSamples(out.data(), 8192)) > 0;) *outFrames += got;
    }
    st.flush();
    for (unsigned got; (got = st.receiveSamples(out.data(), 8192)) > 0;) *outFrames += got;
    return Seconds(start);
}

double RunSpeechSpeed(const std::vector<float>& input, bool nonlinear, size_t* outFrames) {
    const auto start = std::chrono::steady_clock::now();
    auto engine = SpeechSpeedEngine::create(kRate, kChannels);
    if (!engine) return -1.0;
    engine->setNonlinearAmount(nonlinear ? 1.0 : 0.0);
    engine->setSpeed(kSpeed);
    const int frames = static_cast<int>(input.size() / kChannels);
    std::vector<float> out(4096 * kChannels);
    *outFrames = 0;
    for (int at = 0; at < frames; at += 2048) {
        engine->write(input.data() + static_cast<size_t>(at) * kChannels, std::min(2048, frames - at));
        for (int got; (got = engine->read(out.data(), 4096)) > 0;) *outFrames += got;
    }
    engine->flush();
    for (int got; (got = engine->read(out.data(), 4096)) > 0;) *outFrames += got;
    return Seconds(start);
}

double RunStretch(const std::vector<float>& input, size_t* outFrames) {
    const auto start = std::chrono::steady_clock::now();
    StretchEngine engine;
    if (!engine.configure(kChannels, kRate * 12 / 100, kRate * 3 / 100, false, kRate)) return -1.0;
    engine.setTransposeSemitones(0.0, 0.0);
    engine.reset();
    const int frames = static_cast<int>(input.size() / kChannels);
    std::vector<std::vector<float>> in(kChannels, std::vector<float>(1024)),
        out(kChannels, std::vector<float>(1024));
    const float* inPtrs[kChannels] = {in[0].data(), in[1].data()};
    float* outPtrs[kChannels] = {out[0].data(), out[1].data()};
    *outFrames = 0;
    const int outPerBlock = static_cast<int>(1024 / kSpeed + 0.5);
    for (int at = 0; at + 1024 <= frames; at += 1024) {
        for (int i = 0; i < 1024; ++i)
            for (int c = 0; c < kChannels; ++c)
                in[c][i] = input[static_cast<size_t>(at + i) * kChannels + c];
        engine.process(inPtrs, 1024, outPtrs, outPerBlock);
        *outFrames += outPerBlock;
    }
    return Seconds(start);
}

double RunProcessor(TempoProcessor& processor, const std::string& wav, size_t* outFrames) {
    const auto start = std::chrono::steady_clock::now();
    const audio::Handle source = audio::StreamCreateFile(wav, audio::kStreamDecode | audio::kSampleFloat);
    if (source == 0) return -1.0;
    processor.setTempo(static_cast<float>((kSpeed - 1.0) * 100.0));
    const audio::Handle output = processor.create(source, kRate);
    if (output == 0) return -1.0;
    std::vector<float> block(4096 * kChannels);
    *outFrames = 0;
    for (int got; (got = audio::ChannelGetData(output, block.data(),
                                               static_cast<std::uint32_t>(block.size() * 4) |
                                                   audio::kDataFloat)) >= 0;)
        *outFrames += static_cast<size_t>(got) / (kChannels * 4);
    const double took = Seconds(start);
    const bool ownsSource = processor.typeId() == kTempoSoundTouch;
    processor.release();
    if (!ownsSource) audio::StreamFree(source);
    return took;
}

double RunFfmpeg(const std::string& wav, const std::string& filter) {
    const std::string command = "taskset -c 0 ffmpeg -nostdin -v error -threads 1 -i '" + wav +
                                "' -filter_threads 1 -af '" + filter + "' -f null - 2>&1";
    const auto start = std::chrono::steady_clock::now();
    const int status = std::system(command.c_str());
    const double took = Seconds(start);
    return status == 0 ? took : -1.0;
}

void Report(const char* name, double seconds, double audioSeconds, size_t outFrames) {
    if (seconds <= 0.0) {
        std::printf("%-38s failed\n", name);
        return;
    }
    if (outFrames > 0)
        std::printf("%-38s %8.1f x real time  (%.2f s, output %.2f s)\n", name,
                    audioSeconds / seconds, seconds, static_cast<double>(outFrames) / kRate);
    else
        std::printf("%-38s %8.1f x real time  (%.2f s, includes start-up)\n", name,
                    audioSeconds / seconds, seconds);
}

}  // namespace

int main(int argc, char** argv) {
    const double audioSeconds = argc > 1 ? std::atof(argv[1]) : 60.0;
    if (audioSeconds <= 0.0) return 2;
    const std::vector<float> input = MakeInput(static_cast<int>(audioSeconds * kRate));
    const std::string wav = "/tmp/corvane_bench_tempo.wav";
    if (!WriteWav(wav, input)) {
        std::fprintf(stderr, "cannot write %s\n", wav.c_str());
        return 1;
    }
    // One core, as ffmpeg is given below.
    cpu_set_t cpus;
    CPU_ZERO(&cpus);
    CPU_SET(0, &cpus);
    sched_setaffinity(0, sizeof(cpus), &cpus);
    std::printf("%.0f s of 44.1 kHz stereo float at tempo +50 %%, one core\n", audioSeconds);
    size_t frames = 0;
    double t = RunSoundTouch(input, &frames);
    Report("SoundTouch", t, audioSeconds, frames);
    t = RunSpeechSpeed(input, false, &frames);
    Report("Speech speed-up, plain", t, audioSeconds, frames);
    t = RunSpeechSpeed(input, true, &frames);
    Report("Speech speed-up, nonlinear", t, audioSeconds, frames);
    t = RunStretch(input, &frames);
    Report("Stretch engine (Rubber Band R3)", t, audioSeconds, frames);
    if (audio::AudioInit(audio::kDeviceNoSound, kRate)) {
        SoundTouchProcessor soundTouch(audio::kStreamDecode);
        t = RunProcessor(soundTouch, wav, &frames);
        Report("SoundTouchProcessor (file)", t, audioSeconds, frames);
        g_settings.speedy.nonlinearSpeedup = false;
        SpeedyProcessor speedyPlain(audio::kStreamDecode);
        t = RunProcessor(speedyPlain, wav, &frames);
        Report("SpeedyProcessor, plain (file)", t, audioSeconds, frames);
        g_settings.speedy.nonlinearSpeedup = true;
        SpeedyProcessor speedy(audio::kStreamDecode);
        t = RunProcessor(speedy, wav, &frames);
        Report("SpeedyProcessor, nonlinear (file)", t, audioSeconds, frames);
        SignalsmithProcessor signalsmith(audio::kStreamDecode);
        t = RunProcessor(signalsmith, wav, &frames);
        Report("SignalsmithProcessor (file)", t, audioSeconds, frames);
        g_settings.signalsmith.preset = 1;
        SignalsmithProcessor cheaper(audio::kStreamDecode);
        t = RunProcessor(cheaper, wav, &frames);
        Report("SignalsmithProcessor, preset 1 (file)", t, audioSeconds, frames);
        audio::AudioFree();
    } else {
        std::printf("audio engine did not start: processors skipped\n");
    }
    Report("ffmpeg atempo=1.5", RunFfmpeg(wav, "atempo=1.5"), audioSeconds, 0);
    Report("ffmpeg rubberband=tempo=1.5", RunFfmpeg(wav, "rubberband=tempo=1.5"), audioSeconds, 0);
    std::remove(wav.c_str());
    return 0;
}
