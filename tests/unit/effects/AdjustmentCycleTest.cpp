// The cycle of active parameters, stepping rules, spoken texts and switches.
#include "effects/AdjustmentCycle.h"

#include "EffectsTestSupport.h"
#include "effects/EffectParams.h"
#include "effects/EffectSwitches.h"
#include "playback/PlaybackSession.h"
#include "storage/Settings.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

class CycleTest : public ::testing::Test {
protected:
    void TearDown() override { g_session = PlaybackSession{}; }
    void OnlyStreamSwitches(bool volume, bool pitch, bool tempo, bool rate)
    {
        g_settings.effects.volume = volume;
        g_settings.effects.pitch = pitch;
        g_settings.effects.tempo = tempo;
        g_settings.effects.rate = rate;
    }
    SpokenTexts spoken;
};

}  // namespace

TEST_F(CycleTest, BuildCycleFollowsTheSwitches)
{
    struct Case {
        const char* what;
        std::function<void()> set;
        std::vector<int> expected;
    };
    const Case cases[] = {
        {"defaults: volume only", [] {}, {0}},
        {"nothing on", [] { g_settings.effects.volume = false; }, {}},
        {"all stream parameters", [] { g_settings.effects.pitch = g_settings.effects.tempo = g_settings.effects.rate = true; }, {0, 1, 2, 3}},
        {"Freeverb", [] { g_settings.effects.volume = false; g_settings.effects.reverbAlgorithm = 1; }, {4, 5, 6}},
        {"DX8", [] { g_settings.effects.volume = false; g_settings.effects.reverbAlgorithm = 2; }, {7, 8, 9}},
        {"I3DL2 and rate", [] { g_settings.effects.reverbAlgorithm = 3; g_settings.effects.volume = false; g_settings.effects.rate = true; }, {3, 10, 11, 12, 13}},
        {"reverb switch alone is not enough", [] { g_settings.effects.volume = false; g_settings.dspEffects.reverb = true; }, {}},
        {"echo, EQ and convolution", [] { g_settings.effects.volume = false; g_settings.dspEffects.echo = g_settings.dspEffects.eq = g_settings.dspEffects.convolution = true; }, {14, 15, 16, 17, 18, 19, 20, 28, 29}},
        {"compressor, width, centre", [] { g_settings.effects.volume = false; g_settings.dspEffects.compressor = g_settings.dspEffects.stereoWidth = g_settings.dspEffects.centerCancel = true; }, {21, 22, 23, 24, 25, 26, 27}},
        {"3D audio", [] { g_settings.dspEffects.spatialAudio = true; }, {0, 30, 31, 32, 33, 34, 35, 36, 37}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        g_settings = Settings{};
        c.set();
        EXPECT_EQ(BuildCycle(), c.expected);
    }
}

TEST_F(CycleTest, SelectionMovesWithoutWrappingAndAnnounces)
{
    OnlyStreamSwitches(true, false, false, false);
    SelectNextParam(+1);  // volume alone: stays, and says so again
    EXPECT_EQ(g_effectCycle.currentParam, 0);
    EXPECT_THAT(spoken.Take(), ElementsAre("Volume 100%"));
    SelectNextParam(-1);
    EXPECT_EQ(g_effectCycle.currentParam, 0);
    EXPECT_THAT(spoken.Take(), ElementsAre("Volume 100%"));

    OnlyStreamSwitches(true, true, false, true);
    g_settings.playback.pitch = 2.0f;
    SelectNextParam(+1);
    EXPECT_THAT(spoken.Take(), ElementsAre("Pitch +2 semitones"));
    SelectNextParam(+1);
    SelectNextParam(+1);  // clamped at the last entry
    EXPECT_EQ(g_effectCycle.currentParam, 3);
    EXPECT_THAT(spoken.Take(), ElementsAre("Rate 1.00x, Rate 1.00x"));
    SelectNextParam(-1);
    SelectNextParam(-1);
    SelectNextParam(-1);
    EXPECT_EQ(g_effectCycle.currentParam, 0);
}

TEST_F(CycleTest, ASelectionThatLeftTheCycleRestartsAtItsFirstEntry)
{
    g_settings.effects.reverbAlgorithm = 1;
    g_effectCycle.currentParam = 6;
    ToggleDspEffect(0);  // Freeverb -> DX8: 6 is no longer active
    spoken.Take();
    SelectNextParam(+1);  // direction does not matter when starting over
    EXPECT_EQ(g_effectCycle.currentParam, 0);
    EXPECT_THAT(spoken.Take(), ElementsAre("Volume 100%"));

    g_effectCycle.currentParam = 31;  // 3D is off
    g_settings.effects.volume = false;
    AdjustParam(+1);
    EXPECT_EQ(g_effectCycle.currentParam, 7);
    EXPECT_FLOAT_EQ(GetEffectParam(7), 1100.0f);
    EXPECT_THAT(spoken.Take(), ElementsAre("DX8 Reverb Time 1100ms"));
}

TEST_F(CycleTest, AnEmptyCycleSaysSoAndAdjustingDoesNothing)
{
    OnlyStreamSwitches(false, false, false, false);
    SelectNextParam(+1);
    EXPECT_THAT(spoken.Take(), ElementsAre("No parameters available"));
    g_settings.playback.volume = 0.5f;
    AdjustParam(+1);
    ResetParam();
    ParamToMaximum();
    ParamToMinimum();
    EXPECT_FLOAT_EQ(g_settings.playback.volume, 0.5f);
    EXPECT_THAT(spoken.Take(), IsEmpty());
}

TEST_F(CycleTest, SteppingRulesPerParameter)
{
    struct Case {
        const char* what;
        int id;
        float from;
        int direction;
        float expected;
        bool amplify = false;
        int rateMode = 0;
    };
    const Case cases[] = {
        {"volume stops at 100 %", 0, 1.0f, +1, 1.0f},
        {"volume goes past 100 % when allowed", 0, 1.0f, +1, 1.02f, true},
        {"volume at its top", 0, 4.0f, +1, 4.0f, true},
        {"volume at 0", 0, 0.0f, -1, 0.0f},
        {"rate semitone up", 3, 1.0f, +1, 1.0594631f, false, 1},
        {"rate semitone down", 3, 1.0f, -1, 1.0f / 1.0594631f, false, 1},
        {"rate semitone near the top", 3, 3.9f, +1, 4.0f, false, 1},
        {"rate table step", 3, 1.0f, +1, 1.01f},
        {"tempo", 2, 195.0f, +1, 200.0f},
        {"tempo bottom", 2, -75.0f, -1, -75.0f},
        {"rotation wraps up", 32, 180.0f, +1, -175.0f},
        {"rotation wraps down", 32, -180.0f, -1, 175.0f},
        {"3D mode toggles down", 33, 0.0f, -1, 1.0f},
        {"3D mode toggles up", 33, 1.0f, +1, 0.0f},
        {"rear speaker toggles", 34, 1.0f, +1, 0.0f},
        {"echo feedback clamps", 15, 90.0f, +1, 90.0f},
        {"comp attack near its minimum", 23, 5.0f, -1, 0.01f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        g_settings.playback.allowAmplify = c.amplify;
        g_settings.effects.rateStepMode = c.rateMode;
        EXPECT_NEAR(SteppedValue(c.id, c.from, c.direction), c.expected, 1e-5);
    }
}

TEST_F(CycleTest, UpAndDownThroughTheCommandsApplyAndSpeak)
{
    OnlyStreamSwitches(false, false, false, true);
    g_settings.playback.rate = 3.9f;
    for (int i = 0; i < 11; ++i)
        AdjustParam(+1);
    EXPECT_FLOAT_EQ(g_settings.playback.rate, 4.0f);
    std::vector<std::string> heard = spoken.Take();
    EXPECT_EQ(heard.back().substr(heard.back().rfind("Rate")), "Rate 4.00x");

    g_settings.effects.rateStepMode = 1;
    ResetParam();
    spoken.Take();
    AdjustParam(+1);
    EXPECT_THAT(spoken.Take(), ElementsAre("Rate 1.06x"));
    ResetParam();
    AdjustParam(-1);
    EXPECT_THAT(spoken.Take(), ElementsAre("Rate 1.00x, Rate 0.94x"));

    OnlyStreamSwitches(true, false, false, false);
    g_settings.playback.volumeStep = 0.05f;
    AdjustParam(-1);
    EXPECT_FLOAT_EQ(g_settings.playback.volume, 0.95f);
    EXPECT_THAT(spoken.Take(), ElementsAre("Volume 95%"));
}

TEST_F(CycleTest, ResetMinimumAndMaximum)
{
    g_settings.dspEffects.eq = true;
    g_settings.effects.volume = false;
    g_effectCycle.currentParam = 18;
    SetEffectParam(18, 6.0f);
    ResetParam();
    EXPECT_FLOAT_EQ(GetEffectParam(18), 0.0f);
    EXPECT_THAT(spoken.Take(), ElementsAre("EQ Bass +0dB"));
    ParamToMinimum();
    EXPECT_THAT(spoken.Take(), ElementsAre("EQ Bass -15dB"));
    ParamToMaximum();
    EXPECT_THAT(spoken.Take(), ElementsAre("EQ Bass +15dB"));

    OnlyStreamSwitches(true, false, false, false);
    g_effectCycle.currentParam = 0;
    ParamToMaximum();  // without amplification, the top is 100 %
    EXPECT_FLOAT_EQ(g_settings.playback.volume, 1.0f);
    g_settings.playback.allowAmplify = true;
    ParamToMaximum();
    EXPECT_FLOAT_EQ(g_settings.playback.volume, 4.0f);
    EXPECT_THAT(spoken.Take(), ElementsAre("Volume 100%, Volume 400%"));
}

TEST_F(CycleTest, TempoAndRateAreRefusedOnLiveStreams)
{
    OnlyStreamSwitches(false, true, true, true);
    g_session.live = true;
    for (int id : {2, 3}) {
        g_effectCycle.currentParam = id;
        AdjustParam(+1);
        ParamToMaximum();
        EXPECT_THAT(spoken.Take(), ElementsAre("Not available for live streams, Not available for live streams"));
    }
    EXPECT_FLOAT_EQ(g_settings.playback.tempo, 0.0f);
    EXPECT_FLOAT_EQ(g_settings.playback.rate, 1.0f);
    g_effectCycle.currentParam = 1;  // pitch still works on a live stream
    AdjustParam(+1);
    EXPECT_THAT(spoken.Take(), ElementsAre("Pitch +1 semitones"));
}

TEST_F(CycleTest, SpokenTexts)
{
    struct Case { int id; float value; const char* text; };
    const Case cases[] = {
        {0, 1.0f, "Volume 100%"},
        {0, 0.576f, "Volume 58%"},
        {0, 1.02f, "Volume 102%"},
        {1, 2.0f, "Pitch +2 semitones"},
        {1, -3.0f, "Pitch -3 semitones"},
        {1, -0.0f, "Pitch +0 semitones"},
        {2, -10.0f, "Tempo -10%"},
        {3, 1.0594631f, "Rate 1.06x"},
        {8, 0.5f, "DX8 HF Ratio 0"},
        {11, 1.49f, "I3DL2 Decay 1s"},
        {19, -4.0f, "EQ Mid -4dB"},
        {20, 0.0f, "EQ Treble +0dB"},
        {22, 4.0f, "Comp Ratio 4:1"},
        {27, -0.2f, "Center Cancel 0%"},
        {31, 45.0f, "3D Width 45 deg"},
        {32, -175.0f, "3D Rotation -175 deg"},
        {33, 0.0f, "3D Mode: Binaural"},
        {33, 1.0f, "3D Mode: 5.1 Surround"},
        {34, 1.0f, "3D Rear Speaker: On"},
        {34, 0.0f, "3D Rear Speaker: Off"},
        {35, -7.0f, "3D Listener X -7"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParamAnnouncementText(c.id, c.value), c.text) << c.id << " " << c.value;
    EXPECT_EQ(ParamAnnouncementText(38, 1.0f), "");

    // Speech/Effect off silences the parameter texts.
    g_settings.speech.effect = false;
    SelectNextParam(+1);
    AdjustParam(+1);
    EXPECT_THAT(spoken.Take(), IsEmpty());
}

TEST_F(CycleTest, StreamSwitchesChangeTheCycleNotTheValue)
{
    g_settings.effects.pitch = true;
    g_settings.playback.pitch = 3.0f;
    ToggleStreamParam(1);
    EXPECT_FALSE(g_settings.effects.pitch);
    EXPECT_FLOAT_EQ(g_settings.playback.pitch, 3.0f);
    EXPECT_THAT(spoken.Take(), ElementsAre("Pitch disabled"));
    EXPECT_EQ(BuildCycle(), std::vector<int>{0});

    for (int n = 0; n < 4; ++n)
        ToggleStreamParam(n);
    EXPECT_THAT(spoken.Take(), ElementsAre("Volume disabled, Pitch enabled, Tempo enabled, Rate enabled"));
    ToggleStreamParam(4);
    ToggleStreamParam(-1);
    EXPECT_THAT(spoken.Take(), IsEmpty());
}

TEST_F(CycleTest, DspSwitchesAndTheReverbCycle)
{
    const char* expected[] = {"Reverb: Freeverb", "Reverb: DX8 Reverb", "Reverb: I3DL2 Reverb", "Reverb: Off"};
    for (const char* text : expected) {
        ToggleDspEffect(0);
        EXPECT_THAT(spoken.Take(), ElementsAre(text));
    }
    EXPECT_EQ(g_settings.effects.reverbAlgorithm, 0);
    EXPECT_FALSE(g_settings.dspEffects.reverb);
    EXPECT_EQ(BuildCycle(), std::vector<int>{0});

    g_settings.effects.reverbAlgorithm = 7;  // a hand-edited file
    ToggleDspEffect(0);
    EXPECT_EQ(g_settings.effects.reverbAlgorithm, 0);
    EXPECT_THAT(spoken.Take(), ElementsAre("Reverb: Off"));

    const char* names[] = {"Echo", "EQ", "Compressor", "Stereo Width", "Center Cancel", "Convolution", "3D Audio"};
    for (int n = 1; n <= 7; ++n) {
        ToggleDspEffect(n);
        EXPECT_TRUE(DspEffectSwitch(n));
        EXPECT_THAT(spoken.Take(), ElementsAre(std::string(names[n - 1]) + " enabled"));
    }
    EXPECT_EQ(BuildCycle().size(), 1u + 34u - 10u);
    ToggleDspEffect(6);
    EXPECT_FALSE(g_settings.dspEffects.convolution);
    EXPECT_THAT(spoken.Take(), ElementsAre("Convolution disabled"));
    ToggleDspEffect(8);
    EXPECT_THAT(spoken.Take(), IsEmpty());
}
