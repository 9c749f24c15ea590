// DSP callbacks and effect slots: priority order, in-place processing,
// parameter blocks, removal, and the thread they run on.
#include <pthread.h>

#include <atomic>
#include <mutex>
#include <thread>

#include "AudioTestSupport.h"
#include "audio/EffectParams.h"

using namespace audio;
using namespace audiotest;

namespace {

struct OrderLog {
    std::mutex mutex;
    std::vector<int> order;
};

struct Tagged {
    OrderLog* log;
    int id;
};

void RecordOrder(Handle, Handle, void*, std::uint32_t, void* user)
{
    auto* t = static_cast<Tagged*>(user);
    std::lock_guard<std::mutex> lock(t->log->mutex);
    if (t->log->order.size() < 4)
        t->log->order.push_back(t->id);
}

void Halve(Handle, Handle, void* buffer, std::uint32_t length, void*)
{
    auto* s = static_cast<float*>(buffer);
    for (std::uint32_t i = 0; i < length / 4; ++i)
        s[i] *= 0.5f;
}

// Stands in for an effect algorithm: scales by the block's volume field.
class ScaleEffect : public EffectProcessor {
public:
    void SetParameters(const void* p) override { gain = static_cast<const VolumeParams*>(p)->volume; }
    void Process(float* samples, int frames, int channels, int) override
    {
        for (int i = 0; i < frames * channels; ++i)
            samples[i] *= gain;
    }
    float gain = 1.0f;
};

class ChainTest : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        wav = dir.File("tone.wav");
        ASSERT_TRUE(MakeSineFile(wav, 1.0, 440, "-c:a pcm_s16le"));
    }
    double DecodedRms(const std::function<void(Handle)>& setup)
    {
        const Handle h = StreamCreateFile(wav, kStreamDecode);
        setup(h);
        const double rms = Rms(DecodeAll(h));
        StreamFree(h);
        return rms;
    }
    std::string wav;
};

TEST_F(ChainTest, DspRunsByPriorityVolumeStageLast)
{
    const Handle h = StreamCreateFile(wav, kStreamDecode);
    OrderLog log;
    Tagged volume{&log, 0}, low{&log, 1}, lowNewer{&log, 2}, high{&log, 3};
    ASSERT_NE(ChannelSetDsp(h, RecordOrder, &volume, kVolumeStagePriority), 0u);
    ASSERT_NE(ChannelSetDsp(h, RecordOrder, &low, 5), 0u);
    ASSERT_NE(ChannelSetDsp(h, RecordOrder, &high, 100), 0u);
    ASSERT_NE(ChannelSetDsp(h, RecordOrder, &lowNewer, 5), 0u);
    float buf[512];
    ASSERT_GT(ChannelGetData(h, buf, sizeof buf), 0);
    EXPECT_EQ(log.order, (std::vector<int>{3, 1, 2, 0}));
}

TEST_F(ChainTest, DspAndEffectsChangeTheSamplesUntilRemoved)
{
    const double plain = DecodedRms([](Handle) {});
    ASSERT_GT(plain, 0.05);
    EXPECT_NEAR(DecodedRms([](Handle h) { ChannelSetDsp(h, Halve, nullptr, 0); }), plain * 0.5, plain * 0.01);
    EXPECT_NEAR(DecodedRms([](Handle h) {
                    const Handle d = ChannelSetDsp(h, Halve, nullptr, 0);
                    ChannelRemoveDsp(h, d);
                }),
                plain, plain * 0.01);

    // Without an algorithm registered an effect slot passes audio through;
    // with one, its parameter block reaches the algorithm.
    auto quarter = [](Handle h) {
        const Handle fx = ChannelSetFx(h, kFxVolume, 0);
        VolumeParams p;
        p.volume = 0.25f;
        FxSetParameters(fx, &p);
    };
    EXPECT_NEAR(DecodedRms(quarter), plain, plain * 0.01);
    RegisterEffectFactory(kFxVolume, [](int) -> std::unique_ptr<EffectProcessor> { return std::make_unique<ScaleEffect>(); });
    EXPECT_NEAR(DecodedRms(quarter), plain * 0.25, plain * 0.01);
    RegisterEffectFactory(kFxVolume, nullptr);
}

TEST_F(ChainTest, EffectSlotsKeepTheirParameterBlocks)
{
    const Handle h = StreamCreateFile(wav, 0);
    const Handle eq = ChannelSetFx(h, kFxPeakEq, 0);
    ASSERT_NE(eq, 0u);
    PeakEqParams p;
    ASSERT_TRUE(FxGetParameters(eq, &p));
    EXPECT_EQ(p.channel, -1);
    p.center = 12000.0f;
    p.gain = -6.0f;
    ASSERT_TRUE(FxSetParameters(eq, &p));
    PeakEqParams back;
    ASSERT_TRUE(FxGetParameters(eq, &back));
    EXPECT_EQ(back.center, 12000.0f);
    EXPECT_EQ(back.gain, -6.0f);

    for (int type : {kFxFreeverb, kFxDx8Reverb, kFxI3dl2Reverb, kFxVolume, kFxCompressor2, kFxEcho4})
        EXPECT_NE(ChannelSetFx(h, type, 0), 0u) << type;
    EXPECT_EQ(ChannelSetFx(h, 0x12345, 0), 0u);
    EXPECT_EQ(AudioErrorCode(), kErrIllegalType);

    ASSERT_TRUE(ChannelRemoveFx(h, eq));
    EXPECT_FALSE(FxSetParameters(eq, &p));
    EXPECT_EQ(AudioErrorCode(), kErrHandle);
    EXPECT_FALSE(ChannelRemoveDsp(h, eq));  // an effect is not a DSP and is gone anyway
}

struct ThreadProbe {
    std::atomic<int> calls{0};
    std::atomic<bool> onCaller{false};
    pthread_t caller = pthread_self();
};

void Probe(Handle, Handle, void*, std::uint32_t, void* user)
{
    auto* p = static_cast<ThreadProbe*>(user);
    if (pthread_equal(pthread_self(), p->caller))
        p->onCaller = true;
    ++p->calls;
}

TEST_F(ChainTest, PlayingDspRunsOnMixingThreadAndStopsOnRemoval)
{
    const Handle h = StreamCreateFile(wav, 0);
    ThreadProbe probe;
    const Handle d = ChannelSetDsp(h, Probe, &probe, 0);
    ASSERT_TRUE(ChannelPlay(h, false));
    ASSERT_TRUE(WaitFor([&] { return probe.calls > 0; }, 2.0));
    ASSERT_TRUE(ChannelRemoveDsp(h, d));
    const int after = probe.calls;
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(probe.calls, after);
    EXPECT_FALSE(probe.onCaller);
}

void Stall(Handle, Handle, void*, std::uint32_t, void* user)
{
    auto* once = static_cast<std::atomic<bool>*>(user);
    if (!once->exchange(true))
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
}

// The underrun count is what the CPU-hog test relies on: it must see a
// mixing thread that is held up.
TEST_F(ChainTest, BlockedMixingThreadCountsUnderruns)
{
    const Handle h = StreamCreateFile(wav, 0);
    std::atomic<bool> once{false};
    ChannelSetDsp(h, Stall, &once, 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const std::uint64_t before = AudioUnderrunCount();
    ChannelPlay(h, false);
    std::this_thread::sleep_for(std::chrono::milliseconds(700));
    EXPECT_GT(AudioUnderrunCount(), before);
}

}  // namespace
