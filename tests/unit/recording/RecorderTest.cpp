// The recorder on the real engine ("No sound" device): a 440 Hz tone plays,
// the recorder taps it, and the file is decoded again by the engine.
#include "recording/Recorder.h"
#include "recording/RecordingName.h"

#include "../audio/AudioTestSupport.h"
#include "audio/EncoderTap.h"
#include "i18n/Translations.h"
#include "platform/Paths.h"
#include "playback/PlaybackSession.h"
#include "storage/Settings.h"

#include <algorithm>
#include <cmath>
#include <dirent.h>
#include <thread>

using audiotest::WaitFor;

namespace {

std::vector<std::string> g_spoken;
std::vector<std::string> g_boxes;
void Speak(const std::string& text) { g_spoken.push_back(text); }
void Box(const std::string& text, bool isError) { g_boxes.push_back((isError ? "error: " : "warning: ") + text); }

std::vector<std::string> FilesIn(const std::string& folder)
{
    std::vector<std::string> names;
    if (DIR* d = opendir(folder.c_str())) {
        while (dirent* e = readdir(d)) {
            const std::string n = e->d_name;
            if (n != "." && n != "..")
                names.push_back(n);
        }
        closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

struct Decoded {
    double seconds = 0;
    double peakHz = 0;
    double rms = 0;
};

Decoded DecodeRecording(const std::string& path)
{
    Decoded d;
    const audio::Handle h = audio::StreamCreateFile(path, audio::kStreamDecode | audio::kSampleFloat);
    if (!h)
        return d;
    audio::ChannelInfo info;
    audio::ChannelGetInfo(h, &info);
    const std::vector<float> s = audiotest::DecodeAll(h);
    audio::StreamFree(h);
    d.seconds = static_cast<double>(s.size()) / info.channels / info.freq;
    d.peakHz = audiotest::PeakFrequency(s, info.channels, info.freq, 300, 600);
    d.rms = audiotest::Rms(s);
    return d;
}

void Halve(audio::Handle, audio::Handle, void* buffer, std::uint32_t length, void*)
{
    float* s = static_cast<float*>(buffer);
    for (std::uint32_t i = 0; i < length / sizeof(float); ++i)
        s[i] *= 0.5f;
}

void Silence(audio::Handle, audio::Handle, void* buffer, std::uint32_t length, void*)
{
    std::fill_n(static_cast<float*>(buffer), length / sizeof(float), 0.0f);
}

class RecorderTest : public audiotest::EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        BuildTranslationTables();
        SetLanguage("en");
        g_settings = Settings{};
        g_settings.recording.path = dir.File("rec");
        g_spoken.clear();
        g_boxes.clear();
        RecorderUi ui;
        ui.announce = Speak;
        ui.showMessage = Box;
        SetRecorderUi(ui);
        std::vector<float> tone(static_cast<std::size_t>(8 * 44100) * 2);
        for (std::size_t i = 0; i < tone.size(); ++i)
            tone[i] = 0.4f * static_cast<float>(std::sin(2 * M_PI * 440.0 * static_cast<double>(i / 2) / 44100));
        ASSERT_TRUE(audiotest::WriteFloatWav(dir.File("tone.wav"), tone, 44100, 2));
    }
    void TearDown() override
    {
        StopRecording();
        if (g_session.output)
            audio::StreamFree(g_session.output);
        g_session.output = 0;
        SetRecorderUi(RecorderUi{});
        EngineTest::TearDown();
    }
    void PlayTone()
    {
        g_session.output = audio::StreamCreateFile(dir.File("tone.wav"), audio::kSampleFloat);
        ASSERT_NE(g_session.output, 0u);
        ASSERT_TRUE(audio::ChannelPlay(g_session.output, false));
        // The tap sees blocks when the engine processes them, one buffer
        // length ahead of the device; a recording started right away would
        // also hold that first fill.
        std::this_thread::sleep_for(std::chrono::milliseconds(800));
    }
    // Records `seconds` of the playing tone; the path of the finished file.
    std::string Record(double seconds)
    {
        EXPECT_TRUE(StartRecording());
        EXPECT_TRUE(IsRecording());
        std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
        StopRecording();
        EXPECT_FALSE(IsRecording());
        return LastRecordingPath();
    }
};

class RecorderFormatTest : public RecorderTest, public ::testing::WithParamInterface<int> {};

TEST_P(RecorderFormatTest, RecordsTwoSecondsOfTheTone)
{
    g_settings.recording.format = GetParam();
    g_settings.recording.filenameTemplate = "tone";
    PlayTone();
    const std::string path = Record(2.0);
    EXPECT_EQ(path, dir.File("rec") + "/tone" + RecordingExtension(GetParam()));
    EXPECT_EQ(FilesIn(dir.File("rec")), std::vector<std::string>{FileNamePart(path)});
    const Decoded d = DecodeRecording(path);
    EXPECT_NEAR(d.seconds, 2.0, 0.3);
    EXPECT_NEAR(d.peakHz, 440.0, 2.0);
    EXPECT_NEAR(d.rms, 0.4 / std::sqrt(2.0), 0.03);
    EXPECT_EQ(g_spoken, (std::vector<std::string>{"Recording started", "Recording stopped"}));
    EXPECT_TRUE(g_boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(Formats, RecorderFormatTest,
                         ::testing::Values(kRecordWav, kRecordMp3, kRecordOgg, kRecordFlac),
                         [](const auto& info) { return std::string(RecordingExtension(info.param) + 1); });

TEST_F(RecorderTest, CapturesEffectsButNotTheVolumeStage)
{
    g_settings.recording.filenameTemplate = "fx";
    PlayTone();
    ASSERT_NE(audio::ChannelSetDsp(g_session.output, Halve, nullptr, 50), 0u);
    ASSERT_NE(audio::ChannelSetDsp(g_session.output, Silence, nullptr, audio::kVolumeStagePriority), 0u);
    const Decoded d = DecodeRecording(Record(1.0));
    EXPECT_NEAR(d.rms, 0.5 * 0.4 / std::sqrt(2.0), 0.02);
}

TEST_F(RecorderTest, NothingToRecordWithoutAnOutput)
{
    ToggleRecording();
    EXPECT_FALSE(IsRecording());
    EXPECT_EQ(g_spoken, std::vector<std::string>{"Nothing to record"});
    EXPECT_TRUE(FilesIn(dir.File("rec")).empty());
}

TEST_F(RecorderTest, UnwritableFolderGivesTheErrorAndLeavesNoFile)
{
    // A folder below a plain file can be neither created nor written, even by root.
    ASSERT_TRUE(audiotest::WriteFile(dir.File("plain"), "x"));
    g_settings.recording.path = dir.File("plain") + "/rec";
    PlayTone();
    for (int format : {kRecordWav, kRecordMp3}) {
        g_boxes.clear();
        g_settings.recording.format = format;
        EXPECT_FALSE(StartRecording());
        EXPECT_FALSE(IsRecording());
        std::vector<std::string> expected{"error: Failed to start recording (error 2)"};
        if (format == kRecordMp3)
            expected.insert(expected.begin(), "warning: MP3 encoding failed.\nFalling back to WAV format.");
        EXPECT_EQ(g_boxes, expected);
    }
    EXPECT_TRUE(g_spoken.empty());
    EXPECT_EQ(FilesIn(dir.path), (std::vector<std::string>{"plain", "tone.wav"}));
}

TEST_F(RecorderTest, StoppingTwiceIsHarmless)
{
    PlayTone();
    StopRecording();
    EXPECT_TRUE(g_spoken.empty());
    ASSERT_TRUE(StartRecording());
    StopRecording();
    StopRecording();
    ToggleRecording();
    ToggleRecording();
    EXPECT_EQ(g_spoken, (std::vector<std::string>{"Recording started", "Recording stopped", "Recording started",
                                                  "Recording stopped"}));
    EXPECT_EQ(FilesIn(dir.File("rec")).size(), 2u);
}

TEST_F(RecorderTest, ASecondRecordingWithTheSameNameKeepsTheFirst)
{
    g_settings.recording.filenameTemplate = "take";
    PlayTone();
    const std::string first = Record(0.5);
    const std::string second = Record(1.0);
    EXPECT_EQ(first, dir.File("rec") + "/take.wav");
    EXPECT_EQ(second, dir.File("rec") + "/take (2).wav");
    EXPECT_NEAR(DecodeRecording(first).seconds, 0.5, 0.3);
    EXPECT_NEAR(DecodeRecording(second).seconds, 1.0, 0.3);
}

// A new item frees the output: the file is complete at once (with the hook)
// or soon after (the writer notices the channel has gone); REC stays on until
// the next toggle, which says "Recording stopped".
TEST_F(RecorderTest, FreedOutputCompletesTheFileAndKeepsTheFlag)
{
    g_settings.recording.filenameTemplate = "track";
    for (bool hook : {true, false}) {
        SCOPED_TRACE(hook ? "with the hook" : "without the hook");
        g_spoken.clear();
        PlayTone();
        ASSERT_TRUE(StartRecording());
        std::this_thread::sleep_for(std::chrono::milliseconds(600));
        if (hook)
            RecorderOutputClosing(g_session.output);
        audio::StreamFree(g_session.output);
        g_session.output = 0;
        const std::string folder = dir.File("rec");
        auto finished = [&] {
            const auto names = FilesIn(folder);
            for (const auto& n : names) {
                if (n.find(".part") != std::string::npos)
                    return false;
            }
            return names.size() == (hook ? 1u : 2u);
        };
        if (hook)
            EXPECT_TRUE(finished());
        else
            EXPECT_TRUE(WaitFor(finished, 2.0));
        EXPECT_TRUE(IsRecording());
        ToggleRecording();
        EXPECT_FALSE(IsRecording());
        EXPECT_EQ(g_spoken, (std::vector<std::string>{"Recording started", "Recording stopped"}));
        EXPECT_NEAR(DecodeRecording(LastRecordingPath()).seconds, 0.6, 0.3);
    }
}

}  // namespace
