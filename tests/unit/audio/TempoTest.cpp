// The tempo stream: tempo, pitch and rate on a decode source, positions in
// the source's own time, and freeing the source with it.
#include <thread>

#include "AudioTestSupport.h"

using namespace audio;
using namespace audiotest;

namespace {

class TempoTest : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        path = dir.File("four.flac");
        ASSERT_TRUE(MakeSineFile(path, 4.0, 440, "-c:a flac"));
    }
    Handle Create(std::uint32_t flags)
    {
        source = StreamCreateFile(path, kStreamDecode | kSampleFloat);
        return TempoStreamCreate(source, flags | kFxFreeSource | kSampleFloat);
    }
    std::string path;
    Handle source = 0;
};

TEST_F(TempoTest, TempoPitchAndRateChangeWhatTheyShould)
{
    const struct {
        int attrib;
        float value;
        double seconds;
        double hz;
    } cases[] = {
        {kAttribTempo, 100.0f, 2.0, 440.0},      // twice as fast, same pitch
        {kAttribTempo, -50.0f, 8.0, 440.0},
        {kAttribTempoPitch, 12.0f, 4.0, 880.0},  // an octave up, same length
        {kAttribTempoFreq, 88200.0f, 2.0, 880.0} // tape-style: both
    };
    for (const auto& c : cases) {
        const Handle t = Create(kStreamDecode);
        ASSERT_NE(t, 0u) << AudioErrorCode();
        ASSERT_TRUE(ChannelSetAttribute(t, c.attrib, c.value));
        float back = 0;
        ASSERT_TRUE(ChannelGetAttribute(t, c.attrib, &back));
        EXPECT_EQ(back, c.value);
        const std::vector<float> pcm = DecodeAll(t);
        EXPECT_NEAR(pcm.size() / 2.0 / 44100.0, c.seconds, c.seconds * 0.03) << c.attrib << "=" << c.value;
        const std::vector<float> middle(pcm.begin() + pcm.size() / 4, pcm.begin() + pcm.size() / 2);
        EXPECT_NEAR(PeakFrequency(middle, 2, 44100, 200, 1500), c.hz, 4.0) << c.attrib << "=" << c.value;
        // Length stays in the source's time whatever the tempo.
        EXPECT_NEAR(ChannelBytes2Seconds(t, ChannelGetLength(t)), 4.0, 0.001);
        ASSERT_TRUE(StreamFree(t));
        EXPECT_EQ(ChannelIsActive(source), kStateStopped);
        EXPECT_EQ(AudioErrorCode(), kErrHandle);  // freed with the tempo stream
    }
}

TEST_F(TempoTest, PositionAndSeekAreInSourceTime)
{
    const Handle t = Create(kStreamDecode);
    ASSERT_TRUE(ChannelSetAttribute(t, kAttribTempo, 100.0f));
    std::vector<float> second(44100 * 2);
    ASSERT_EQ(ChannelGetData(t, second.data(), static_cast<std::uint32_t>(second.size() * 4)),
              static_cast<int>(second.size() * 4));
    EXPECT_NEAR(ChannelBytes2Seconds(t, ChannelGetPosition(t)), 2.0, 0.1);

    ASSERT_TRUE(ChannelSetPosition(t, ChannelSeconds2Bytes(t, 3.0), kPosFlush));
    EXPECT_NEAR(ChannelBytes2Seconds(t, ChannelGetPosition(t)), 3.0, 0.01);
    const std::vector<float> rest = DecodeAll(t);
    EXPECT_NEAR(rest.size() / 2.0 / 44100.0, 0.5, 0.05);
}

TEST_F(TempoTest, PlayingAtDoubleTempoEndsInHalfTheTime)
{
    const Handle t = Create(0);
    ASSERT_NE(t, 0u);
    ASSERT_TRUE(ChannelSetAttribute(t, kAttribTempo, 100.0f));
    std::atomic<int> ends{0};
    ChannelSetSync(t, kSyncEnd, 0, [](Handle, Handle, std::uint32_t, void* u) { ++*static_cast<std::atomic<int>*>(u); }, &ends);
    const double start = NowSeconds();
    ASSERT_TRUE(ChannelPlay(t, false));
    std::this_thread::sleep_for(std::chrono::milliseconds(1000));
    EXPECT_NEAR(ChannelBytes2Seconds(t, ChannelGetPosition(t)), 2.0, 0.3);
    ASSERT_TRUE(WaitFor([&] { return ends > 0; }, 5.0));
    EXPECT_NEAR(NowSeconds() - start, 2.0, 0.35);
}

TEST_F(TempoTest, OptionsAndRefusals)
{
    const Handle t = Create(kStreamDecode);
    for (int attrib : {kAttribTempoUseAaFilter, kAttribTempoAaFilterLength, kAttribTempoUseQuickAlgo,
                       kAttribTempoSequenceMs, kAttribTempoSeekWindowMs, kAttribTempoOverlapMs,
                       kAttribTempoPreventClick}) {
        const float value = attrib == kAttribTempoAaFilterLength ? 64.0f : (attrib >= kAttribTempoSequenceMs && attrib <= kAttribTempoOverlapMs ? 40.0f : 1.0f);
        EXPECT_TRUE(ChannelSetAttribute(t, attrib, value)) << attrib;
        float back = -1;
        EXPECT_TRUE(ChannelGetAttribute(t, attrib, &back));
        EXPECT_EQ(back, value) << attrib;
    }
    // Only decode channels can feed a tempo stream.
    const Handle playing = StreamCreateFile(path, 0);
    EXPECT_EQ(TempoStreamCreate(playing, kFxFreeSource), 0u);
    EXPECT_EQ(AudioErrorCode(), kErrNotDecode);
    EXPECT_EQ(TempoStreamCreate(0xDEAD, 0), 0u);
    EXPECT_EQ(AudioErrorCode(), kErrHandle);
}

}  // namespace
