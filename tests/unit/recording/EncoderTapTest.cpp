// The tap's lock-free ring, driven by the real mixing thread: frames arrive
// in order across many wrap-arounds of a small ring, and what could not be
// stored is counted, never overwritten.
#include "audio/EncoderTap.h"

#include "../audio/AudioTestSupport.h"

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace {

// A mono stream whose samples count 1, 2, 3, ... (exact in float up to 2^24).
std::uint32_t Counter(audio::Handle, void* buffer, std::uint32_t length, void* user)
{
    auto* next = static_cast<std::atomic<std::uint32_t>*>(user);
    float* out = static_cast<float*>(buffer);
    const std::uint32_t n = length / sizeof(float);
    for (std::uint32_t i = 0; i < n; ++i)
        out[i] = static_cast<float>(next->fetch_add(1) + 1);
    return n * sizeof(float);
}

// Counts the frames of every block, right after the tap.
void CountFrames(audio::Handle, audio::Handle, void*, std::uint32_t length, void* user)
{
    static_cast<std::atomic<std::uint64_t>*>(user)->fetch_add(length / sizeof(float));
}

class EncoderTapTest : public audiotest::EngineTest {};

TEST_F(EncoderTapTest, DeliversFramesInOrderThroughASmallRing)
{
    std::atomic<std::uint32_t> next{0};
    const audio::Handle stream = audio::StreamCreateCustom(44100, 1, audio::kSampleFloat, Counter, &next);
    ASSERT_NE(stream, 0u);
    // A few mixing blocks long, so that it wraps all the time, and the first
    // fill of the playback buffer overflows it.
    audio::EncoderTap* tap = audio::EncoderTapAttach(stream, 3000);
    ASSERT_NE(tap, nullptr);
    std::atomic<std::uint64_t> seen{0};
    ASSERT_NE(audio::ChannelSetDsp(stream, CountFrames, &seen, audio::kEncoderTapPriority - 1), 0u);
    EXPECT_EQ(audio::EncoderTapRate(tap), 44100);
    EXPECT_EQ(audio::EncoderTapChannels(tap), 1);
    ASSERT_TRUE(audio::ChannelPlay(stream, false));

    std::vector<float> got;
    std::vector<float> block(300);
    const double end = audiotest::NowSeconds() + 1.0;
    while (audiotest::NowSeconds() < end) {
        const std::size_t n = audio::EncoderTapRead(tap, block.data(), block.size());
        got.insert(got.end(), block.begin(), block.begin() + static_cast<long>(n));
        std::this_thread::sleep_for(std::chrono::microseconds(300));
    }
    // Freeing the channel ends the tap's feed; the ring keeps the rest.
    audio::StreamFree(stream);
    for (std::size_t n; (n = audio::EncoderTapRead(tap, block.data(), block.size())) > 0;)
        got.insert(got.end(), block.begin(), block.begin() + static_cast<long>(n));

    ASSERT_GT(got.size(), 44100u / 3);
    EXPECT_GT(audio::EncoderTapDroppedFrames(tap), 0u);
    for (std::size_t i = 1; i < got.size(); ++i)
        ASSERT_GT(got[i], got[i - 1]) << "at " << i;
    // Frames are only ever lost as whole dropped runs, and each is counted.
    EXPECT_EQ(got.size() + audio::EncoderTapDroppedFrames(tap), seen.load());
    audio::EncoderTapFree(tap);
}

TEST_F(EncoderTapTest, RefusesAMissingChannel)
{
    EXPECT_EQ(audio::EncoderTapAttach(12345, 1000), nullptr);
    EXPECT_EQ(audio::AudioErrorCode(), audio::kErrHandle);
}

}  // namespace
