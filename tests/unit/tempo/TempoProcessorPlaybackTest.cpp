// The processors as the playback session uses them: the current processor
// playing on the "No sound" device, the fallback to SoundTouch, release
// while the mixing thread is inside the stream callback, and the nonlinear
// speed-up on real speech.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>

#include "ProcessorTestSupport.h"
#include "TempoSignals.h"
#include "storage/Settings.h"

using namespace audio;
using namespace tempo_test;

namespace {

constexpr int kRate = 44100;

double Now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

void OnEnd(Handle, Handle, std::uint32_t, void* user) {
    static_cast<std::atomic<double>*>(user)->store(Now());
}

TEST_F(ProcessorTest, EachProcessorPlaysAtItsTempoAndReportsItemTime) {
    ASSERT_TRUE(AudioSetConfig(kConfigBuffer, 100));
    ASSERT_TRUE(WriteFloatWav(File("three.wav"), Sine(1000.0, kRate, 2, 3 * kRate), kRate, 2));
    for (const ProcessorKind& kind : kProcessorKinds) {
        SCOPED_TRACE(kind.name);
        const Handle source = OpenDecode(File("three.wav"));
        ASSERT_NE(source, 0u);
        SelectTempoAlgorithm(kind.type);
        DestroyTempoProcessor();
        TempoProcessor* processor = CurrentTempoProcessor();
        ASSERT_NE(processor, nullptr);
        EXPECT_EQ(processor->typeId(), kind.type);
        processor->setTempo(100.0f);
        const Handle output = processor->create(source, kRate);
        ASSERT_NE(output, 0u);
        EXPECT_TRUE(processor->isActive());

        std::atomic<double> endedAt{0.0};
        ASSERT_NE(ChannelSetSync(output, kSyncEnd, 0, OnEnd, &endedAt), 0u);
        const double start = Now();
        ASSERT_TRUE(ChannelPlay(output, false));
        std::this_thread::sleep_for(std::chrono::milliseconds(600));
        // About 1.2 s of the item after 0.6 s of playing at double speed.
        const double midway = processor->positionSeconds();
        EXPECT_GT(midway, 0.9);
        EXPECT_LT(midway, 2.0);
        while (endedAt.load() == 0.0 && Now() - start < 6.0)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        ASSERT_GT(endedAt.load(), 0.0) << "the output never ended";
        EXPECT_NEAR(endedAt.load() - start, 1.5, 0.5);
        EXPECT_NEAR(processor->positionSeconds(), 3.0, 0.05);
        EXPECT_NEAR(processor->lengthSeconds(), 3.0, 0.001);

        DestroyTempoProcessor();
        EXPECT_EQ(ChannelIsActive(output), kStateStopped);
        EXPECT_EQ(AudioErrorCode(), kErrHandle);
        if (kind.type != kTempoSoundTouch) {
            EXPECT_TRUE(StreamFree(source));
        }
    }
}

TEST_F(ProcessorTest, SelectingAnUnknownAlgorithmGivesSoundTouch) {
    for (int type : {-1, 3, 42}) {
        SelectTempoAlgorithm(type);
        EXPECT_EQ(SelectedTempoAlgorithm(), kTempoSoundTouch);
        DestroyTempoProcessor();
        ASSERT_NE(CurrentTempoProcessor(), nullptr);
        EXPECT_EQ(CurrentTempoProcessor()->typeId(), kTempoSoundTouch);
    }
    SelectTempoAlgorithm(kTempoSignalsmith);
    DestroyTempoProcessor();
    TempoProcessor* first = CurrentTempoProcessor();
    EXPECT_EQ(first->typeId(), kTempoSignalsmith);
    EXPECT_EQ(CurrentTempoProcessor(), first);  // one processor until destroyed
}

// Speedy and Signalsmith cannot take a 4 kHz item; SoundTouch can, and takes
// it from its start.
TEST_F(ProcessorTest, AnItemTheChosenEngineCannotTakeFallsBackToSoundTouch) {
    ASSERT_TRUE(WriteFloatWav(File("low.wav"), Sine(500.0, 4000, 1, 2 * 4000), 4000, 1));
    ASSERT_TRUE(WriteFloatWav(File("normal.wav"), Sine(500.0, kRate, 1, kRate), kRate, 1));
    for (int algorithm : {kTempoSpeedy, kTempoSignalsmith}) {
        SCOPED_TRACE(algorithm);
        const Handle normal = OpenDecode(File("normal.wav"));
        ASSERT_NE(BuildTempoOutput(normal, kRate, algorithm, 0.0f, 0.0f), 0u);
        EXPECT_EQ(CurrentTempoProcessor()->typeId(), algorithm);
        DestroyTempoProcessor();
        StreamFree(normal);

        const Handle low = OpenDecode(File("low.wav"));
        ASSERT_NE(low, 0u);
        const Handle output = BuildTempoOutput(low, 4000, algorithm, 100.0f, 0.0f);
        ASSERT_NE(output, 0u);
        TempoProcessor* processor = CurrentTempoProcessor();
        EXPECT_EQ(processor->typeId(), kTempoSoundTouch);
        EXPECT_EQ(SelectedTempoAlgorithm(), kTempoSoundTouch);
        EXPECT_EQ(processor->getTempo(), 100.0f);
        EXPECT_NEAR(processor->lengthSeconds(), 2.0, 0.001);
        EXPECT_NEAR(processor->positionSeconds(), 0.0, 0.001);

        std::atomic<double> endedAt{0.0};
        ChannelSetSync(output, kSyncEnd, 0, OnEnd, &endedAt);
        const double start = Now();
        ASSERT_TRUE(ChannelPlay(output, false));
        while (endedAt.load() == 0.0 && Now() - start < 5.0)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        EXPECT_NEAR(endedAt.load() - start, 1.0, 0.6);
        DestroyTempoProcessor();  // frees the source with the output
        EXPECT_FALSE(StreamFree(low));
    }
    // A source that cannot be read at all gives nothing, whatever the choice.
    EXPECT_EQ(BuildTempoOutput(0x7fffffff, kRate, kTempoSpeedy, 0.0f, 0.0f), 0u);
}

// Release, seek and pitch changes from this thread while the mixing thread
// runs the stream callback: none of them may hang.
TEST_F(ProcessorTest, ReleasingWhilePlayingNeverHangs) {
    ASSERT_TRUE(WriteFloatWav(File("ten.wav"), Sine(1000.0, kRate, 2, 10 * kRate), kRate, 2));
    // Small, frequent refills keep the mixing thread in the callback often.
    ASSERT_TRUE(AudioSetConfig(kConfigBuffer, 40));
    ASSERT_TRUE(AudioSetConfig(kConfigUpdatePeriod, 5));
    std::mutex m;
    std::condition_variable cv;
    bool done = false;
    std::thread watchdog([&] {
        std::unique_lock<std::mutex> lock(m);
        if (!cv.wait_for(lock, std::chrono::seconds(60), [&] { return done; })) {
            std::fprintf(stderr, "a processor operation hung against the mixing thread\n");
            std::abort();
        }
    });
    for (int type : {kTempoSpeedy, kTempoSignalsmith}) {
        for (int round = 0; round < 100; ++round) {
            const Handle source = OpenDecode(File("ten.wav"));
            SelectTempoAlgorithm(type);
            DestroyTempoProcessor();
            TempoProcessor* processor = CurrentTempoProcessor();
            processor->setTempo(50.0f);
            const Handle output = processor->create(source, kRate);
            ASSERT_NE(output, 0u);
            ASSERT_TRUE(ChannelPlay(output, false));
            std::this_thread::sleep_for(std::chrono::milliseconds(5 + round % 9));
            processor->seek(1.0 + round % 8);
            processor->setPitch(static_cast<float>(round % 9 - 4));
            std::this_thread::sleep_for(std::chrono::milliseconds(round % 5));
            DestroyTempoProcessor();
            StreamFree(source);
        }
    }
    {
        std::lock_guard<std::mutex> lock(m);
        done = true;
    }
    cv.notify_one();
    watchdog.join();
}

// Real speech with pauses at tempo +100 %: every processor halves it; with
// Speedy/NonlinearSpeedup on, pauses lose clearly more than half and speech
// less, the whole still about half.
TEST_F(ProcessorTest, SpeechAtDoubleSpeedAndTheNonlinearSpeedUp) {
    const std::string wav = File("speech.wav");
    const std::string ssml =
        "<speak>The weather today is mild and clear.<break time=\"700ms\"/>"
        "Later this evening, light rain will reach the coast.<break time=\"900ms\"/>"
        "Tomorrow morning brings strong winds from the north,<break time=\"600ms\"/>"
        "so keep a warm coat close at hand.<break time=\"800ms\"/>"
        "That is all for now.</speak>";
    if (!SpeakToWav(ssml, wav)) GTEST_SKIP() << "espeak-ng is not available";
    int rate = 0;
    const std::vector<float> speech = ReadWavMono(wav, &rate);
    ASSERT_GT(speech.size(), static_cast<size_t>(rate) * 5);
    const SpeechTiming in = MeasureSpeech(speech, rate, -1);
    ASSERT_GE(in.pauseCount, 4);
    std::printf("input: %.2f s, %d pauses %.2f s, speech %.2f s\n",
                static_cast<double>(speech.size()) / rate, in.pauseCount, in.pauseSeconds,
                in.speechSeconds);

    struct Run {
        const ProcessorKind& kind;
        bool nonlinear;
        const char* label;
    };
    const Run runs[] = {
        {kProcessorKinds[0], false, "SoundTouch"},
        {kProcessorKinds[1], false, "Speedy, nonlinear off"},
        {kProcessorKinds[1], true, "Speedy, nonlinear on"},
        {kProcessorKinds[2], false, "Signalsmith"},
    };
    for (const Run& run : runs) {
        SCOPED_TRACE(run.label);
        g_settings.speedy.nonlinearSpeedup = run.nonlinear;
        const Handle source = OpenDecode(wav);
        ASSERT_NE(source, 0u);
        auto processor = run.kind.makeDecoding();
        processor->setTempo(100.0f);
        const Handle output = processor->create(source, static_cast<float>(rate));
        ASSERT_NE(output, 0u);
        const std::vector<float> out = Pull(output, 1);
        const double total = static_cast<double>(out.size()) / speech.size();
        const SpeechTiming timing = MeasureSpeech(out, rate, in.pauseCount);
        const double pauses = timing.pauseSeconds / in.pauseSeconds;
        const double voiced = timing.speechSeconds / in.speechSeconds;
        std::printf("%-22s total %.3f, pauses %.3f, speech %.3f of the input\n", run.label, total,
                    pauses, voiced);
        EXPECT_NEAR(total, 0.5, 0.5 * 0.05);
        if (run.nonlinear) {
            EXPECT_LT(pauses, 0.35);
            EXPECT_GT(voiced, 0.52);
        } else if (run.kind.type == kTempoSpeedy) {
            EXPECT_NEAR(pauses, 0.5, 0.08);
            EXPECT_NEAR(voiced, 0.5, 0.08);
        }
        processor.reset();
        if (run.kind.type != kTempoSoundTouch) StreamFree(source);
    }
}

}  // namespace
