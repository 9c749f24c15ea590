// A save that fails, or a process that dies while saving, must leave the
// settings file exactly as it was.
#include "playlist/Playlist.h"
#include "storage/IniFile.h"
#include "storage/PlaylistState.h"
#include "storage/Settings.h"

#include "SettingsTestSupport.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <functional>
#include <random>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

class SaveFailureTest : public TempFolderTest {
protected:
    void SetUp() override
    {
        TempFolderTest::SetUp();
        savedSettings = g_settings;
        savedPlaylist = g_playlist;
        ini = Path("Corvane.ini");
        WriteBytes(ini, kOldFile);
    }
    void TearDown() override
    {
        g_settings = savedSettings;
        g_playlist = savedPlaylist;
        TempFolderTest::TearDown();
    }
    std::vector<std::string> FolderEntries() const
    {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(dir))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    static constexpr const char* kOldFile =
        "[Playback]\nVolume=40\nShuffle=1\n[Hotkeys]\nCount=1\nHotkey0=2,80,4\n";
    Settings savedSettings;
    Playlist savedPlaylist;
    std::string ini;
};

// Runs `save` in a child process whose files may not grow past `limitBytes`
// (a full disk, as far as the writer can tell) and returns its exit code.
int SaveWithFileSizeLimit(rlim_t limitBytes, const std::function<bool()>& save)
{
    const pid_t pid = fork();
    if (pid == 0) {
        signal(SIGXFSZ, SIG_IGN);  // the write then fails with EFBIG
        const rlimit limit{limitBytes, limitBytes};
        setrlimit(RLIMIT_FSIZE, &limit);
        _exit(save() ? 1 : 0);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(SaveFailureTest, AFailedWriteReportsFalseAndKeepsTheOldFile)
{
    g_settings.playback.volume = 0.9f;
    g_settings.recentFiles = {"/m/" + std::string(200, 'x') + ".mp3"};
    EXPECT_EQ(SaveWithFileSizeLimit(64, [&] { return SaveSettingsTo(ini); }), 0) << "save reported success";
    EXPECT_EQ(ReadBytes(ini), kOldFile);

    g_playlist.entries.assign(100, "/music/a long enough path.mp3");
    g_playlist.current = 0;
    g_settings.playback.rememberState = true;
    EXPECT_EQ(SaveWithFileSizeLimit(64, [&] { return SavePlaylistStateTo(ini, 1.0); }), 0);
    EXPECT_EQ(SaveWithFileSizeLimit(64, [&] { return IniWriteString(ini, "Hotkeys", "Hotkey1", std::string(100, '1')); }), 0);
    EXPECT_EQ(ReadBytes(ini), kOldFile);
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"Corvane.ini"}) << "temporary file left behind";

    // The same saves succeed once there is room.
    EXPECT_EQ(SaveWithFileSizeLimit(RLIM_INFINITY, [&] { return SaveSettingsTo(ini); }), 1);
    EXPECT_EQ(IniReadInt(ini, "Playback", "Volume", 0), 90);
}

TEST_F(SaveFailureTest, UnwritableOrUnreadablePlacesAreReportedAndNothingIsLost)
{
    // No such folder.
    EXPECT_FALSE(SaveSettingsTo(Path("missing/Corvane.ini")));
    EXPECT_FALSE(std::filesystem::exists(Path("missing")));

    // The settings path is a folder: it cannot be read, so it is not replaced.
    std::filesystem::create_directories(Path("folder.ini/inside"));
    EXPECT_FALSE(SaveSettingsTo(Path("folder.ini")));
    EXPECT_FALSE(IniWriteString(Path("folder.ini"), "Playback", "Volume", "1"));
    EXPECT_TRUE(std::filesystem::exists(Path("folder.ini/inside")));

    // Loading from there gives defaults rather than a failure.
    LoadSettingsFrom(Path("folder.ini"));
    EXPECT_EQ(g_settings.playback.volume, 1.0f);
    EXPECT_EQ(ReadBytes(ini), kOldFile);
}

TEST_F(SaveFailureTest, KillingTheProcessMidSaveLeavesOneWholeFile)
{
    // A queue big enough that a save takes a while, saved with two
    // different positions: after a kill the file must be the old file or
    // one of the two complete saves, never a part of one.
    g_settings.playback.rememberState = true;
    g_playlist.entries.clear();
    for (int i = 0; i < 40000; ++i)
        g_playlist.entries.push_back("/music/artist " + std::to_string(i % 97) + "/track " + std::to_string(i) + ".flac");
    g_playlist.current = 3;

    const std::string scratch = Path("scratch.ini");
    std::vector<std::string> whole = {kOldFile};
    for (double pos : {1.0, 2.0}) {
        WriteBytes(scratch, kOldFile);
        ASSERT_TRUE(SavePlaylistStateTo(scratch, pos));
        whole.push_back(ReadBytes(scratch));
    }
    std::filesystem::remove(scratch);

    std::mt19937 rng(7);
    for (int round = 0; round < 12; ++round) {
        WriteBytes(ini, kOldFile);
        const pid_t pid = fork();
        if (pid == 0) {
            for (int i = 0;; ++i)
                SavePlaylistStateTo(ini, i % 2 ? 2.0 : 1.0);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5 + rng() % 120));
        kill(pid, SIGKILL);
        int status = 0;
        waitpid(pid, &status, 0);

        const std::string now = ReadBytes(ini);
        EXPECT_NE(std::find(whole.begin(), whole.end(), now), whole.end())
            << "round " << round << ": a file of " << now.size() << " bytes is not a whole save";
        // Whatever the kill left behind, the next save still works.
        g_playlist.current = 4;
        EXPECT_TRUE(SavePlaylistStateTo(ini, 3.0));
        EXPECT_EQ(IniReadString(ini, "State", "LastPosition", "", 32), "3.00");
        g_playlist.current = 3;
    }
}

}  // namespace
