// The four stream parameters applied to a playing item on the real engine
// ("No sound" device), heard through a tap after the whole chain.
#include "effects/EffectParams.h"

#include "../audio/AudioTestSupport.h"
#include "EffectsTestSupport.h"
#include "effects/AdjustmentCycle.h"
#include "effects/EffectChain.h"
#include "effects/EffectSwitches.h"
#include "playback/PlaybackSession.h"
#include "playlist/Playlist.h"
#include "storage/Settings.h"
#include "tempo/TempoProcessor.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <mutex>

using audiotest::NowSeconds;
using audiotest::WaitFor;

namespace {

constexpr int kRate = 16000;


class LiveEffectsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_playlist = Playlist{};
        SetVolumeStageGain(1.0f, false);  // an earlier test may have lowered it
        ASSERT_TRUE(AudioStartup());
    }
    void TearDown() override
    {
        AudioShutdown();
        g_session = PlaybackSession{};
    }
    // A 440 Hz mono sine, playing, with the tap on its output.
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
    // Seconds of the item played per second of wall time.
    static double Speed(double seconds)
    {
        const double wall0 = NowSeconds(), item0 = CurrentPositionSeconds();
        WaitFor([] { return false; }, seconds);
        return (CurrentPositionSeconds() - item0) / (NowSeconds() - wall0);
    }

    SpokenTexts spoken;
    audiotest::TempDir dir;
    OutputTap tap;
};

}  // namespace

TEST_F(LiveEffectsTest, TempoPlusHundredPercentPlaysTwiceAsFast)
{
    PlaySine(30.0);
    WaitFor([] { return false; }, 0.5);  // past the device's uneven start
    const double normal = Speed(1.5);
    SetEffectParam(kParamTempo, 100.0f);
    EXPECT_FLOAT_EQ(CurrentTempoProcessor()->getTempo(), 100.0f);
    WaitFor([] { return false; }, 1.0);  // what was mixed at the old tempo plays out
    const double fast = Speed(2.0);
    EXPECT_NEAR(normal, 1.0, 0.2);
    EXPECT_NEAR(fast / normal, 2.0, 0.3) << "normal " << normal << " fast " << fast;
    // Tempo changes speed, not pitch.
    EXPECT_NEAR(audiotest::ZeroCrossingFrequency(tap.Listen(0.5, kRate), 1, kRate), 440.0, 10.0);
}

TEST_F(LiveEffectsTest, PitchReachesTheProcessorAndTheSound)
{
    PlaySine(20.0);
    g_settings.effects.pitch = true;
    g_settings.effects.volume = false;
    g_effectCycle.currentParam = kParamPitch;
    for (int i = 0; i < 12; ++i)
        AdjustParam(+1);
    EXPECT_FLOAT_EQ(CurrentTempoProcessor()->getPitch(), 12.0f);
    WaitFor([] { return false; }, 1.0);
    EXPECT_NEAR(audiotest::ZeroCrossingFrequency(tap.Listen(0.5, kRate), 1, kRate), 880.0, 20.0);
    EXPECT_NEAR(Speed(1.0), 1.0, 0.2);  // pitch alone keeps the speed
}

TEST_F(LiveEffectsTest, VolumeScalesWhatLeavesTheChain)
{
    PlaySine(20.0);
    const double full = audiotest::Rms(tap.Listen(0.5, kRate));
    ASSERT_NEAR(full, 0.3 / std::sqrt(2.0), 0.02);
    SetEffectParam(kParamVolume, 0.5f);
    EXPECT_FLOAT_EQ(g_settings.playback.volume, 0.5f);
    const double half = audiotest::Rms(tap.Listen(0.5, kRate));
    EXPECT_NEAR(half / full, 0.25, 0.02);  // a squared law
    EXPECT_TRUE(spoken.Take().empty());   // the setter itself says nothing
}

TEST_F(LiveEffectsTest, LegacyVolumeSetsTheChannelAttribute)
{
    g_settings.advanced.legacyVolume = true;
    PlaySine(5.0);
    SetEffectParam(kParamVolume, 0.5f);
    float volume = 0.0f;
    ASSERT_TRUE(audio::ChannelGetAttribute(g_session.output, audio::kAttribVolume, &volume));
    EXPECT_FLOAT_EQ(volume, 0.25f);
}

TEST_F(LiveEffectsTest, RateSetsTheOutputFrequencyExceptOnLiveStreams)
{
    PlaySine(5.0);
    SetEffectParam(kParamRate, 1.5f);
    float freq = 0.0f;
    ASSERT_TRUE(audio::ChannelGetAttribute(g_session.output, audio::kAttribFreq, &freq));
    EXPECT_FLOAT_EQ(freq, 1.5f * kRate);

    // A live stream takes neither rate nor tempo; both are still stored.
    g_session.live = true;
    SetEffectParam(kParamRate, 2.0f);
    SetEffectParam(kParamTempo, 50.0f);
    ASSERT_TRUE(audio::ChannelGetAttribute(g_session.output, audio::kAttribFreq, &freq));
    EXPECT_FLOAT_EQ(freq, 1.5f * kRate);
    EXPECT_FLOAT_EQ(CurrentTempoProcessor()->getTempo(), 0.0f);
    EXPECT_FLOAT_EQ(g_settings.playback.rate, 2.0f);
    EXPECT_FLOAT_EQ(g_settings.playback.tempo, 50.0f);
}

namespace {

// Level of the last half of what was heard, so a block mixed before a change
// does not count.
double LateRms(const std::vector<float>& heard)
{
    return audiotest::Rms(std::vector<float>(heard.begin() + static_cast<long>(heard.size() / 2), heard.end()));
}

}  // namespace

TEST_F(LiveEffectsTest, EffectSwitchesChangeThePlayingOutputAtOnce)
{
    PlaySine(20.0);
    const double dry = LateRms(tap.Listen(0.4, kRate));
    ASSERT_GT(dry, 0.1);
    const int volumeOnly = InstalledEffectCount();

    SetEffectParam(17, -12.0f);  // EQ preamp, stored while the EQ is off
    ToggleDspEffect(2);
    EXPECT_EQ(spoken.Take(), std::vector<std::string>{"EQ enabled"});
    EXPECT_EQ(InstalledEffectCount(), volumeOnly + 4);
    EXPECT_NEAR(20.0 * std::log10(LateRms(tap.Listen(0.4, kRate)) / dry), -12.0, 0.5);
    SetEffectParam(17, -6.0f);  // heard without switching again
    EXPECT_NEAR(20.0 * std::log10(LateRms(tap.Listen(0.4, kRate)) / dry), -6.0, 0.5);
    ToggleDspEffect(2);
    EXPECT_EQ(InstalledEffectCount(), volumeOnly);
    EXPECT_NEAR(LateRms(tap.Listen(0.4, kRate)) / dry, 1.0, 0.02);  // dry again

    // The reverb switch walks the algorithms; each replaces the last.
    for (int algorithm = 1; algorithm <= 3; ++algorithm) {
        ToggleDspEffect(0);
        EXPECT_EQ(g_settings.effects.reverbAlgorithm, algorithm);
        EXPECT_EQ(InstalledEffectCount(), volumeOnly + 1);
    }
    spoken.Take();
    ToggleDspEffect(0);
    EXPECT_EQ(InstalledEffectCount(), volumeOnly);
    EXPECT_EQ(spoken.Take(), std::vector<std::string>{"Reverb: Off"});
}

TEST_F(LiveEffectsTest, ConvolutionAnd3DSwitchesAddNoStageYet)
{
    PlaySine(5.0);
    const int before = InstalledEffectCount();
    ToggleDspEffect(6);
    ToggleDspEffect(7);
    EXPECT_TRUE(g_settings.dspEffects.convolution);
    EXPECT_TRUE(g_settings.dspEffects.spatialAudio);
    EXPECT_EQ(InstalledEffectCount(), before);
}
