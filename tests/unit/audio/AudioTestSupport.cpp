#include "AudioTestSupport.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <random>

namespace audiotest {

TempDir::TempDir()
{
    std::random_device rd;
    path = std::string(CORVANE_BINARY_DIR) + "/test-audio-" + std::to_string(rd()) + std::to_string(::time(nullptr));
    std::filesystem::create_directories(path);
}

TempDir::~TempDir()
{
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
}

bool RunShell(const std::string& command)
{
    return std::system(("{ " + command + "; } >/dev/null 2>&1").c_str()) == 0;
}

bool MakeSineFile(const std::string& path, double seconds, int freq, const std::string& encoderArgs, int rate,
                  int channels)
{
    char cmd[1024];
    std::snprintf(cmd, sizeof cmd,
                  "ffmpeg -nostdin -y -f lavfi -i 'sine=frequency=%d:sample_rate=%d:duration=%.3f' "
                  "-ac %d %s '%s'",
                  freq, rate, seconds, channels, encoderArgs.c_str(), path.c_str());
    return RunShell(cmd);
}

bool WriteFile(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

bool WriteFloatWav(const std::string& path, const std::vector<float>& samples, int rate, int channels)
{
    auto le32 = [](std::string& s, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            s += static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    auto le16 = [](std::string& s, std::uint16_t v) {
        s += static_cast<char>(v & 0xFF);
        s += static_cast<char>(v >> 8);
    };
    const auto dataBytes = static_cast<std::uint32_t>(samples.size() * 4);
    std::string s = "RIFF";
    le32(s, 36 + dataBytes);
    s += "WAVEfmt ";
    le32(s, 16);
    le16(s, 3);  // IEEE float
    le16(s, static_cast<std::uint16_t>(channels));
    le32(s, static_cast<std::uint32_t>(rate));
    le32(s, static_cast<std::uint32_t>(rate * channels * 4));
    le16(s, static_cast<std::uint16_t>(channels * 4));
    le16(s, 32);
    s += "data";
    le32(s, dataBytes);
    s.append(reinterpret_cast<const char*>(samples.data()), dataBytes);
    return WriteFile(path, s);
}

std::vector<float> DecodeAll(audio::Handle channel)
{
    std::vector<float> out;
    std::vector<float> buf(8192);
    while (true) {
        const int got = audio::ChannelGetData(channel, buf.data(),
                                              static_cast<std::uint32_t>(buf.size() * 4) | audio::kDataFloat);
        if (got <= 0)
            break;
        out.insert(out.end(), buf.begin(), buf.begin() + got / 4);
    }
    return out;
}

double ZeroCrossingFrequency(const std::vector<float>& x, int channels, int rate)
{
    // Rising crossings with hysteresis, so that codec noise around silence
    // (priming, padding) does not count as cycles.
    float peak = 0.0f;
    for (std::size_t i = 0; i < x.size(); i += static_cast<std::size_t>(channels))
        peak = std::max(peak, std::fabs(x[i]));
    const float arm = -0.3f * peak;
    long first = -1, last = -1, crossings = 0;
    bool armed = false;
    const long frames = static_cast<long>(x.size()) / channels;
    for (long i = 0; i < frames; ++i) {
        const float v = x[i * channels];
        if (v < arm) {
            armed = true;
        } else if (armed && v >= 0.0f) {
            armed = false;
            if (first < 0)
                first = i;
            last = i;
            ++crossings;
        }
    }
    if (crossings < 2)
        return 0.0;
    return static_cast<double>(crossings - 1) * rate / static_cast<double>(last - first);
}

double Rms(const std::vector<float>& x)
{
    double sum = 0.0;
    for (float v : x)
        sum += static_cast<double>(v) * v;
    return x.empty() ? 0.0 : std::sqrt(sum / static_cast<double>(x.size()));
}

double PeakFrequency(const std::vector<float>& x, int channels, int rate, double lo, double hi)
{
    const std::size_t frames = x.size() / static_cast<std::size_t>(channels);
    double best = 0.0, bestPower = -1.0;
    for (double f = lo; f <= hi; f += 1.0) {
        // Goertzel filter at f.
        const double coeff = 2.0 * std::cos(2.0 * M_PI * f / rate);
        double s1 = 0.0, s2 = 0.0;
        for (std::size_t i = 0; i < frames; ++i) {
            const double s = x[i * channels] + coeff * s1 - s2;
            s2 = s1;
            s1 = s;
        }
        const double power = s1 * s1 + s2 * s2 - coeff * s1 * s2;
        if (power > bestPower) {
            bestPower = power;
            best = f;
        }
    }
    return best;
}

void EngineTest::SetUp() { ASSERT_TRUE(audio::AudioInit(audio::kDeviceNoSound, 44100)) << audio::AudioErrorCode(); }

void EngineTest::TearDown() { audio::AudioFree(); }

double NowSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) + ts.tv_nsec / 1e9;
}

}  // namespace audiotest
