#include "ProcessorTestSupport.h"

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>

#include "storage/Settings.h"
#include "tempo/SignalsmithProcessor.h"
#include "tempo/SoundTouchProcessor.h"
#include "tempo/SpeedyProcessor.h"

namespace tempo_test {

bool WriteFloatWav(const std::string& path, const std::vector<float>& samples, int rate, int channels) {
    std::ofstream file(path, std::ios::binary);
    auto u32 = [&](uint32_t v) { file.write(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [&](uint16_t v) { file.write(reinterpret_cast<const char*>(&v), 2); };
    const auto bytes = static_cast<uint32_t>(samples.size() * 4);
    file.write("RIFF", 4);
    u32(36 + bytes);
    file.write("WAVEfmt ", 8);
    u32(16);
    u16(3);
    u16(static_cast<uint16_t>(channels));
    u32(static_cast<uint32_t>(rate));
    u32(static_cast<uint32_t>(rate * channels * 4));
    u16(static_cast<uint16_t>(channels * 4));
    u16(32);
    file.write("data", 4);
    u32(bytes);
    file.write(reinterpret_cast<const char*>(samples.data()), bytes);
    return static_cast<bool>(file);
}

std::vector<float> Pull(audio::Handle channel, int channels, long maxFrames) {
    std::vector<float> out;
    std::vector<float> block(4096 * static_cast<size_t>(channels));
    int idle = 0;
    while (maxFrames < 0 || static_cast<long>(out.size() / channels) < maxFrames) {
        long want = 4096;
        if (maxFrames >= 0) want = std::min<long>(want, maxFrames - static_cast<long>(out.size() / channels));
        const int got = audio::ChannelGetData(
            channel, block.data(),
            static_cast<std::uint32_t>(want * channels * sizeof(float)) | audio::kDataFloat);
        if (got < 0) break;
        if (got == 0 && ++idle > 100) break;
        out.insert(out.end(), block.begin(), block.begin() + got / static_cast<int>(sizeof(float)));
    }
    return out;
}

double ToneAmplitude(const float* mono, int frames, double hz, int rate) {
    const double w = 2.0 * M_PI * hz / rate;
    const double coeff = 2.0 * std::cos(w);
    double s1 = 0.0, s2 = 0.0, windowSum = 0.0;
    for (int i = 0; i < frames; ++i) {
        const double hann = 0.5 - 0.5 * std::cos(2.0 * M_PI * i / (frames - 1));
        windowSum += hann;
        const double s = mono[i] * hann + coeff * s1 - s2;
        s2 = s1;
        s1 = s;
    }
    const double power = s1 * s1 + s2 * s2 - coeff * s1 * s2;
    return 2.0 * std::sqrt(std::max(power, 0.0)) / windowSum;
}

const ProcessorKind kProcessorKinds[3] = {
    {"SoundTouch", kTempoSoundTouch,
     [] { return std::unique_ptr<TempoProcessor>(new SoundTouchProcessor(audio::kStreamDecode)); }},
    {"Speedy", kTempoSpeedy,
     [] { return std::unique_ptr<TempoProcessor>(new SpeedyProcessor(audio::kStreamDecode)); }},
    {"Signalsmith", kTempoSignalsmith,
     [] { return std::unique_ptr<TempoProcessor>(new SignalsmithProcessor(audio::kStreamDecode)); }},
};

namespace {
Settings g_savedSettings;
}

void ProcessorTest::SetUp() {
    g_savedSettings = g_settings;
    std::random_device rd;
    folder_ = std::string(CORVANE_BINARY_DIR) + "/test-tempo-" + std::to_string(rd());
    std::filesystem::create_directories(folder_);
    ASSERT_TRUE(audio::AudioInit(audio::kDeviceNoSound, 44100)) << audio::AudioErrorCode();
}

void ProcessorTest::TearDown() {
    DestroyTempoProcessor();
    SelectTempoAlgorithm(kTempoSoundTouch);
    audio::AudioFree();
    g_settings = g_savedSettings;
    std::error_code ec;
    std::filesystem::remove_all(folder_, ec);
}

audio::Handle ProcessorTest::OpenDecode(const std::string& path) {
    return audio::StreamCreateFile(path, audio::kStreamDecode | audio::kSampleFloat);
}

}  // namespace tempo_test
