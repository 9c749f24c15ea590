// The effect chain on real decode streams: signals written to WAV files,
// decoded by the engine with the chain installed, and measured.
#include "effects/EffectChain.h"

#include "../audio/AudioTestSupport.h"
#include "effects/EffectParams.h"
#include "playback/PlaybackSession.h"
#include "storage/Settings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kRate = 44100;

std::vector<float> Tone(double freq, double seconds, float amplitude, int channels)
{
    const size_t frames = static_cast<size_t>(seconds * kRate);
    std::vector<float> s(frames * channels);
    for (size_t i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c)
            s[i * channels + c] = amplitude * static_cast<float>(std::sin(2 * M_PI * freq * static_cast<double>(i) / kRate));
    return s;
}

// Level in dB of one channel over frames [from, to).
double LevelDb(const std::vector<float>& s, int channels, int channel, size_t from, size_t to)
{
    double sum = 0.0;
    to = std::min(to, s.size() / channels);
    for (size_t i = from; i < to; ++i)
        sum += static_cast<double>(s[i * channels + channel]) * s[i * channels + channel];
    return 10.0 * std::log10(std::max(sum / static_cast<double>(to - from), 1e-30));
}

double Peak(const std::vector<float>& s, size_t from, size_t to)
{
    float peak = 0.0f;
    for (size_t i = from; i < std::min(to, s.size()); ++i)
        peak = std::max(peak, std::fabs(s[i]));
    return peak;
}

class DspChainTest : public audiotest::EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        g_settings = Settings{};
        g_session = PlaybackSession{};
        ResetEffectValues();
        // Earlier tests in this process may leave a gain or a chain behind.
        SetVolumeStageGain(1.0f, false);
        RemoveAllEffects(EffectChainChannel());
    }
    void TearDown() override
    {
        Close();
        g_settings = Settings{};
        ResetEffectValues();
        EngineTest::TearDown();
    }
    // Opens the samples as a decode stream and installs the chain on it.
    void Open(const std::vector<float>& samples, int channels)
    {
        Close();
        const std::string path = dir.File("signal" + std::to_string(++files) + ".wav");
        ASSERT_TRUE(audiotest::WriteFloatWav(path, samples, kRate, channels));
        channel = audio::StreamCreateFile(path, audio::kStreamDecode | audio::kSampleFloat);
        ASSERT_NE(channel, 0u) << audio::AudioErrorCode();
        ApplyEffects(channel);
    }
    void Close()
    {
        if (!channel)
            return;
        RemoveAllEffects(channel);
        audio::StreamFree(channel);
        channel = 0;
    }
    // Up to `samples` processed samples (interleaved).
    std::vector<float> Pull(size_t samples)
    {
        std::vector<float> out;
        std::vector<float> buf(4096);
        while (out.size() < samples) {
            const size_t want = std::min(buf.size(), samples - out.size());
            const int got = audio::ChannelGetData(channel, buf.data(), static_cast<std::uint32_t>(want * 4) | audio::kDataFloat);
            if (got <= 0)
                break;
            out.insert(out.end(), buf.begin(), buf.begin() + got / 4);
        }
        return out;
    }
    std::vector<float> Process(const std::vector<float>& samples, int channels)
    {
        Open(samples, channels);
        return Pull(samples.size());
    }

    audio::Handle channel = 0;
    int files = 0;
};

TEST_F(DspChainTest, EchoRepeatsAnImpulseAtTheDelayWithFeedback)
{
    g_settings.dspEffects.echo = true;
    SetEffectParam(14, 300.0f);  // delay ms
    SetEffectParam(15, 40.0f);   // feedback %
    SetEffectParam(16, 50.0f);   // mix %
    std::vector<float> in(kRate * 2, 0.0f);
    const size_t at = 1000, delay = kRate * 3 / 10;
    in[at * 2] = in[at * 2 + 1] = 1.0f;
    const std::vector<float> out = Process(in, 2);
    ASSERT_EQ(out.size(), in.size());
    EXPECT_NEAR(out[at * 2], 0.5f, 1e-6);                  // dry
    EXPECT_NEAR(out[(at + delay) * 2], 0.5f, 1e-6);        // first repeat, wet
    EXPECT_NEAR(out[(at + 2 * delay) * 2], 0.2f, 1e-6);    // fed back at 40 %
    // Nothing else sounds between the repeats.
    EXPECT_LT(Peak(out, (at + 1) * 2, (at + delay) * 2), 1e-6);
    EXPECT_LT(Peak(out, (at + delay + 1) * 2, (at + 2 * delay) * 2), 1e-6);
}

TEST_F(DspChainTest, EchoDelayChangeIsHeardAtOnce)
{
    g_settings.dspEffects.echo = true;
    SetEffectParam(16, 50.0f);
    SetEffectParam(15, 0.0f);
    std::vector<float> in(kRate * 2, 0.0f);
    const size_t at = kRate;  // after the change
    in[at] = 1.0f;
    Open(in, 1);
    std::vector<float> out = Pull(kRate / 2);
    SetEffectParam(14, 100.0f);
    const std::vector<float> rest = Pull(in.size());
    out.insert(out.end(), rest.begin(), rest.end());
    ASSERT_EQ(out.size(), in.size());
    EXPECT_NEAR(out[at + kRate / 10], 0.5f, 1e-6);
    EXPECT_LT(Peak(out, at + kRate / 10 + 1, out.size()), 1e-6);  // nothing left at the old 300 ms
}

TEST_F(DspChainTest, EqualizerBandsAndPreampShapeTones)
{
    struct Case {
        const char* what;
        float bassFreq;
        int param;
        float db;
        double toneHz;
        double expectDb;
    } cases[] = {
        {"+12 dB bass at its centre", 100.0f, kParamEqBass, 12.0f, 100.0, 12.0},
        {"+12 dB bass leaves 5 kHz", 100.0f, kParamEqBass, 12.0f, 5000.0, 0.0},
        {"-12 dB treble at 12 kHz", 50.0f, kParamEqTreble, -12.0f, 12000.0, -12.0},
        {"+6 dB mid at 1 kHz", 50.0f, kParamEqMid, 6.0f, 1000.0, 6.0},
        {"preamp -6 dB everywhere", 50.0f, 17, -6.0f, 440.0, -6.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ResetEffectValues();
        g_settings.dspEffects.eq = true;
        g_settings.advanced.eqBassFreq = c.bassFreq;
        SetEffectParam(c.param, c.db);
        const std::vector<float> in = Tone(c.toneHz, 1.0, 0.1f, 2);
        const std::vector<float> out = Process(in, 2);
        ASSERT_EQ(out.size(), in.size());
        for (int ch = 0; ch < 2; ++ch) {
            const double gain = LevelDb(out, 2, ch, kRate / 4, kRate) - LevelDb(in, 2, ch, kRate / 4, kRate);
            EXPECT_NEAR(gain, c.expectDb, 0.5) << "channel " << ch;
        }
    }
}

TEST_F(DspChainTest, EqBandFrequencyIsReadOnlyWhenInstalled)
{
    g_settings.dspEffects.eq = true;
    g_settings.advanced.eqBassFreq = 1000.0f;
    SetEffectParam(kParamEqBass, 12.0f);
    const std::vector<float> in = Tone(1000.0, 1.0, 0.1f, 1);
    Open(in, 1);
    g_settings.advanced.eqBassFreq = 50.0f;  // changed in Options while installed
    ApplyEffects(channel);
    const std::vector<float> out = Pull(in.size());
    EXPECT_NEAR(LevelDb(out, 1, 0, kRate / 4, kRate) - LevelDb(in, 1, 0, kRate / 4, kRate), 12.0, 0.5);
}

TEST_F(DspChainTest, CompressorReducesOnlyWhatIsAboveTheThreshold)
{
    g_settings.dspEffects.compressor = true;
    SetEffectParam(21, -21.0f);  // threshold dB
    SetEffectParam(22, 4.0f);    // ratio
    SetEffectParam(23, 1.0f);    // attack ms
    SetEffectParam(24, 200.0f);  // release ms
    SetEffectParam(25, 0.0f);
    // Peak at 0 dB: 21 dB over, 3/4 of it taken away.
    const std::vector<float> loud = Tone(440.0, 1.0, 1.0f, 2);
    std::vector<float> out = Process(loud, 2);
    const double loudPeakDb = 20.0 * std::log10(Peak(out, kRate, 2 * kRate));
    EXPECT_NEAR(loudPeakDb, -15.75, 1.0);
    // A tone below the threshold is left alone.
    const std::vector<float> quiet = Tone(440.0, 1.0, 0.05f, 2);
    out = Process(quiet, 2);
    EXPECT_NEAR(LevelDb(out, 2, 0, kRate / 2, kRate), LevelDb(quiet, 2, 0, kRate / 2, kRate), 0.1);
    // Make-up gain applies on top.
    SetEffectParam(25, 6.0f);
    out = Process(quiet, 2);
    EXPECT_NEAR(LevelDb(out, 2, 0, kRate / 2, kRate) - LevelDb(quiet, 2, 0, kRate / 2, kRate), 6.0, 0.1);
}

// Left 440 Hz, right 660 Hz at different levels: clearly not centred.
std::vector<float> WideSignal(double seconds)
{
    const size_t frames = static_cast<size_t>(seconds * kRate);
    std::vector<float> s(frames * 2);
    for (size_t i = 0; i < frames; ++i) {
        s[2 * i] = 0.4f * static_cast<float>(std::sin(2 * M_PI * 440.0 * i / kRate));
        s[2 * i + 1] = 0.2f * static_cast<float>(std::sin(2 * M_PI * 660.0 * i / kRate));
    }
    return s;
}

TEST_F(DspChainTest, StereoWidthScalesTheSideSignal)
{
    const std::vector<float> in = WideSignal(0.5);
    for (float width : {0.0f, 50.0f, 200.0f}) {
        SCOPED_TRACE(width);
        g_settings.dspEffects.stereoWidth = true;
        SetEffectParam(26, width);
        const std::vector<float> out = Process(in, 2);
        ASSERT_EQ(out.size(), in.size());
        float worst = 0.0f;
        for (size_t i = 0; i < in.size(); i += 2) {
            const float mid = (in[i] + in[i + 1]) * 0.5f, side = (in[i] - in[i + 1]) * 0.5f * width / 100.0f;
            worst = std::max({worst, std::fabs(out[i] - (mid + side)), std::fabs(out[i + 1] - (mid - side))});
        }
        EXPECT_LT(worst, 1e-6);
    }
}

TEST_F(DspChainTest, CenterCancelZeroAndNegativeAmounts)
{
    const std::vector<float> in = WideSignal(0.5);
    g_settings.dspEffects.centerCancel = true;
    SetEffectParam(27, 0.0f);
    EXPECT_EQ(Process(in, 2), in);  // bit-identical
    SetEffectParam(27, -100.0f);
    const std::vector<float> out = Process(in, 2);
    for (size_t i = 0; i < in.size(); i += 2) {
        ASSERT_FLOAT_EQ(out[i], out[i + 1]);
        ASSERT_NEAR(out[i], (in[i] + in[i + 1]) * 0.5f, 1e-6);
    }
}

TEST_F(DspChainTest, CenterCancelRemovesACentredToneAndKeepsTheSides)
{
    g_settings.dspEffects.centerCancel = true;
    SetEffectParam(27, 100.0f);
    const std::vector<float> centred = Tone(440.0, 1.5, 0.3f, 2);
    std::vector<float> out = Process(centred, 2);
    ASSERT_EQ(out.size(), centred.size());
    EXPECT_EQ(Peak(out, 0, 4095 * 2), 0.0f);  // the engine's start-up delay
    const double inDb = LevelDb(centred, 2, 0, kRate / 2, kRate);
    EXPECT_LT(LevelDb(out, 2, 0, kRate / 2, kRate) - inDb, -30.0);
    EXPECT_LT(LevelDb(out, 2, 1, kRate / 2, kRate) - inDb, -30.0);

    // Opposite phase in the two channels is all side: it passes at its own
    // level, delayed.
    std::vector<float> side = centred;
    for (size_t i = 1; i < side.size(); i += 2)
        side[i] = -side[i];
    out = Process(side, 2);
    EXPECT_NEAR(LevelDb(out, 2, 0, kRate / 2, kRate), LevelDb(side, 2, 0, kRate / 2, kRate), 0.2);
}

TEST_F(DspChainTest, MonoStreamsPassTheStereoRoutinesUntouched)
{
    g_settings.dspEffects.stereoWidth = true;
    g_settings.dspEffects.centerCancel = true;
    SetEffectParam(26, 0.0f);
    SetEffectParam(27, 100.0f);
    const std::vector<float> in = Tone(440.0, 0.5, 0.3f, 1);
    EXPECT_EQ(Process(in, 1), in);
}

TEST_F(DspChainTest, EachReverbLeavesADecayingTailAfterAnImpulse)
{
    for (int algorithm = 1; algorithm <= 3; ++algorithm) {
        SCOPED_TRACE(algorithm);
        g_settings.effects.reverbAlgorithm = algorithm;
        std::vector<float> in(kRate * 4 * 2, 0.0f);
        in[0] = in[1] = 1.0f;
        const std::vector<float> out = Process(in, 2);
        ASSERT_EQ(out.size(), in.size());
        const double early = LevelDb(out, 2, 0, kRate / 50, kRate / 4);
        const double later = LevelDb(out, 2, 0, kRate, kRate * 5 / 4);
        const double late = LevelDb(out, 2, 0, kRate * 3, kRate * 4);
        EXPECT_GT(early, -70.0);        // a tail is there
        EXPECT_LT(later, early - 6.0);  // and it decays
        EXPECT_LT(late, early - 40.0);
        for (float v : out)
            ASSERT_TRUE(std::isfinite(v));
        // Both sides carry it, not identically (the tail is decorrelated).
        EXPECT_GT(LevelDb(out, 2, 1, kRate / 50, kRate / 4), -70.0);
    }
}

TEST_F(DspChainTest, LongerDecayTimeGivesALongerTail)
{
    auto tailDb = [&](float decaySeconds) {
        g_settings.effects.reverbAlgorithm = 3;
        SetEffectParam(11, decaySeconds);
        std::vector<float> in(kRate * 2 * 2, 0.0f);
        in[0] = in[1] = 1.0f;
        const std::vector<float> out = Process(in, 2);
        return LevelDb(out, 2, 0, kRate, kRate * 3 / 2) - LevelDb(out, 2, 0, kRate / 50, kRate / 4);
    };
    EXPECT_GT(tailDb(5.0f), tailDb(0.5f) + 20.0);
}

TEST_F(DspChainTest, PreampRunsBeforeTheCompressorWhicheverWasSwitchedOnFirst)
{
    // Compressor first, then EQ: the chain order still puts the EQ first, so
    // a tone brought under the threshold by the preamp is not compressed.
    g_settings.dspEffects.compressor = true;
    SetEffectParam(21, -20.0f);
    SetEffectParam(22, 20.0f);
    SetEffectParam(23, 1.0f);
    const std::vector<float> in = Tone(440.0, 1.0, 0.5f, 2);
    Open(in, 2);
    g_settings.dspEffects.eq = true;
    SetEffectParam(17, -15.0f);
    ApplyEffects(channel);
    const std::vector<float> out = Pull(in.size());
    EXPECT_NEAR(Peak(out, kRate / 2, kRate * 2), 0.5 * std::pow(10.0, -15.0 / 20.0), 0.005);
}

TEST_F(DspChainTest, ChainStagesAreCountedAndRemoved)
{
    g_settings.effects.reverbAlgorithm = 2;
    g_settings.dspEffects = {true, true, true, true, true, true, true, true, ""};
    Open(Tone(440.0, 0.2, 0.1f, 2), 2);
    // Reverb, echo, preamp and three bands, compressor, width, centre cancel,
    // volume: convolution and 3D add nothing here.
    EXPECT_EQ(InstalledEffectCount(), 10);
    ApplyEffects(channel);  // nothing doubles
    EXPECT_EQ(InstalledEffectCount(), 10);
    RemoveAllEffects(channel);
    EXPECT_EQ(InstalledEffectCount(), 0);
    EXPECT_EQ(EffectChainChannel(), 0u);
}

}  // namespace
