#include "playlist/Playlist.h"
#include "storage/RecentFiles.h"
#include "storage/Settings.h"

#include "SettingsTestSupport.h"

#include <unistd.h>

namespace {

class RecentFilesTest : public TempFolderTest {
protected:
    void SetUp() override
    {
        TempFolderTest::SetUp();
        savedSettings = g_settings;
        savedPlaylist = g_playlist;
        g_settings.recentFiles.clear();
    }
    void TearDown() override
    {
        g_settings = savedSettings;
        g_playlist = savedPlaylist;
        TempFolderTest::TearDown();
    }
    Settings savedSettings;
    Playlist savedPlaylist;
};

TEST_F(RecentFilesTest, OpenedFilesGoToTheFrontOnceAndUrlsNever)
{
    struct Case { const char* name; std::vector<std::string> opened; std::vector<std::string> expected; };
    const Case cases[] = {
        {"newest first", {"/m/a.mp3", "/m/b.mp3"}, {"/m/b.mp3", "/m/a.mp3"}},
        {"played again moves up", {"/m/a.mp3", "/m/b.mp3", "/m/a.mp3"}, {"/m/a.mp3", "/m/b.mp3"}},
        {"urls and empty paths", {"/m/a.mp3", "http://radio/x", "https://h/p.mp3", ""}, {"/m/a.mp3"}},
        {"scheme only counts after the first character", {"://odd"}, {"://odd"}},
        // Distinct files on a case-sensitive file system (the names do not exist).
        {"letter case", {"/m/Song.mp3", "/m/song.mp3"}, {"/m/song.mp3", "/m/Song.mp3"}},
        {"at most ten",
         {"/0", "/1", "/2", "/3", "/4", "/5", "/6", "/7", "/8", "/9", "/10", "/11"},
         {"/11", "/10", "/9", "/8", "/7", "/6", "/5", "/4", "/3", "/2"}},
    };
    for (const Case& c : cases) {
        g_settings.recentFiles.clear();
        for (const std::string& p : c.opened)
            AddRecentFile(p);
        EXPECT_EQ(g_settings.recentFiles, c.expected) << c.name;
    }
}

TEST_F(RecentFilesTest, TwoSpellingsOfOneFileMakeOneEntry)
{
    // Two names for one file, as a FAT stick shows "Song.mp3" and "song.mp3".
    const std::string upper = Path("Song.mp3");
    const std::string lower = Path("song.mp3");
    WriteBytes(upper, "x");
    ASSERT_EQ(link(upper.c_str(), lower.c_str()), 0);
    AddRecentFile(upper);
    AddRecentFile(Path("other.mp3"));
    AddRecentFile(lower);
    EXPECT_EQ(g_settings.recentFiles, (std::vector<std::string>{lower, Path("other.mp3")}));
}

TEST_F(RecentFilesTest, MenuShowsNumberedFileNames)
{
    auto items = RecentMenuItems();
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].command, 0);
    EXPECT_EQ(items[0].label, "(Empty)");
    EXPECT_FALSE(items[0].enabled);

    g_settings.recentFiles = {"/m/Rock & Roll.mp3", "C:\\Music\\win.flac", "/m/tab\there.ogg",
                              "/5", "/6", "/7", "/8", "/9", "/10", "/m/last.wav"};
    items = RecentMenuItems();
    ASSERT_EQ(items.size(), 10u);
    const char* labels[] = {"&1 Rock && Roll.mp3", "&2 win.flac", "&3 tab here.ogg", "&4 5", "&5 6",
                            "&6 7", "&7 8", "&8 9", "&9 10", "&0 last.wav"};
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(items[i].command, 6000 + i);
        EXPECT_EQ(items[i].label, labels[i]);
        EXPECT_TRUE(items[i].enabled);
    }
}

TEST_F(RecentFilesTest, ChoosingAnEntryReplacesTheQueue)
{
    g_settings.recentFiles = {"/m/a.mp3", "/m/b.mp3"};
    g_playlist.entries = {"/x.mp3", "/y.mp3", "/z.mp3"};
    g_playlist.current = 2;

    EXPECT_EQ(QueueRecentFile(6002), -1);
    EXPECT_EQ(QueueRecentFile(5999), -1);
    EXPECT_EQ(g_playlist.entries.size(), 3u);
    EXPECT_EQ(g_playlist.current, 2);

    EXPECT_EQ(QueueRecentFile(6001), 0);
    EXPECT_EQ(g_playlist.entries, (std::vector<std::string>{"/m/b.mp3"}));
    EXPECT_EQ(g_playlist.current, -1);
}

TEST_F(RecentFilesTest, ListSurvivesSaveAndLoad)
{
    const std::string ini = Path("Corvane.ini");
    for (const char* p : {"/m/a.mp3", "/m/b c.mp3", "/m/a.mp3", "/m/\xC3\xA9t\xC3\xA9.flac"})
        AddRecentFile(p);
    // A name with a line break cannot live in the file: it is left out, not
    // allowed to write keys of its own.
    AddRecentFile("/m/evil\n[Playback]\nVolume=400");
    ASSERT_TRUE(SaveSettingsTo(ini));
    LoadSettingsFrom(ini);
    EXPECT_EQ(g_settings.recentFiles,
              (std::vector<std::string>{"/m/\xC3\xA9t\xC3\xA9.flac", "/m/a.mp3", "/m/b c.mp3"}));
    EXPECT_EQ(g_settings.playback.volume, 1.0f);
}

}  // namespace
