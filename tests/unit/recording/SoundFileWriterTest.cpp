// The encoders honour the bit-rate setting; the engine reads the files back.
#include "recording/RecordingName.h"
#include "recording/SoundFileWriter.h"

#include "../audio/AudioTestSupport.h"

#include <cmath>
#include <sys/stat.h>

namespace {

class SoundFileBitrateTest : public audiotest::EngineTest {
protected:
    // Three seconds of a tone over noise (noise keeps Vorbis from coasting).
    std::string Write(int format, int kbps)
    {
        std::vector<float> s(44100 * 2 * 3);
        std::uint32_t seed = 1;
        for (std::size_t i = 0; i < s.size(); ++i) {
            seed = seed * 1664525u + 1013904223u;
            const float noise = static_cast<float>(seed >> 8) / 16777216.0f - 0.5f;
            s[i] = 0.3f * static_cast<float>(std::sin(2 * M_PI * 440.0 * static_cast<double>(i / 2) / 44100)) +
                   0.2f * noise;
        }
        const std::string path = dir.File("out" + std::to_string(kbps) + RecordingExtension(format));
        SoundFileWriter w;
        EXPECT_TRUE(OpenSoundFile(&w, path, format, kbps, 44100, 2));
        EXPECT_TRUE(WriteSoundFrames(&w, s.data(), static_cast<long long>(s.size() / 2)));
        EXPECT_EQ(FinishSoundFile(&w), path);
        return path;
    }
    static long long SizeOf(const std::string& path)
    {
        struct stat st{};
        return stat(path.c_str(), &st) == 0 ? st.st_size : -1;
    }
};

TEST_F(SoundFileBitrateTest, Mp3IsConstantAtTheChosenRate)
{
    for (int kbps : {128, 192, 320}) {
        const audio::Handle h = audio::StreamCreateFile(Write(kRecordMp3, kbps), audio::kStreamDecode | audio::kSampleFloat);
        ASSERT_NE(h, 0u);
        float got = 0;
        ASSERT_TRUE(audio::ChannelGetAttribute(h, audio::kAttribBitrate, &got));
        EXPECT_NEAR(got, kbps, kbps * 0.03) << kbps;
        audio::StreamFree(h);
    }
}

TEST_F(SoundFileBitrateTest, OggGrowsWithTheChosenRate)
{
    const long long low = SizeOf(Write(kRecordOgg, 96));
    const long long high = SizeOf(Write(kRecordOgg, 256));
    ASSERT_GT(low, 0);
    EXPECT_GT(high, low * 3 / 2);
}

}  // namespace
