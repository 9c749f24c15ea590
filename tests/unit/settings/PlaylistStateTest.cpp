#include "playlist/Playlist.h"
#include "storage/IniFile.h"
#include "storage/PlaylistState.h"
#include "storage/Settings.h"

#include "SettingsTestSupport.h"

#include <chrono>

namespace {

class PlaylistStateTest : public TempFolderTest {
protected:
    void SetUp() override
    {
        TempFolderTest::SetUp();
        savedSettings = g_settings;
        savedPlaylist = g_playlist;
        g_settings = Settings{};
        g_settings.playback.rememberState = true;
        ini = Path("Corvane.ini");
    }
    void TearDown() override
    {
        g_settings = savedSettings;
        g_playlist = savedPlaylist;
        TempFolderTest::TearDown();
    }
    std::string Key(const char* section, const char* key)
    {
        return IniReadString(ini, section, key, "<missing>", 4096);
    }

    Settings savedSettings;
    Playlist savedPlaylist;
    std::string ini;
};

TEST_F(PlaylistStateTest, QueueAndPositionComeBack)
{
    WriteBytes(ini, "[Playback]\nRememberState=1\n[Playlist]\nTrack0=/old/0\nTrack5=/old/5\n");
    g_playlist.entries = {"/m/a.mp3", "http://radio/live", "/m/c d.flac"};
    g_playlist.current = 2;
    ASSERT_TRUE(SavePlaylistStateTo(ini, 75.5));

    EXPECT_EQ(Key("State", "TrackCount"), "3");
    EXPECT_EQ(Key("State", "CurrentTrack"), "2");
    EXPECT_EQ(Key("State", "LastFile"), "/m/c d.flac");
    EXPECT_EQ(Key("State", "LastPosition"), "75.50");
    EXPECT_EQ(Key("Playlist", "Track1"), "http://radio/live");
    EXPECT_EQ(Key("Playlist", "Track5"), "<missing>");  // the old queue is gone
    EXPECT_EQ(Key("Playback", "RememberState"), "1");

    g_playlist = Playlist{};
    const PlaylistRestore r = RestorePlaylistStateFrom(ini);
    EXPECT_TRUE(r.open);
    EXPECT_EQ(r.index, 2);
    EXPECT_DOUBLE_EQ(r.positionSeconds, 75.5);
    EXPECT_EQ(g_playlist.entries, (std::vector<std::string>{"/m/a.mp3", "http://radio/live", "/m/c d.flac"}));
    EXPECT_EQ(g_playlist.current, 2);
}

TEST_F(PlaylistStateTest, NoCurrentEntryRestoresAtTheFirstWithoutSeeking)
{
    g_playlist.entries = {"/a", "/b", "/c"};
    g_playlist.current = -1;
    ASSERT_TRUE(SavePlaylistStateTo(ini, 40.0));
    EXPECT_EQ(Key("State", "CurrentTrack"), "-1");
    EXPECT_EQ(Key("State", "LastFile"), "");
    EXPECT_EQ(Key("State", "LastPosition"), "0");

    g_playlist = Playlist{};
    const PlaylistRestore r = RestorePlaylistStateFrom(ini);
    EXPECT_TRUE(r.open);
    EXPECT_EQ(r.index, 0);
    EXPECT_EQ(g_playlist.current, 0);
    EXPECT_EQ(r.positionSeconds, 0.0);
}

TEST_F(PlaylistStateTest, RememberStateOffStoresAnEmptyStateAndRestoresNothing)
{
    g_settings.playback.rememberState = false;
    WriteBytes(ini, "[Playlist]\nTrack0=/old\n");
    g_playlist.entries = {"/a", "/b"};
    g_playlist.current = 1;
    ASSERT_TRUE(SavePlaylistStateTo(ini, 12.0));
    EXPECT_EQ(ReadBytes(ini), "[Playlist]\n[State]\nTrackCount=0\nCurrentTrack=0\nLastFile=\nLastPosition=0\n");

    WriteBytes(ini, "[State]\nTrackCount=1\nLastFile=/x\n[Playlist]\nTrack0=/x\n");
    const PlaylistRestore r = RestorePlaylistStateFrom(ini);
    EXPECT_FALSE(r.open);
    EXPECT_EQ(g_playlist.entries, (std::vector<std::string>{"/a", "/b"}));  // untouched
}

TEST_F(PlaylistStateTest, StoredStatesAreReadDefensively)
{
    struct Case {
        const char* name;
        std::string file;
        bool open;
        std::vector<std::string> queue;
        int index;
        double position;
    };
    const Case cases[] = {
        {"empty entries skipped", "[State]\nTrackCount=3\nCurrentTrack=1\nLastPosition=5\n"
                                  "[Playlist]\nTrack0=/a\nTrack1=\nTrack2=/c\n", true, {"/a", "/c"}, 1, 5.0},
        {"current out of range", "[State]\nTrackCount=2\nCurrentTrack=7\n[Playlist]\nTrack0=/a\nTrack1=/b\n",
         true, {"/a", "/b"}, 0, 0.0},
        {"entries beyond the count ignored", "[State]\nTrackCount=1\n[Playlist]\nTrack0=/a\nTrack1=/b\n",
         true, {"/a"}, 0, 0.0},
        {"names as Track%d spells them", "[State]\nTrackCount=3\n[playlist]\ntrack0=/a\nTrack01=/x\n"
                                         "Track2=/c\nTrack2=/dup\nTrack-1=/y\n", true, {"/a", "/c"}, 0, 0.0},
        {"last file alone", "[State]\nTrackCount=0\nLastFile=/single.mp3\nLastPosition=9.25\n",
         true, {"/single.mp3"}, 0, 9.25},
        {"count without entries falls back to last file",
         "[State]\nTrackCount=4\nLastFile=/l.mp3\n[Playlist]\nTrack0=\n", true, {"/l.mp3"}, 0, 0.0},
        {"nothing stored", "", false, {}, -1, 0.0},
        {"bad position", "[State]\nLastFile=/a\nLastPosition=-30\n", true, {"/a"}, 0, 0.0},
        {"junk position", "[State]\nLastFile=/a\nLastPosition=nan\n", true, {"/a"}, 0, 0.0},
        {"huge count", "[State]\nTrackCount=2147483647\nCurrentTrack=1\n[Playlist]\nTrack0=/a\nTrack9=/j\n",
         true, {"/a", "/j"}, 1, 0.0},
    };
    for (const Case& c : cases) {
        WriteBytes(ini, c.file);
        g_playlist.entries = {"/previous"};
        g_playlist.current = 0;
        const auto start = std::chrono::steady_clock::now();
        const PlaylistRestore r = RestorePlaylistStateFrom(ini);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1)) << c.name;
        EXPECT_EQ(r.open, c.open) << c.name;
        EXPECT_EQ(g_playlist.entries, c.queue) << c.name;
        EXPECT_EQ(r.index, c.index) << c.name;
        EXPECT_EQ(g_playlist.current, c.index) << c.name;
        EXPECT_DOUBLE_EQ(r.positionSeconds, c.position) << c.name;
    }
}

TEST_F(PlaylistStateTest, EntriesThatCannotBeStoredDoNotCorruptTheFile)
{
    g_playlist.entries = {"/a", "/b\n[Playback]\nVolume=400", "/c"};
    g_playlist.current = 1;
    ASSERT_TRUE(SavePlaylistStateTo(ini, 3.0));
    EXPECT_EQ(Key("Playback", "Volume"), "<missing>");
    EXPECT_EQ(Key("State", "LastFile"), "");

    g_playlist = Playlist{};
    const PlaylistRestore r = RestorePlaylistStateFrom(ini);
    EXPECT_EQ(g_playlist.entries, (std::vector<std::string>{"/a", "/c"}));
    EXPECT_EQ(r.index, 1);
}

TEST_F(PlaylistStateTest, ALargeQueueRoundTrips)
{
    g_playlist.entries.clear();
    for (int i = 0; i < 50000; ++i)
        g_playlist.entries.push_back("/music/album " + std::to_string(i / 12) + "/track " + std::to_string(i) + ".mp3");
    g_playlist.current = 49999;
    const std::vector<std::string> queue = g_playlist.entries;

    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(SavePlaylistStateTo(ini, 1.0));
    g_playlist = Playlist{};
    const PlaylistRestore r = RestorePlaylistStateFrom(ini);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_EQ(g_playlist.entries, queue);
    EXPECT_EQ(r.index, 49999);
}

}  // namespace
