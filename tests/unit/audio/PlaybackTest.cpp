// Playing channels on the "No sound" device: real-time pace, the end sync,
// pause, resume, seeking with flush, stop, playback rate and stalls.
#include <pthread.h>

#include <atomic>
#include <cstring>
#include <thread>

#include "AudioTestSupport.h"

using namespace audio;
using namespace audiotest;

namespace {

struct SyncLog {
    std::atomic<int> count{0};
    std::atomic<bool> onCallerThread{false};
    pthread_t caller = pthread_self();
};

void CountSync(Handle, Handle, std::uint32_t, void* user)
{
    auto* log = static_cast<SyncLog*>(user);
    if (pthread_equal(pthread_self(), log->caller))
        log->onCallerThread = true;
    ++log->count;
}

double PositionSeconds(Handle h) { return ChannelBytes2Seconds(h, ChannelGetPosition(h)); }

TEST_F(EngineTest, TenSecondFilePlaysInRealTimeAndEndsOnce)
{
    const std::string path = dir.File("ten.ogg");
    ASSERT_TRUE(MakeSineFile(path, 10.0, 440, "-c:a libvorbis"));
    const Handle h = StreamCreateFile(path, 0);
    ASSERT_NE(h, 0u);
    SyncLog log;
    ASSERT_NE(ChannelSetSync(h, kSyncEnd, 0, CountSync, &log), 0u);

    const double start = NowSeconds();
    ASSERT_TRUE(ChannelPlay(h, false));
    EXPECT_EQ(ChannelIsActive(h), kStatePlaying);
    std::this_thread::sleep_for(std::chrono::seconds(3));
    EXPECT_NEAR(PositionSeconds(h), 3.0, 0.3);  // what is heard, not what is decoded
    ASSERT_TRUE(WaitFor([&] { return log.count > 0; }, 12.0));
    const double took = NowSeconds() - start;
    EXPECT_GT(took, 9.7);
    EXPECT_LT(took, 10.8);
    EXPECT_EQ(ChannelIsActive(h), kStateStopped);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(log.count, 1);
    EXPECT_FALSE(log.onCallerThread);
}

TEST_F(EngineTest, PauseResumeSeekAndStop)
{
    const std::string path = dir.File("five.flac");
    ASSERT_TRUE(MakeSineFile(path, 5.0, 440, "-c:a flac"));
    const Handle h = StreamCreateFile(path, 0);
    ASSERT_NE(h, 0u);
    EXPECT_EQ(ChannelIsActive(h), kStateStopped);
    EXPECT_FALSE(ChannelPause(h));  // nothing to pause yet
    ASSERT_TRUE(ChannelPlay(h, false));
    std::this_thread::sleep_for(std::chrono::milliseconds(1000));

    ASSERT_TRUE(ChannelPause(h));
    EXPECT_EQ(ChannelIsActive(h), kStatePaused);
    const double paused = PositionSeconds(h);
    EXPECT_NEAR(paused, 1.0, 0.25);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    EXPECT_NEAR(PositionSeconds(h), paused, 0.1);  // time stands still while paused

    ASSERT_TRUE(ChannelPlay(h, false));  // resumes, does not restart
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    EXPECT_NEAR(PositionSeconds(h), paused + 0.5, 0.25);

    // A seek with flush is heard at once: the buffer ahead is dropped.
    ASSERT_TRUE(ChannelSetPosition(h, ChannelSeconds2Bytes(h, 4.0), kPosFlush));
    EXPECT_NEAR(PositionSeconds(h), 4.0, 0.1);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_NEAR(PositionSeconds(h), 4.3, 0.2);

    ASSERT_TRUE(ChannelStop(h));
    EXPECT_EQ(ChannelIsActive(h), kStateStopped);
    const double stopped = PositionSeconds(h);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_NEAR(PositionSeconds(h), stopped, 0.05);

    ASSERT_TRUE(ChannelPlay(h, true));  // restart from the top
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_NEAR(PositionSeconds(h), 0.3, 0.2);
}

TEST_F(EngineTest, RateAttributeChangesPlaybackSpeed)
{
    const std::string path = dir.File("four.wav");
    ASSERT_TRUE(MakeSineFile(path, 4.0, 440, "-c:a pcm_s16le"));
    const Handle h = StreamCreateFile(path, 0);
    ASSERT_NE(h, 0u);
    ASSERT_TRUE(ChannelSetAttribute(h, kAttribFreq, 88200.0f));
    float freq = 0;
    ASSERT_TRUE(ChannelGetAttribute(h, kAttribFreq, &freq));
    EXPECT_EQ(freq, 88200.0f);
    SyncLog log;
    ChannelSetSync(h, kSyncEnd, 0, CountSync, &log);
    const double start = NowSeconds();
    ASSERT_TRUE(ChannelPlay(h, false));
    ASSERT_TRUE(WaitFor([&] { return log.count > 0; }, 6.0));
    EXPECT_NEAR(NowSeconds() - start, 2.0, 0.3);
}

// A custom stream that stops delivering is stalled, then plays on.
struct Feed {
    std::atomic<bool> dry{false};
    std::atomic<int> calls{0};
};

std::uint32_t FeedProc(Handle, void* buffer, std::uint32_t length, void* user)
{
    auto* feed = static_cast<Feed*>(user);
    ++feed->calls;
    if (feed->dry)
        return 0;
    std::memset(buffer, 0, length);
    return length;
}

TEST_F(EngineTest, CustomStreamStallsAndRecovers)
{
    Feed feed;
    const Handle h = StreamCreateCustom(44100, 2, 0, FeedProc, &feed);
    ASSERT_NE(h, 0u);
    ASSERT_TRUE(ChannelPlay(h, false));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_EQ(ChannelIsActive(h), kStatePlaying);
    feed.dry = true;
    EXPECT_TRUE(WaitFor([&] { return ChannelIsActive(h) == kStateStalled; }, 3.0));
    feed.dry = false;
    EXPECT_TRUE(WaitFor([&] { return ChannelIsActive(h) == kStatePlaying; }, 3.0));
}

std::uint32_t EndAfterOneSecond(Handle, void* buffer, std::uint32_t length, void* user)
{
    auto* sent = static_cast<std::uint32_t*>(user);
    const std::uint32_t total = 44100 * 2 * 4;
    const std::uint32_t n = std::min(length, total - *sent);
    std::memset(buffer, 0, n);
    *sent += n;
    return *sent >= total ? n | kStreamProcEnd : n;
}

TEST_F(EngineTest, CustomStreamEndFlagEndsThePlayback)
{
    std::uint32_t sent = 0;
    const Handle h = StreamCreateCustom(44100, 2, 0, EndAfterOneSecond, &sent);
    ASSERT_NE(h, 0u);
    SyncLog log;
    ChannelSetSync(h, kSyncEnd, 0, CountSync, &log);
    const double start = NowSeconds();
    ASSERT_TRUE(ChannelPlay(h, false));
    ASSERT_TRUE(WaitFor([&] { return log.count > 0; }, 3.0));
    EXPECT_NEAR(NowSeconds() - start, 1.0, 0.25);
    EXPECT_EQ(ChannelIsActive(h), kStateStopped);
}

TEST_F(EngineTest, OneTimeSyncFiresOnceAndRemovedSyncNever)
{
    std::uint32_t sentA = 0, sentB = 0;
    const Handle a = StreamCreateCustom(44100, 2, 0, EndAfterOneSecond, &sentA);
    SyncLog once, removed;
    ChannelSetSync(a, kSyncEnd | kSyncOneTime, 0, CountSync, &once);
    const Handle s = ChannelSetSync(a, kSyncEnd, 0, CountSync, &removed);
    ASSERT_TRUE(ChannelRemoveSync(a, s));
    EXPECT_FALSE(ChannelRemoveSync(a, s));
    ASSERT_TRUE(ChannelPlay(a, false));
    ASSERT_TRUE(WaitFor([&] { return once.count > 0; }, 3.0));
    (void)sentB;
    // Play it again: a one-time sync stays gone.
    const std::string wav = dir.File("short.wav");
    ASSERT_TRUE(MakeSineFile(wav, 0.3, 440, "-c:a pcm_s16le"));
    const Handle b = StreamCreateFile(wav, 0);
    SyncLog every;
    ChannelSetSync(b, kSyncEnd, 0, CountSync, &every);
    ChannelSetSync(b, kSyncEnd | kSyncOneTime, 0, CountSync, &once);
    ASSERT_TRUE(ChannelPlay(b, false));
    ASSERT_TRUE(WaitFor([&] { return every.count == 1; }, 3.0));
    ASSERT_TRUE(ChannelPlay(b, false));  // ended: plays again from the top
    ASSERT_TRUE(WaitFor([&] { return every.count == 2; }, 3.0));
    EXPECT_EQ(once.count, 2);            // once per registration
    EXPECT_EQ(removed.count, 0);
}

// Busy threads on every core; the engine must still feed the device in time.
TEST_F(EngineTest, NoUnderrunUnderCpuHog)
{
    const std::string path = dir.File("hog.mp3");
    ASSERT_TRUE(MakeSineFile(path, 6.0, 440, "-c:a libmp3lame -b:a 192k"));
    std::atomic<bool> stop{false};
    std::vector<std::thread> hogs;
    const unsigned cores = std::max(2u, std::thread::hardware_concurrency());
    for (unsigned i = 0; i < cores; ++i) {
        hogs.emplace_back([&stop] {
            volatile double x = 1.0;
            while (!stop)
                x = x * 1.0000001 + 1e-9;
        });
    }
    const Handle h = StreamCreateFile(path, 0);
    ASSERT_NE(h, 0u);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const std::uint64_t before = AudioUnderrunCount();
    ASSERT_TRUE(ChannelPlay(h, false));
    WaitFor([&] { return ChannelIsActive(h) == kStateStopped; }, 10.0);
    const std::uint64_t underruns = AudioUnderrunCount() - before;
    stop = true;
    for (auto& t : hogs)
        t.join();
    EXPECT_EQ(ChannelIsActive(h), kStateStopped);
    EXPECT_EQ(underruns, 0u);
}

TEST(AudioDevices, NoSoundIsDeviceZeroAndDefaultAlwaysStarts)
{
    DeviceInfo info;
    ASSERT_TRUE(AudioGetDeviceInfo(0, &info));
    EXPECT_EQ(info.name, "No sound");
    EXPECT_TRUE(info.flags & kDeviceEnabled);
    int last = 0;
    while (AudioGetDeviceInfo(last + 1, &info))
        ++last;
    EXPECT_FALSE(AudioGetDeviceInfo(last + 1, &info));
    EXPECT_EQ(AudioErrorCode(), kErrDevice);

    // Headless machines have no real device: the default falls back to "No sound".
    ASSERT_TRUE(AudioInit(kDeviceDefault, 44100));
    EXPECT_FALSE(AudioInit(kDeviceDefault, 44100));
    EXPECT_EQ(AudioErrorCode(), kErrAlready);
    if (last == 0)
        EXPECT_EQ(AudioCurrentDevice(), 0);
    ASSERT_TRUE(AudioFree());
    EXPECT_FALSE(AudioFree());
    EXPECT_EQ(AudioErrorCode(), kErrInit);
    // Re-init on another device.
    ASSERT_TRUE(AudioInit(kDeviceNoSound, 48000));
    EXPECT_EQ(AudioCurrentDevice(), 0);
    EXPECT_FALSE(AudioInit(last + 5, 44100));
    ASSERT_TRUE(AudioFree());
    EXPECT_FALSE(AudioInit(last + 5, 44100));
    EXPECT_EQ(AudioErrorCode(), kErrDevice);
}

}  // namespace
