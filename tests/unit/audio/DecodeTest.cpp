// File decode streams: every format family decodes to the right length and a
// recognisable 440 Hz sine; broken input fails with the right code.
#include <cmath>

#include "AudioTestSupport.h"
#include "audio/AudioEngine.h"

using namespace audio;
using namespace audiotest;

namespace {

struct FormatCase {
    const char* file;
    const char* encoderArgs;
    double lengthTolerance;   // seconds; lossy codecs pad their last frame
};

void PrintTo(const FormatCase& c, std::ostream* os) { *os << c.file; }

class DecodeFormats : public EngineTest, public ::testing::WithParamInterface<FormatCase> {};

TEST_P(DecodeFormats, DecodesToLengthAndSine)
{
    const FormatCase& c = GetParam();
    const std::string path = dir.File(c.file);
    ASSERT_TRUE(MakeSineFile(path, 2.0, 440, c.encoderArgs)) << "ffmpeg could not make " << c.file;

    const Handle h = StreamCreateFile(path, kStreamDecode | kSampleFloat);
    ASSERT_NE(h, 0u) << "error " << AudioErrorCode();
    ChannelInfo info;
    ASSERT_TRUE(ChannelGetInfo(h, &info));
    EXPECT_TRUE(info.isFloat);
    const std::vector<float> pcm = DecodeAll(h);
    ASSERT_GT(info.channels, 0);
    const double seconds = static_cast<double>(pcm.size()) / info.channels / info.freq;
    EXPECT_NEAR(seconds, 2.0, c.lengthTolerance);
    const std::int64_t length = ChannelGetLength(h);
    EXPECT_NEAR(ChannelBytes2Seconds(h, length), 2.0, c.lengthTolerance + 0.05);
    EXPECT_NEAR(ZeroCrossingFrequency(pcm, info.channels, info.freq), 440.0, 440.0 * 0.01);
    EXPECT_EQ(ChannelGetData(h, const_cast<float*>(pcm.data()), 4096), -1);
    EXPECT_EQ(AudioErrorCode(), kErrEnded);
    EXPECT_TRUE(StreamFree(h));
}

INSTANTIATE_TEST_SUITE_P(
    Formats, DecodeFormats,
    ::testing::Values(FormatCase{"a.wav", "-c:a pcm_s16le", 0.001}, FormatCase{"a.aiff", "", 0.001},
                      FormatCase{"a.mp3", "-c:a libmp3lame -b:a 128k", 0.06},
                      FormatCase{"a.mp2", "-c:a mp2 -b:a 192k", 0.06},
                      FormatCase{"a.ogg", "-c:a libvorbis", 0.03}, FormatCase{"a.opus", "-c:a libopus", 0.03},
                      FormatCase{"a.flac", "-c:a flac", 0.001}, FormatCase{"a.m4a", "-c:a aac", 0.06},
                      FormatCase{"alac.m4a", "-c:a alac", 0.001}, FormatCase{"a.wma", "-c:a wmav2", 0.1},
                      FormatCase{"a.wv", "-c:a wavpack", 0.001},
                      FormatCase{"a.mp4", "-c:a aac", 0.06},
                      FormatCase{"a.mkv", "-c:a flac", 0.001}, FormatCase{"a.webm", "-c:a libopus", 0.03}),
    [](const auto& info) {
        std::string name = info.param.file;
        for (char& ch : name)
            if (!std::isalnum(static_cast<unsigned char>(ch)))
                ch = '_';
        return name;
    });

// A video file's sound: the audio track is found and the picture ignored.
TEST_F(EngineTest, VideoContainersGiveTheirAudioTrack)
{
    for (const char* name : {"clip.mp4", "clip.mkv"}) {
        const std::string path = dir.File(name);
        ASSERT_TRUE(RunShell("ffmpeg -nostdin -y -f lavfi -i color=c=blue:s=64x48:r=10:d=2 "
                             "-f lavfi -i sine=frequency=440:duration=2 -c:v mpeg4 -c:a aac -shortest '" + path + "'"));
        const Handle h = StreamCreateFile(path, kStreamDecode);
        ASSERT_NE(h, 0u) << name << " " << AudioErrorCode();
        ChannelInfo info;
        ChannelGetInfo(h, &info);
        const std::vector<float> pcm = DecodeAll(h);
        EXPECT_NEAR(pcm.size() / static_cast<double>(info.channels) / info.freq, 2.0, 0.1) << name;
        EXPECT_NEAR(PeakFrequency(pcm, info.channels, info.freq, 200, 1000), 440.0, 2.0) << name;
    }
}

TEST_F(EngineTest, BrokenFilesFailWithTheirCode)
{
    const std::string wav = dir.File("good.wav");
    ASSERT_TRUE(MakeSineFile(wav, 1.0, 440, "-c:a pcm_s16le"));
    ASSERT_TRUE(WriteFile(dir.File("empty.mp3"), ""));
    ASSERT_TRUE(WriteFile(dir.File("text.mp3"), std::string(4000, 'x') + "just some notes, not sound\n"));
    ASSERT_TRUE(RunShell("head -c 30 '" + wav + "' > '" + dir.File("cut.wav") + "'"));
    ASSERT_TRUE(RunShell("head -c 3000 /dev/urandom > '" + dir.File("noise.flac") + "'"));

    const struct {
        std::string path;
        int code;
    } cases[] = {
        {dir.File("missing.mp3"), kErrFileOpen}, {dir.path, kErrFileOpen},
        {dir.File("empty.mp3"), kErrFileForm},   {dir.File("text.mp3"), kErrFileForm},
        {dir.File("cut.wav"), kErrFileForm},     {dir.File("noise.flac"), kErrFileForm},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(StreamCreateFile(c.path, kStreamDecode), 0u) << c.path;
        EXPECT_EQ(AudioErrorCode(), c.code) << c.path;
    }
}

TEST_F(EngineTest, TruncatedFilePlaysWhatIsThere)
{
    const std::string mp3 = dir.File("full.mp3");
    ASSERT_TRUE(MakeSineFile(mp3, 4.0, 440, "-c:a libmp3lame -b:a 128k"));
    ASSERT_TRUE(RunShell("head -c 32000 '" + mp3 + "' > '" + dir.File("half.mp3") + "'"));  // about 2 s
    const Handle h = StreamCreateFile(dir.File("half.mp3"), kStreamDecode);
    ASSERT_NE(h, 0u) << AudioErrorCode();
    const std::vector<float> pcm = DecodeAll(h);
    const double seconds = pcm.size() / 2.0 / 44100.0;
    EXPECT_GT(seconds, 1.5);
    EXPECT_LT(seconds, 2.5);
}

TEST_F(EngineTest, FreedOrUnknownHandlesReportErrorFive)
{
    const std::string wav = dir.File("a.wav");
    ASSERT_TRUE(MakeSineFile(wav, 0.5, 440, "-c:a pcm_s16le"));
    const Handle h = StreamCreateFile(wav, 0);
    ASSERT_NE(h, 0u);
    ASSERT_TRUE(StreamFree(h));
    EXPECT_EQ(ChannelIsActive(h), kStateStopped);
    EXPECT_EQ(AudioErrorCode(), kErrHandle);
    float v = 0;
    EXPECT_FALSE(ChannelPlay(h, false));
    EXPECT_EQ(AudioErrorCode(), kErrHandle);
    EXPECT_EQ(ChannelGetPosition(h), -1);
    EXPECT_FALSE(ChannelGetAttribute(h, kAttribVolume, &v));
    EXPECT_FALSE(StreamFree(h));
    EXPECT_EQ(ChannelSetSync(12345, kSyncEnd, 0, [](Handle, Handle, std::uint32_t, void*) {}, nullptr), 0u);
    EXPECT_EQ(AudioErrorCode(), kErrHandle);
}

// Seeks land on the exact sample, also where the demuxer lands early.
TEST_F(EngineTest, SeekIsSampleExact)
{
    // Every sample carries its own frame number (mod 20000), exactly
    // representable in 16 bits, so the lossless formats give it back as is.
    std::vector<float> samples(44100 * 3);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<float>(static_cast<int>(i % 20000) - 10000) / 32768.0f;
    const std::string wav = dir.File("ramp.wav");
    ASSERT_TRUE(WriteFloatWav(wav, samples, 44100, 1));
    ASSERT_TRUE(RunShell("ffmpeg -nostdin -y -i '" + wav + "' -c:a flac '" + dir.File("ramp.flac") + "'"));
    ASSERT_TRUE(RunShell("ffmpeg -nostdin -y -i '" + wav + "' -c:a wavpack '" + dir.File("ramp.wv") + "'"));

    for (const char* name : {"ramp.wav", "ramp.flac", "ramp.wv"}) {
        const Handle h = StreamCreateFile(dir.File(name), kStreamDecode);
        ASSERT_NE(h, 0u) << name;
        for (std::int64_t frame : {77777, 100, 130000, 5}) {
            ASSERT_TRUE(ChannelSetPosition(h, frame * 4, kPosFlush)) << name;
            EXPECT_EQ(ChannelGetPosition(h), frame * 4) << name;
            float first[4];
            ASSERT_EQ(ChannelGetData(h, first, sizeof first), static_cast<int>(sizeof first));
            const int value = static_cast<int>(std::lround(first[0] * 32768.0f)) + 10000;
            EXPECT_EQ(value, frame % 20000) << name << " at " << frame;
            EXPECT_EQ(ChannelGetPosition(h), (frame + 4) * 4) << name;
        }
        // Past the end is refused and leaves the stream where it was.
        EXPECT_FALSE(ChannelSetPosition(h, 44100 * 4 * 10, 0));
        EXPECT_EQ(AudioErrorCode(), kErrPosition);
        StreamFree(h);
    }
}

TEST_F(EngineTest, SecondsAndBytesConvertByChannelFormat)
{
    const std::string wav = dir.File("mono48.wav");
    ASSERT_TRUE(MakeSineFile(wav, 0.5, 440, "-c:a pcm_s16le", 48000, 1));
    const Handle h = StreamCreateFile(wav, kStreamDecode);
    ASSERT_NE(h, 0u);
    EXPECT_EQ(ChannelSeconds2Bytes(h, 1.5), 48000 * 3 / 2 * 4);
    EXPECT_DOUBLE_EQ(ChannelBytes2Seconds(h, 48000 * 4), 1.0);
    EXPECT_EQ(ChannelGetLength(h), 24000 * 4);
}

TEST(AudioPluginReport, ListsDecodersInLoadedFailedForm)
{
    std::vector<std::string> loaded, failed;
    DecoderFamilies(&loaded, &failed);
    for (const char* must : {"MP3", "FLAC", "OGG Vorbis", "Opus", "AAC", "MIDI (FluidSynth)"})
        EXPECT_NE(std::find(loaded.begin(), loaded.end(), must), loaded.end()) << must;
    EXPECT_EQ(FormatPluginReport({"MP3", "FLAC"}, {}), "Loaded: MP3, FLAC\nFailed: (none)");
    EXPECT_EQ(FormatPluginReport({}, {"DSD"}), "Loaded: (none)\nFailed: DSD");
}

}  // namespace
