#include "tempo/StretchEngine.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "TempoSignals.h"

using namespace tempo_test;

namespace {

constexpr int kRate = 44100;

// Runs per-channel input through the engine as the processor does: prime
// with the reported latency, then blocks of 1 024 input frames, each asking
// for round(1024 / ratio) output frames.
std::vector<std::vector<float>> RunThrough(StretchEngine& engine, const std::vector<std::vector<float>>& input,
                                    double ratio) {
    const int channels = static_cast<int>(input.size());
    const int frames = static_cast<int>(input[0].size());
    std::vector<std::vector<float>> output(channels);
    std::vector<const float*> in(channels);
    std::vector<std::vector<float>> block(channels);
    std::vector<float*> out(channels);

    int at = 0;
    auto step = [&](int inFrames, int outFrames, bool keep) {
        for (int c = 0; c < channels; ++c) {
            in[c] = input[c].data() + at;
            block[c].assign(static_cast<size_t>(outFrames), 1.0f);
            out[c] = block[c].data();
        }
        engine.process(in.data(), inFrames, out.data(), outFrames);
        at += inFrames;
        if (keep)
            for (int c = 0; c < channels; ++c)
                output[c].insert(output[c].end(), block[c].begin(), block[c].end());
    };
    const int latency = engine.inputLatency() + engine.outputLatency();
    if (latency > 0) step(latency, latency, false);
    while (at + 1024 <= frames)
        step(1024, std::max(1, static_cast<int>(1024 / ratio + 0.5)), true);
    return output;
}

// `hz` on every channel for `seconds` from `start`, silence elsewhere.
std::vector<std::vector<float>> Burst(int channels, double start, double seconds, double total,
                                      double hz = 1000.0) {
    const std::vector<float> sine = Sine(hz, kRate, 1, static_cast<int>(seconds * kRate));
    std::vector<float> mono(static_cast<size_t>(total * kRate), 0.0f);
    std::copy(sine.begin(), sine.end(), mono.begin() + static_cast<long>(start * kRate));
    return std::vector<std::vector<float>>(channels, mono);
}

// Where the output's sine starts and ends, in seconds.
struct Span {
    double start = -1, end = -1;
};
Span SoundSpan(const std::vector<float>& mono) {
    const std::vector<double> rms = WindowRms(mono, kRate / 200);
    Span span;
    const int on = FirstWindow(rms, 0.1, true);
    if (on < 0) return span;
    span.start = on / 200.0;
    const int off = FirstWindow(rms, 0.1, false, on);
    span.end = (off < 0 ? static_cast<int>(rms.size()) : off) / 200.0;
    return span;
}

struct StretchCase {
    double ratio;         // input frames per output frame asked for
    double semitones;
    double tonalityLimit;
    double soundSeconds;  // length of the 1 kHz burst starting at 0.5 s
    double expectedSeconds;
    double expectedPeakHz;
};

}  // namespace

class StretchSine : public ::testing::TestWithParam<StretchCase> {};

TEST_P(StretchSine, DurationFollowsRatioAndPeakFollowsTransposition) {
    const StretchCase c = GetParam();
    StretchEngine engine;
    ASSERT_TRUE(engine.configure(2, kRate * 12 / 100, kRate * 3 / 100, false, kRate));
    engine.setTransposeSemitones(c.semitones, c.tonalityLimit);
    engine.reset();
    const double total = 0.5 + c.soundSeconds + 1.0;
    const auto output = RunThrough(engine, Burst(2, 0.5, c.soundSeconds, total), c.ratio);

    for (int ch = 0; ch < 2; ++ch) {
        const Span span = SoundSpan(output[ch]);
        ASSERT_GE(span.start, 0.0) << "no sound on channel " << ch;
        // The silence before the burst shrinks or grows by the ratio too,
        // give or take the stretcher's lookahead (about 0.1 s of input),
        // which was primed at ratio 1.
        EXPECT_NEAR(span.start, 0.5 / c.ratio, 0.02 + 0.1 * std::fabs(1.0 - 1.0 / c.ratio))
            << "channel " << ch;
        EXPECT_NEAR(span.end - span.start, c.expectedSeconds, c.expectedSeconds * 0.03)
            << "channel " << ch;
        const auto first = output[ch].begin() + static_cast<long>((span.start + 0.1) * kRate);
        const auto last = output[ch].begin() + static_cast<long>((span.end - 0.1) * kRate);
        EXPECT_NEAR(PeakFrequency(std::vector<float>(first, last), kRate), c.expectedPeakHz,
                    c.expectedPeakHz * 0.005)
            << "channel " << ch;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StretchSine,
    ::testing::Values(StretchCase{1.0, 0, 0, 2.0, 2.0, 1000.0},
                      StretchCase{2.0, 0, 0, 4.0, 2.0, 1000.0},
                      StretchCase{0.5, 0, 0, 1.0, 2.0, 1000.0},
                      StretchCase{1.0, 12, 0, 2.0, 2.0, 2000.0},
                      StretchCase{2.0, -12, 0, 4.0, 2.0, 500.0}));

// Asked for more than the limits allow, the engine still answers every call
// in full but plays the sound no faster than 10x and no slower than 0.1x:
// the whole sound comes out, once drained, in a tenth or ten times its length.
TEST(StretchEngine, RatioIsHeldWithinLimits) {
    for (auto [ratio, soundSeconds, expectedSeconds] : {std::tuple{20.0, 4.0, 0.4},
                                                       std::tuple{0.05, 0.4, 4.0}}) {
        StretchEngine engine;
        ASSERT_TRUE(engine.configure(1, 5292, 1323, false, kRate));
        engine.reset();
        const auto input = Burst(1, 0.0, soundSeconds, soundSeconds + 0.5);
        const int frames = static_cast<int>(input[0].size());
        std::vector<float> out;
        std::vector<float> block(1 << 16);
        float* outs[] = {block.data()};
        for (int at = 0; at + 1024 <= frames; at += 1024) {
            const float* in[] = {input[0].data() + at};
            const int outFrames = std::max(1, static_cast<int>(1024 / ratio + 0.5));
            engine.process(in, 1024, outs, outFrames);
            out.insert(out.end(), block.begin(), block.begin() + outFrames);
        }
        for (int i = 0; i < 20; ++i) {  // what is still queued
            engine.process(nullptr, 0, outs, 1 << 16);
            out.insert(out.end(), block.begin(), block.end());
        }
        const std::vector<double> rms = WindowRms(out, kRate / 100);
        const double soundTime =
            std::count_if(rms.begin(), rms.end(), [](double v) { return v > 0.1; }) / 100.0;
        EXPECT_NEAR(soundTime, expectedSeconds, expectedSeconds * 0.05) << "ratio " << ratio;
    }
}

TEST(StretchEngine, ResetLeavesNothingOfEarlierAudio) {
    StretchEngine engine;
    ASSERT_TRUE(engine.configure(2, 5292, 1323, false, kRate));
    engine.reset();
    RunThrough(engine, Burst(2, 0.0, 1.0, 1.0), 2.0);  // stopped in the middle of the sound

    engine.reset();
    const auto after = RunThrough(engine, Burst(2, 0.0, 0.0, 1.0), 2.0);
    for (const auto& channel : after)
        for (float v : channel) ASSERT_LT(std::fabs(v), 1e-3);
}

TEST(StretchEngine, EveryCallGivesExactlyTheFramesAskedFor) {
    StretchEngine engine;
    ASSERT_TRUE(engine.configure(1, 4410, 1764, true, kRate));
    engine.reset();
    const std::vector<float> sine = Sine(1000.0, kRate, 1, 8192);
    std::vector<float> out(20000, 7.0f);
    const float* in[] = {sine.data()};
    float* outs[] = {out.data()};
    // Odd counts, ratios beyond the limits, no input at all.
    for (auto [inFrames, outFrames] : {std::pair{1024, 333}, {7, 5000}, {8192, 1}, {0, 20000}}) {
        std::fill(out.begin(), out.end(), 7.0f);
        engine.process(in, inFrames, outs, outFrames);
        EXPECT_EQ(std::count(out.begin(), out.begin() + outFrames, 7.0f), 0);
        EXPECT_EQ(std::count(out.begin() + outFrames, out.end(), 7.0f), 20000 - outFrames);
    }
}

TEST(StretchEngine, RefusesBadConfigurationAndIsSilentUnconfigured) {
    StretchEngine engine;
    EXPECT_FALSE(engine.configure(0, 5292, 1323, false, kRate));
    EXPECT_FALSE(engine.configure(2, 0, 1323, false, kRate));
    EXPECT_FALSE(engine.configure(2, 5292, 1323, false, 0));
    EXPECT_FALSE(engine.isConfigured());
    EXPECT_EQ(engine.outputLatency(), 0);
    std::vector<float> left(64, 1.0f), right(64, 1.0f);
    float* out[] = {left.data(), right.data()};
    engine.process(nullptr, 0, out, 64);  // must not crash
}
