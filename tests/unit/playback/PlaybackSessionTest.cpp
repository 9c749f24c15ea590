// The playback session on the real engine ("No sound" device) with real files.
#include "playback/PlaybackSession.h"
#include "playback/OutputVolume.h"
#include "playback/Bookmarks.h"

#include "../audio/AudioTestSupport.h"
#include "i18n/Translations.h"
#include "playlist/Playlist.h"
#include "speech/AnnouncementQueue.h"
#include "storage/Database.h"
#include "storage/Settings.h"
#include "tempo/TempoProcessor.h"

#include <cmath>
#include <gtest/gtest.h>

using audiotest::TempDir;
using audiotest::WaitFor;

namespace {

std::vector<std::string> g_messages;
void RecordMessage(const std::string& text, MessageKind) { g_messages.push_back(text); }

std::vector<float> Sine(double seconds, int rate, int channels)
{
    std::vector<float> s(static_cast<size_t>(seconds * rate) * channels);
    for (size_t i = 0; i < s.size(); ++i)
        s[i] = 0.3f * static_cast<float>(std::sin(2 * M_PI * 440.0 * static_cast<double>(i / channels) / rate));
    return s;
}

class SessionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        BuildTranslationTables();
        SetLanguage("en");
        g_settings = Settings{};
        g_settings.speech.trackChange = false;
        g_playlist = Playlist{};
        g_messages.clear();
        PlaybackUi ui;
        ui.showMessage = RecordMessage;
        SetPlaybackUi(ui);
        ASSERT_TRUE(AudioStartup());
    }
    void TearDown() override
    {
        AudioShutdown();
        CloseDatabase();
        g_session = PlaybackSession{};
    }
    std::string MakeWav(const std::string& name, double seconds, int rate = 8000)
    {
        const std::string path = dir.File(name);
        EXPECT_TRUE(audiotest::WriteFloatWav(path, Sine(seconds, rate, 1), rate, 1));
        return path;
    }
    int State() { return audio::ChannelIsActive(g_session.output); }

    TempDir dir;
};

}  // namespace

TEST_F(SessionTest, MissingItemsAreSkippedSilentlyInALongerQueue)
{
    const std::string good = MakeWav("good.wav", 2.0);
    g_playlist.entries = {dir.File("missing1.wav"), dir.File("missing2.wav"), good};
    PlayIndex(0, true);
    EXPECT_EQ(g_playlist.current, 2);
    EXPECT_NE(g_session.output, 0u);
    EXPECT_TRUE(g_messages.empty());
    EXPECT_TRUE(WaitFor([&] { return State() == audio::kStatePlaying; }, 3.0));
    EXPECT_FALSE(g_session.changingTrack);
}

TEST_F(SessionTest, ASingleMissingFileExplainsWhy)
{
    g_playlist.entries = {dir.File("gone.mp3")};
    PlayIndex(0, true);
    ASSERT_EQ(g_messages.size(), 1u);
    EXPECT_EQ(g_messages[0], "Cannot play file:\ngone.mp3\n\nCould not open the file.");
    EXPECT_EQ(g_session.output, 0u);
}

TEST_F(SessionTest, ATextFileNamedMp3IsAnUnsupportedFormat)
{
    const std::string fake = dir.File("notes.mp3");
    audiotest::WriteFile(fake, std::string(4000, 'x'));
    g_playlist.entries = {fake};
    PlayIndex(0, true);
    ASSERT_EQ(g_messages.size(), 1u);
    EXPECT_NE(g_messages[0].find("notes.mp3"), std::string::npos);
    EXPECT_EQ(g_messages[0].find("Unknown error."), std::string::npos) << g_messages[0];
}

TEST_F(SessionTest, NextFollowsRepeatModesAndStopsAtTheEnd)
{
    const std::string a = MakeWav("a.wav", 2.0), b = MakeWav("b.wav", 2.0);
    g_playlist.entries = {a, b};
    PlayIndex(1, true);

    g_settings.playback.repeatMode = 0;
    NextTrack(true);  // past the end: stop, keep the item loaded at 0
    EXPECT_EQ(g_playlist.current, 1);
    ASSERT_NE(g_session.output, 0u);
    EXPECT_EQ(State(), audio::kStateStopped);
    EXPECT_LT(CurrentPositionSeconds(), 0.05);

    g_settings.playback.repeatMode = 2;
    NextTrack(true);
    EXPECT_EQ(g_playlist.current, 0);

    g_settings.playback.repeatMode = 1;
    NextTrack(true);
    EXPECT_EQ(g_playlist.current, 0);
}

TEST_F(SessionTest, NextWithHoldLoadsTheItemPaused)
{
    g_playlist.entries = {MakeWav("a.wav", 2.0), MakeWav("b.wav", 2.0)};
    PlayIndex(0, true);
    NextTrack(false);
    EXPECT_EQ(g_playlist.current, 1);
    EXPECT_EQ(State(), audio::kStatePaused);
}

TEST_F(SessionTest, PreviousRestartsAfterThreeSecondsElseGoesBack)
{
    g_playlist.entries = {MakeWav("a.wav", 8.0), MakeWav("b.wav", 8.0)};
    PlayIndex(1, true);
    SeekSeconds(5.0);
    EXPECT_NEAR(CurrentPositionSeconds(), 5.0, 0.5);
    PreviousTrack();
    EXPECT_EQ(g_playlist.current, 1);
    EXPECT_LT(CurrentPositionSeconds(), 0.5);
    PreviousTrack();
    EXPECT_EQ(g_playlist.current, 0);
    PreviousTrack();  // the first item restarts itself
    EXPECT_EQ(g_playlist.current, 0);
}

TEST_F(SessionTest, ShuffleNeverRepeatsTheCurrentItem)
{
    g_settings.playback.shuffle = true;
    g_playlist.entries = {MakeWav("a.wav", 1.0), MakeWav("b.wav", 1.0), MakeWav("c.wav", 1.0)};
    PlayIndex(0, true);
    for (int i = 0; i < 6; ++i) {
        const int before = g_playlist.current;
        NextTrack(true);
        EXPECT_NE(g_playlist.current, before);
    }
}

TEST_F(SessionTest, TheEndOfAnItemAdvancesThroughThePostedNextCommand)
{
    // Without a window the command is dropped; what matters is that the end
    // of the output is reached and the chain stays consistent.
    g_playlist.entries = {MakeWav("short.wav", 0.5)};
    PlayIndex(0, true);
    EXPECT_TRUE(WaitFor([&] { return State() == audio::kStateStopped; }, 5.0));
}

TEST_F(SessionTest, PauseRewindsAndPlayResumes)
{
    g_settings.playback.rewindOnPauseMs = 1000;
    g_playlist.entries = {MakeWav("a.wav", 8.0)};
    PlayIndex(0, true);
    SeekSeconds(4.0);
    Pause();
    EXPECT_EQ(State(), audio::kStatePaused);
    EXPECT_NEAR(CurrentPositionSeconds(), 3.0, 0.4);
    PlayPause();
    EXPECT_EQ(State(), audio::kStatePlaying);
    Stop();
    EXPECT_EQ(State(), audio::kStateStopped);
    EXPECT_LT(CurrentPositionSeconds(), 0.05);
    Play();
    EXPECT_EQ(State(), audio::kStatePlaying);
}

TEST_F(SessionTest, LongItemsReopenAtTheirRememberedPosition)
{
    ASSERT_TRUE(OpenDatabase(dir.File("test.db")));
    g_settings.playback.rememberPosMinutes = 1;
    const std::string longFile = MakeWav("long.wav", 75.0, 4000);
    const std::string shortFile = MakeWav("short.wav", 20.0, 4000);
    g_playlist.entries = {longFile, shortFile};
    PlayIndex(0, true);
    SeekSeconds(42.0);
    PlayIndex(1, true);  // leaving the long item stores its place
    SeekSeconds(10.0);
    PlayIndex(0, true);
    EXPECT_NEAR(CurrentPositionSeconds(), 42.0, 0.5);
    PlayIndex(1, true);  // the short item has no remembered place
    EXPECT_LT(CurrentPositionSeconds(), 0.5);
}

TEST_F(SessionTest, AnUnreadableSourceForAnotherEngineFallsBackToSoundTouch)
{
    // The stretch engines take no source below 8 kHz.
    for (int algorithm : {kTempoSignalsmith, kTempoSpeedy}) {
        g_settings.advanced.tempoAlgorithm = algorithm;
        g_playlist.entries = {MakeWav("low.wav", 2.0, 4000)};
        PlayIndex(0, true);
        ASSERT_NE(g_session.output, 0u);
        ASSERT_NE(CurrentTempoProcessor(), nullptr);
        EXPECT_EQ(CurrentTempoProcessor()->typeId(), kTempoSoundTouch);
        EXPECT_TRUE(g_messages.empty());
    }
}

TEST_F(SessionTest, RepeatCyclesWithItsAnnouncements)
{
    g_settings.playback.repeatMode = 0;
    CycleRepeat();
    EXPECT_EQ(g_settings.playback.repeatMode, 1);
    CycleRepeat();
    CycleRepeat();
    EXPECT_EQ(g_settings.playback.repeatMode, 0);
}

TEST_F(SessionTest, SwitchingDevicesKeepsTheItemItsPlaceAndPause)
{
    g_playlist.entries = {MakeWav("a.wav", 8.0)};
    PlayIndex(0, true);
    SeekSeconds(5.0);
    Pause();
    ASSERT_TRUE(SwitchDevice(audio::kDeviceNoSound));
    EXPECT_EQ(g_session.deviceIndex, audio::kDeviceNoSound);
    ASSERT_NE(g_session.output, 0u);
    EXPECT_EQ(State(), audio::kStatePaused);
    EXPECT_NEAR(CurrentPositionSeconds(), 5.0, 0.3);

    // A device that does not exist: back on the default, nothing reopened.
    EXPECT_FALSE(SwitchDevice(42));
    EXPECT_TRUE(audio::AudioIsInitialized());
    EXPECT_EQ(g_session.deviceIndex, -1);
    EXPECT_EQ(g_session.output, 0u);
}

TEST_F(SessionTest, BookmarksMarkAndReturn)
{
    ASSERT_TRUE(OpenDatabase(dir.File("marks.db")));
    const std::string a = MakeWav("a.wav", 8.0), b = MakeWav("b.wav", 8.0);
    g_playlist.entries = {a};
    EXPECT_FALSE(AddBookmarkHere());  // no current item yet
    PlayIndex(0, true);
    SeekSeconds(4.0);
    ASSERT_TRUE(AddBookmarkHere());

    const std::vector<BookmarkRow> all = ListBookmarks();
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(BookmarksToShow(all, dir.File("A.WAV"), false).size(), 1u);  // case does not matter
    EXPECT_TRUE(BookmarksToShow(all, b, false).empty());
    EXPECT_EQ(BookmarksToShow(all, b, true).size(), 1u);

    // The file is current: only a seek.
    const audio::Handle before = g_session.output;
    SeekSeconds(0.0);
    JumpToBookmark(all[0]);
    EXPECT_EQ(g_session.output, before);
    EXPECT_NEAR(CurrentPositionSeconds(), 4.0, 0.3);

    // The file is not in the queue: it becomes the whole queue.
    g_playlist.entries = {b};
    PlayIndex(0, true);
    JumpToBookmark(all[0]);
    EXPECT_EQ(g_playlist.entries, std::vector<std::string>{a});
    EXPECT_EQ(g_playlist.current, 0);
    EXPECT_NEAR(CurrentPositionSeconds(), 4.0, 0.3);
}
