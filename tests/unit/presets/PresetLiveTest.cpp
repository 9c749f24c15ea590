// Loading a preset while an item plays: effects are installed or removed at
// once and the stored values are heard, on the real engine ("No sound").
#include "effects/Presets.h"

#include "../audio/AudioTestSupport.h"
#include "../effects/EffectsTestSupport.h"
#include "effects/EffectChain.h"
#include "effects/EffectParams.h"
#include "playback/PlaybackSession.h"
#include "playlist/Playlist.h"
#include "storage/Settings.h"
#include "tempo/TempoProcessor.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <mutex>

using audiotest::WaitFor;

namespace {

constexpr int kRate = 16000;

// The second half of about `seconds` of fresh output, past any fade.
std::vector<float> ListenSettled(OutputTap& tap, double seconds)
{
    const std::vector<float> heard = tap.Listen(seconds, kRate);
    return std::vector<float>(heard.begin() + static_cast<long>(heard.size() / 2), heard.end());
}


class PresetLiveTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_playlist = Playlist{};
        SetVolumeStageGain(1.0f, false);
        ASSERT_TRUE(AudioStartup());
    }
    void TearDown() override
    {
        AudioShutdown();
        g_session = PlaybackSession{};
        g_playlist = Playlist{};
    }
    void PlaySine(double seconds)
    {
        std::vector<float> s(static_cast<size_t>(seconds * kRate));
        for (size_t i = 0; i < s.size(); ++i)
            s[i] = 0.3f * static_cast<float>(std::sin(2 * M_PI * 440.0 * static_cast<double>(i) / kRate));
        const std::string path = dir.File("sine.wav");
        ASSERT_TRUE(audiotest::WriteFloatWav(path, s, kRate, 1));
        g_playlist.entries = {path};
        PlayIndex(0, true);
        ASSERT_NE(g_session.output, 0u);
        ASSERT_NE(audio::ChannelSetDsp(g_session.output, OutputTap::Proc, &tap, INT_MIN), 0u);
        ASSERT_TRUE(WaitFor([] { return audio::ChannelIsActive(g_session.output) == audio::kStatePlaying; }, 3.0));
    }

    SpokenTexts spoken;
    audiotest::TempDir dir;
    std::string ini = dir.File("Corvane.ini");
    OutputTap tap;
};

}  // namespace

TEST_F(PresetLiveTest, LoadingChangesThePlayingOutputAtOnce)
{
    ASSERT_TRUE(SavePresetIn(ini, "Dry"));
    SetDspSwitch(2, true);       // EQ
    SetEffectParam(17, -12.0f);  // its preamp
    SetEffectParam(kParamPitch, 12.0f);
    ASSERT_TRUE(SavePresetIn(ini, "Quiet octave"));
    g_settings = Settings{};
    ResetEffectValues();

    PlaySine(20.0);
    const std::vector<float> dryHeard = ListenSettled(tap, 0.6);
    const double dry = audiotest::Rms(dryHeard);
    ASSERT_GT(dry, 0.1);
    EXPECT_NEAR(audiotest::ZeroCrossingFrequency(dryHeard, 1, kRate), 440.0, 20.0);
    const int volumeOnly = InstalledEffectCount();

    ASSERT_TRUE(LoadPresetFrom(ini, "Quiet octave"));
    EXPECT_EQ(InstalledEffectCount(), volumeOnly + 4);  // preamp and three bands
    EXPECT_FLOAT_EQ(CurrentTempoProcessor()->getPitch(), 12.0f);
    WaitFor([] { return false; }, 1.0);
    const std::vector<float> wet = ListenSettled(tap, 0.6);
    EXPECT_NEAR(20.0 * std::log10(audiotest::Rms(wet) / dry), -12.0, 0.7);
    EXPECT_NEAR(audiotest::ZeroCrossingFrequency(wet, 1, kRate), 880.0, 20.0);

    ASSERT_TRUE(LoadPresetFrom(ini, "Dry"));
    EXPECT_EQ(InstalledEffectCount(), volumeOnly);
    WaitFor([] { return false; }, 1.0);
    const std::vector<float> back = ListenSettled(tap, 0.6);
    EXPECT_NEAR(audiotest::Rms(back) / dry, 1.0, 0.05);
    EXPECT_NEAR(audiotest::ZeroCrossingFrequency(back, 1, kRate), 440.0, 20.0);
}
