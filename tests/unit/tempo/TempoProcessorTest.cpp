// The three tempo processors on real signals, their output pulled as a
// decode channel: duration and pitch, item-time position and length,
// seeking, and the speed limits.
#include <algorithm>
#include <cmath>
#include <fstream>

#include "ProcessorTestSupport.h"
#include "TempoSignals.h"
#include "storage/Settings.h"
#include "tempo/SignalsmithProcessor.h"
#include "tempo/SpeedyProcessor.h"

using namespace audio;
using namespace tempo_test;

namespace {

constexpr int kRate = 44100;

class TempoProcessorTest : public ProcessorTest {
protected:
    // An 8 s stereo 1 kHz sine as a decode stream.
    Handle SineSource() {
        const std::string path = File("sine.wav");
        if (!std::ifstream(path) && !WriteFloatWav(path, Sine(1000.0, kRate, 2, 8 * kRate), kRate, 2))
            return 0;
        return OpenDecode(path);
    }
};

TEST_F(TempoProcessorTest, TempoChangesDurationAndPitchChangesFrequency) {
    const struct {
        float tempo, pitch;
        double seconds, peakHz;
    } cases[] = {
        {100.0f, 0.0f, 4.0, 1000.0},   // twice as fast, same pitch
        {0.0f, 12.0f, 8.0, 2000.0},    // an octave up, same length
        {-50.0f, -12.0f, 16.0, 500.0}, // both at once
    };
    for (const ProcessorKind& kind : kProcessorKinds) {
        for (const auto& c : cases) {
            SCOPED_TRACE(testing::Message() << kind.name << " tempo " << c.tempo << " pitch " << c.pitch);
            const Handle source = SineSource();
            ASSERT_NE(source, 0u);
            auto processor = kind.makeDecoding();
            processor->setTempo(c.tempo);
            processor->setPitch(c.pitch);
            const Handle output = processor->create(source, kRate);
            ASSERT_NE(output, 0u) << AudioErrorCode();
            EXPECT_EQ(processor->typeId(), kind.type);
            EXPECT_EQ(processor->sourceHandle(), source);

            const std::vector<float> left = Channel(Pull(output, 2), 2, 0);
            const double seconds = static_cast<double>(left.size()) / kRate;
            EXPECT_NEAR(seconds, c.seconds, c.seconds * 0.03);
            const std::vector<float> middle(left.begin() + left.size() / 4, left.begin() + left.size() * 3 / 4);
            EXPECT_NEAR(PeakFrequency(middle, kRate), c.peakHz, c.peakHz * 0.01);
            // The item's own time, whatever the tempo.
            EXPECT_NEAR(processor->lengthSeconds(), 8.0, 0.001);
            EXPECT_NEAR(processor->positionSeconds(), 8.0, 0.05);

            processor->release();
            EXPECT_FALSE(processor->isActive());
            EXPECT_EQ(processor->sourceHandle(), 0u);
            EXPECT_EQ(processor->positionSeconds(), 0.0);
            if (kind.type != kTempoSoundTouch) StreamFree(source);
        }
    }
}

TEST_F(TempoProcessorTest, PositionRunsInItemTimeWhilePlayingFast) {
    for (const ProcessorKind& kind : kProcessorKinds) {
        SCOPED_TRACE(kind.name);
        const Handle source = SineSource();
        auto processor = kind.makeDecoding();
        processor->setTempo(100.0f);
        const Handle output = processor->create(source, kRate);
        ASSERT_NE(output, 0u);
        EXPECT_NEAR(processor->positionSeconds(), 0.0, 0.2);
        // Two seconds of output are four of the item; the decode position
        // may run ahead by what the processor holds.
        ASSERT_EQ(Pull(output, 2, 2 * kRate).size(), static_cast<size_t>(4 * kRate));
        EXPECT_NEAR(processor->positionSeconds(), 4.0, 0.35);
        EXPECT_GE(processor->positionSeconds(), 3.95);
        EXPECT_NEAR(processor->lengthSeconds(), 8.0, 0.001);
        processor.reset();
        if (kind.type != kTempoSoundTouch) StreamFree(source);
    }
}

// 0-4 s a 500 Hz tone, 4-8 s a 1500 Hz tone: any 500 Hz after a jump into
// the second half is audio from before the jump.
TEST_F(TempoProcessorTest, NothingFromBeforeASeekComesOut) {
    std::vector<float> samples = Sine(500.0, kRate, 2, 4 * kRate);
    const std::vector<float> high = Sine(1500.0, kRate, 2, 4 * kRate);
    samples.insert(samples.end(), high.begin(), high.end());
    ASSERT_TRUE(WriteFloatWav(File("two.wav"), samples, kRate, 2));

    for (const ProcessorKind& kind : kProcessorKinds) {
        SCOPED_TRACE(kind.name);
        const Handle source = OpenDecode(File("two.wav"));
        auto processor = kind.makeDecoding();
        processor->setTempo(50.0f);
        const Handle output = processor->create(source, kRate);
        ASSERT_NE(output, 0u);
        const std::vector<float> before = Channel(Pull(output, 2, kRate), 2, 0);
        ASSERT_GT(ToneAmplitude(before.data() + kRate / 2, 4096, 500.0, kRate), 0.3);

        processor->seek(5.0);
        EXPECT_NEAR(processor->positionSeconds(), 5.0, 0.01);
        const std::vector<float> after = Channel(Pull(output, 2), 2, 0);
        // Three seconds of the item at 1.5 times speed; Signalsmith starts
        // again after its delay.
        EXPECT_NEAR(static_cast<double>(after.size()) / kRate, 2.0, 0.25);
        double loudestOld = 0.0;
        for (size_t at = 0; at + 2048 <= after.size(); at += 1024)
            loudestOld = std::max(loudestOld, ToneAmplitude(after.data() + at, 2048, 500.0, kRate));
        EXPECT_LT(loudestOld, 0.02);
        EXPECT_GT(ToneAmplitude(after.data() + after.size() / 2, 4096, 1500.0, kRate), 0.3);
        processor.reset();
        if (kind.type != kTempoSoundTouch) StreamFree(source);
    }
}

// The item ends with a tenth of a second of 1500 Hz after 500 Hz: shorter
// than any engine's delay, so it is heard only if what the engine still
// holds at the end comes out.
TEST_F(TempoProcessorTest, TheLastMomentsOfTheItemComeOut) {
    std::vector<float> samples = Sine(500.0, kRate, 2, 3 * kRate);
    const std::vector<float> marker = Sine(1500.0, kRate, 2, kRate / 10);
    samples.insert(samples.end(), marker.begin(), marker.end());
    ASSERT_TRUE(WriteFloatWav(File("marked.wav"), samples, kRate, 2));
    for (const ProcessorKind& kind : kProcessorKinds) {
        for (float tempo : {0.0f, 100.0f}) {
            SCOPED_TRACE(testing::Message() << kind.name << " tempo " << tempo);
            const Handle source = OpenDecode(File("marked.wav"));
            auto processor = kind.makeDecoding();
            processor->setTempo(tempo);
            const Handle output = processor->create(source, kRate);
            ASSERT_NE(output, 0u);
            const std::vector<float> out = Channel(Pull(output, 2), 2, 0);
            const int window = kRate / 25;
            double marked = 0.0;
            for (size_t at = out.size() > kRate / 2 ? out.size() - kRate / 2 : 0; at + window <= out.size();
                 at += window / 4)
                marked = std::max(marked, ToneAmplitude(out.data() + at, window, 1500.0, kRate));
            EXPECT_GT(marked, 0.2);
            processor.reset();
            if (kind.type != kTempoSoundTouch) StreamFree(source);
        }
    }
}

TEST_F(TempoProcessorTest, SpeedyAndSignalsmithHoldTheirSpeedLimits) {
    const struct {
        float tempo, rate;
        double speedySpeed, stretchRatio;
    } cases[] = {
        {100.0f, 1.0f, 2.0, 2.0},
        {700.0f, 1.0f, 6.0, 8.0},
        {1400.0f, 1.0f, 6.0, 10.0},
        {-95.0f, 1.0f, 0.1, 0.1},
        {200.0f, 3.0f, 6.0, 9.0},   // the rate factor counts too
        {-50.0f, 0.1f, 0.1, 0.1},
    };
    const Handle source = SineSource();
    SpeedyProcessor speedy(kStreamDecode);
    SignalsmithProcessor signalsmith(kStreamDecode);
    ASSERT_NE(speedy.create(source, kRate), 0u);
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "tempo " << c.tempo << " rate " << c.rate);
        speedy.setTempo(c.tempo);
        speedy.setRate(c.rate);
        EXPECT_NEAR(speedy.engineSpeed(), c.speedySpeed, 1e-6);
        signalsmith.setTempo(c.tempo);
        signalsmith.setRate(c.rate);
        EXPECT_NEAR(signalsmith.stretchRatio(), c.stretchRatio, 1e-6);
    }
    speedy.release();
    StreamFree(source);

    // What comes out follows the limit, not the tempo asked for: 8 s at
    // speed 6 (asked 8) and ratio 10 (asked 15).
    const struct {
        const ProcessorKind& kind;
        float tempo;
        double seconds, tolerance;
    } rendered[] = {
        {kProcessorKinds[1], 700.0f, 8.0 / 6.0, 0.08},
        {kProcessorKinds[2], 1400.0f, 0.8, 0.2},   // plus part of the engine's delay
    };
    for (const auto& r : rendered) {
        SCOPED_TRACE(r.kind.name);
        const Handle src = SineSource();
        auto processor = r.kind.makeDecoding();
        processor->setTempo(r.tempo);
        const Handle output = processor->create(src, kRate);
        ASSERT_NE(output, 0u);
        const double seconds = static_cast<double>(Pull(output, 2).size()) / 2 / kRate;
        EXPECT_GE(seconds, r.seconds - 0.03);
        EXPECT_LE(seconds, r.seconds + r.tolerance);
        processor.reset();
        StreamFree(src);
    }
}

TEST_F(TempoProcessorTest, CreateFailsWhenTheSourceCannotBeRead) {
    const Handle source = SineSource();
    ASSERT_TRUE(StreamFree(source));
    for (const ProcessorKind& kind : kProcessorKinds) {
        SCOPED_TRACE(kind.name);
        auto processor = kind.makeDecoding();
        EXPECT_EQ(processor->create(source, kRate), 0u);
        EXPECT_EQ(processor->create(0, kRate), 0u);
        EXPECT_EQ(processor->lengthSeconds(), 0.0);
        EXPECT_EQ(processor->positionSeconds(), 0.0);
        processor->seek(1.0);  // harmless
        processor->release();
    }
}

}  // namespace
